// Progress of long work: the console's line in each style, and the
// throttled, cancellable steps that drive whichever desktop is installed.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "context/console_desktop.h"
#include "context/long_work.h"
#include "context/scripted_desktop.h"

namespace vemo::context {
namespace {

TEST(ProgressLine, EachStyleOnTheConsole) {
  using S = ProgressLine::Style;
  struct Case {
    S style;
    bool shown;
    const char* written;
  };
  const Case cases[] = {
      {S::InPlace, true, "\rrendering: 10 s\rrendering: 9 s \r               \r"},
      {S::Lines, true, "rendering: 10 s\nrendering: 9 s\n"},
      {S::Hidden, false, ""},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    ConsoleDesktop::Options options;
    options.out = &out;
    options.progress = c.style;
    ConsoleDesktop desktop(options);
    {
      std::unique_ptr<Progress> progress = desktop.BeginProgress("rendering");
      ASSERT_EQ(progress != nullptr, c.shown) << static_cast<int>(c.style);
      if (progress) {
        EXPECT_TRUE(progress->Update(10, 0, "10 s"));
        EXPECT_TRUE(progress->Update(9, 0, "9 s"));
      }
    }
    EXPECT_EQ(out.str(), c.written) << static_cast<int>(c.style);
  }
}

TEST(LongWork, ShowsLongWorkOnlyAndStopsOnCancel) {
  struct Case {
    std::size_t total;
    std::size_t steps;
    std::optional<std::size_t> stopAfter;
    std::size_t updates;          // updates the desktop saw
    std::size_t stoppedAt;        // the step that raised (0: none)
  };
  const Case cases[] = {
      {LongWork::kShownFrom - 1, LongWork::kShownFrom - 1, std::nullopt, 0, 0},  // short: nothing
      {20000, 20000, std::nullopt, 1, 0},  // one update: the rest come sooner than the interval
      {20000, 20000, 1, 1, 1024},          // Cancel on the first update stops at that step
  };
  for (const Case& c : cases) {
    auto desktop = std::make_shared<ScriptedDesktop>();
    if (c.stopAfter) desktop->StopProgressAfter(*c.stopAfter);
    ScopedDesktop use(desktop);
    std::size_t stoppedAt = 0;
    try {
      LongWork work("filling", c.total);
      for (std::size_t step = 1; step <= c.steps; ++step) {
        stoppedAt = step;
        work.Step(step);
      }
      stoppedAt = 0;
    } catch (const WorkStopped& e) {
      EXPECT_EQ(e.Number(), WorkStopped::kNumber);
      EXPECT_STREQ(e.what(), "filling was stopped by the user");
    }
    const auto shown = desktop->ProgressShown();
    EXPECT_EQ(shown.size(), c.updates) << c.total;
    EXPECT_EQ(stoppedAt, c.stoppedAt) << c.total;
    if (!shown.empty()) {
      EXPECT_EQ(shown[0].what, "filling");
      EXPECT_EQ(shown[0].status, "1024 of 20000 (5%)");
    }
  }
  // Work of unknown length shows every status it gives.
  auto desktop = std::make_shared<ScriptedDesktop>();
  ScopedDesktop use(desktop);
  LongWork render("rendering", 0);
  render.Status(1, "1 s");
  render.Status(2, "2 s");
  ASSERT_EQ(desktop->ProgressShown().size(), 2u);
  EXPECT_EQ(desktop->ProgressShown()[1].status, "2 s");
}

}  // namespace
}  // namespace vemo::context
