// The progress line: rewritten in place and cleared at the end on a
// terminal; nothing at all on anything else.
#include <gtest/gtest.h>

#include <sstream>

#include "context/progress_line.h"

namespace vemo::context {
namespace {

TEST(ProgressLine, OnATerminalOnly) {
  struct Case {
    bool terminal;
    const char* written;
  };
  const Case cases[] = {
      {true, "\rrendering: 10 s\rrendering: 9 s \r               \r"},
      {false, ""},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    {
      ProgressLine line("rendering", out, c.terminal);
      line.Update("10 s");
      line.Update("9 s");
    }
    EXPECT_EQ(out.str(), c.written) << "terminal " << c.terminal;
  }
}

}  // namespace
}  // namespace vemo::context
