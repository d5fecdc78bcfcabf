// Ending an application: Quit, and ending it by its handle as the engine's
// error path does, without touching any other instance.
#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using test::MakeFixture;
using test::NewApp;

TEST(SurfaceLifecycle, TerminatingByHandleEndsOnlyThatInstance) {
  vemo::test::TempDir dir;
  auto file = MakeFixture(dir, "surface_book");
  auto first = NewApp();
  auto second = NewApp();
  auto firstCell = first->Workbooks()->Open(file.string())->Worksheets()->Item(1)->Range("A1");
  auto secondBook = second->Workbooks()->Open(file.string());
  auto secondCell = secondBook->Worksheets()->Item(1)->Range("A1");
  firstCell->SetValue("unsaved edit");

  EXPECT_TRUE(TerminateApplicationByHandle(first->Hwnd()));

  EXPECT_THROW(firstCell->Text(), HostError);
  EXPECT_THROW(first->Workbooks(), HostError);
  EXPECT_EQ(secondCell->Text(), "1,234.50");
  EXPECT_EQ(second->Workbooks()->Count(), 1);
  secondCell->SetValue("still working");
  EXPECT_EQ(secondCell->Text(), "still working");
  // The edit of the ended instance never reached the file.
  EXPECT_EQ(test::OpenpyxlCell(file, "Data", "A1"), "1234.5");
  // A second termination, or one with a handle nobody has, does nothing.
  EXPECT_FALSE(TerminateApplicationByHandle(first->Hwnd()));
  EXPECT_FALSE(TerminateApplicationByHandle(0));
  EXPECT_FALSE(TerminateApplicationByHandle(second->Hwnd() + 4000));
  EXPECT_EQ(second->Workbooks()->Count(), 1);
}

TEST(SurfaceLifecycle, QuitDiscardsOpenWorkbooksAndLeavesTheTable) {
  vemo::test::TempDir dir;
  auto file = MakeFixture(dir, "surface_book");
  auto app = NewApp();
  auto before = LiveApplicationCount();
  auto sheet = app->Workbooks()->Open(file.string())->Worksheets()->Item(1);
  app->Quit();
  EXPECT_EQ(LiveApplicationCount(), before - 1);
  EXPECT_THROW(sheet->UsedRange(), HostError);
  EXPECT_FALSE(TerminateApplicationByHandle(app->Hwnd()));
}

TEST(SurfaceLifecycle, ReleasingTheLastReferenceForgetsTheInstance) {
  auto before = LiveApplicationCount();
  std::int32_t handle;
  {
    auto app = NewApp();
    handle = app->Hwnd();
    EXPECT_EQ(LiveApplicationCount(), before + 1);
  }
  EXPECT_EQ(LiveApplicationCount(), before);
  EXPECT_FALSE(TerminateApplicationByHandle(handle));
}

}  // namespace
}  // namespace vemo::host
