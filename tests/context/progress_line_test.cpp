// Progress of long work: the console's line in each style, and the
// throttled, cancellable steps that drive whichever desktop is installed.
#include <gmock/gmock.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "context/console_desktop.h"
#include "context/long_work.h"
#include "context/scripted_desktop.h"

namespace vemo::context {
namespace {

TEST(ProgressLine, EachStyleOnTheConsole) {
  using S = ProgressLine::Style;
  struct Case {
    S style;
    const char* written;
  };
  const Case cases[] = {
      {S::InPlace, "\rrendering: 10 s\rrendering: 9 s \r               \r"},
      {S::Lines, "rendering: 10 s\nrendering: 9 s\n"},
      {S::Hidden, ""},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    ConsoleDesktop::Options options;
    options.out = &out;
    options.progress = c.style;
    ConsoleDesktop desktop(options);
    {
      std::unique_ptr<Progress> progress = desktop.BeginProgress("rendering");
      ASSERT_EQ(progress != nullptr, c.style != S::Hidden) << static_cast<int>(c.style);
      if (progress) {
        EXPECT_TRUE(progress->Update(10, 0, "10 s"));
        EXPECT_TRUE(progress->Update(9, 0, "9 s"));
      }
    }
    EXPECT_EQ(out.str(), c.written) << static_cast<int>(c.style);
  }
}

// Short work shows nothing; long work one update per interval (the steps
// of this loop come far sooner); unknown-length work every status it gives.
// Cancel is covered where it must cross the engine's error rule.
TEST(LongWork, ShowsOnlyLongWorkAFewTimesASecond) {
  struct Case {
    std::size_t total;
    std::vector<std::string> statuses;
  } cases[] = {{LongWork::kShownFrom - 1, {}}, {20000, {"FQty: 1024 of 20000 (5%)"}}, {0, {"1 s", "2 s"}}};
  for (const Case& c : cases) {
    auto desktop = std::make_shared<ScriptedDesktop>();
    ScopedDesktop use(desktop);
    LongWork work("filling", c.total, c.total ? "FQty" : "");
    for (std::size_t step = 1; step <= c.total; ++step) work.Step(step);
    if (c.total == 0) work.Status(1, "1 s"), work.Status(2, "2 s");
    std::vector<std::string> shown;
    for (const ShownProgress& p : desktop->ProgressShown()) shown.push_back(p.status);
    EXPECT_EQ(shown, c.statuses) << c.total;
  }
}

// Work without steps (a render module's one call): nothing while short, its
// seconds once one has passed, and a Cancel raised when the work has ended.
TEST(LongWork, WorkWithoutStepsShowsItsSeconds) {
  const struct {
    int milliseconds;
    bool shown, cancel;
  } cases[] = {{50, false, false}, {2500, true, false}, {2500, true, true}};
  for (const auto& c : cases) {
    auto desktop = std::make_shared<ScriptedDesktop>();
    ScopedDesktop use(desktop);
    if (c.cancel) desktop->StopProgressAfter(1);
    bool ended = false;
    const auto work = [&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(c.milliseconds));
      ended = true;
      return 7;
    };
    if (c.cancel) {
      EXPECT_THROW(ShowSecondsWhile("rendering", work), WorkStopped);
    } else {
      EXPECT_EQ(ShowSecondsWhile("rendering", work), 7);
    }
    EXPECT_TRUE(ended) << "returns only when the work has ended";
    const auto shown = desktop->ProgressShown();
    EXPECT_EQ(!shown.empty(), c.shown) << c.milliseconds;
    for (const ShownProgress& p : shown) EXPECT_THAT(p.what + ": " + p.status, ::testing::MatchesRegex("rendering: [0-9]+ s"));
  }
}

}  // namespace
}  // namespace vemo::context
