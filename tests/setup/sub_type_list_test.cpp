// The sub-type lists of the type column, by bill type, report and mode.
#include <gtest/gtest.h>

#include "setup/sub_type_list.h"
#include "setup_fixture.h"

namespace vemo::setup {
namespace {

// The lists themselves are a table in the code; here the rules around them.
TEST(SubTypeList, OffsetBillsOfferTheTransfersUnlessTheApplicationTypeIs1ReportsGoById) {
  const char* five = "\t预收冲应收\t预付冲应付\t应收冲应付\t应收转应收\t应付转应付\t";
  EXPECT_EQ(SubTypeList(0, 1050003, 0, 1), "\t预收冲应收\t预付冲应付\t应收冲应付\t");
  EXPECT_EQ(SubTypeList(0, 1050003, 0, 2), five);
  EXPECT_EQ(SubTypeList(0, 1050003, 0, 4), five);
  // Reports by their id; other modes have none.
  EXPECT_EQ(SubTypeList(1, 0, 10506, 2), "\t客户\t供应商\t");
  EXPECT_EQ(SubTypeList(1, 1020002, 10507, 2), "") << "report mode looks at the report, not the bill type";
  EXPECT_EQ(SubTypeList(0, 1030001, 10506, 2), "") << "bill mode looks at the bill type, not the report";
  EXPECT_EQ(SubTypeList(2, 1020002, 10506, 2), "");
  EXPECT_EQ(SubTypeList(-1, 1020002, 10506, 2), "");
}

class SessionAppTypeTest : public test::SetupTest {};

TEST_F(SessionAppTypeTest, ReadsThePublishedSettingWithDefault2) {
  EXPECT_EQ(SessionAppType(), 2);
  Publish(1, 0);
  EXPECT_EQ(SessionAppType(), 1);
  context::UnpublishSession();
  EXPECT_EQ(SessionAppType(), 2);
}

}  // namespace
}  // namespace vemo::setup
