// Table-driven checks of displayed texts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "workbook/number_format.h"

namespace vemo::wb::test {

struct FormatCase {
  double value;
  const char* code;
  const char* expected;
};

template <size_t N>
void ExpectDisplays(const FormatCase (&cases)[N], bool date1904 = false) {
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, c.code, date1904), c.expected)
        << "value " << testing::PrintToString(c.value) << " with format [" << c.code << "]";
  }
}

}  // namespace vemo::wb::test
