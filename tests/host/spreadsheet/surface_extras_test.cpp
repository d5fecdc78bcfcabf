// Smaller promises of the surface: applications of a test's own making,
// multi-cell writes, column formats, FindNext without a Find.
#include <gtest/gtest.h>

#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using test::MakeFixture;
using test::NewApp;

// An application that reports an old version, as a test of the engine's
// version rule would register it; everything else is ours.
class OldApplication : public IApplication, public std::enable_shared_from_this<OldApplication> {
 public:
  std::string TypeName() const override { return "Application"; }
  std::shared_ptr<IApplication> Application() override {
    return std::static_pointer_cast<IApplication>(shared_from_this());
  }
  std::shared_ptr<IWorkbooks> Workbooks() override { return inner_->Workbooks(); }
  bool DisplayAlerts() const override { return inner_->DisplayAlerts(); }
  void SetDisplayAlerts(bool on) override { inner_->SetDisplayAlerts(on); }
  bool Visible() const override { return inner_->Visible(); }
  void SetVisible(bool on) override { inner_->SetVisible(on); }
  std::string Version() const override { return "11.0"; }
  std::int32_t Hwnd() const override { return inner_->Hwnd(); }
  void Quit() override { inner_->Quit(); }

 private:
  std::shared_ptr<SurfaceApplication> inner_ = SurfaceApplication::Create();
};

TEST(SurfaceExtras, ATestCanRegisterItsOwnApplication) {
  vemo::test::TempDir dir;
  ScopedFactory old(kSpreadsheetProgId, [] { return ObjectRef(std::make_shared<OldApplication>()); });
  auto app = CreateObjectAs<IApplication>("ET.Application");
  EXPECT_EQ(app->Version(), "11.0");
  EXPECT_LT(LeadingNumber(app->Version()), 12);
  auto book = app->Workbooks()->Open(MakeFixture(dir, "surface_book").string());
  EXPECT_EQ(book->Worksheets()->Item(1)->Range("A1")->Text(), "1,234.50");
  EXPECT_TRUE(TerminateApplicationByHandle(app->Hwnd()));
}

using SurfaceExtrasBook = test::SurfaceBookTest;

TEST_F(SurfaceExtrasBook, WritingARangeWritesEveryCell) {
  sheet->Range("G1:H2")->SetValue("5");
  EXPECT_EQ(sheet->Range("G1")->Value(), Variant(5.0));
  EXPECT_EQ(sheet->Range("H2")->Value(), Variant(5.0));
  EXPECT_EQ(sheet->Range("I2")->Value(), Variant());
  EXPECT_THROW(sheet->Columns(3)->SetValue("x"), HostError);  // a million cells: refused
}

TEST_F(SurfaceExtrasBook, InsertedColumnsTakeTheFormatOfTheColumnOnTheirLeft) {
  sheet->Columns(2)->Insert(kShiftToRight);
  EXPECT_EQ(sheet->Range("B1")->NumberFormat(), "#,##0.00");  // A1's format
  EXPECT_EQ(sheet->Range("B1")->Formula(), "");
  EXPECT_EQ(sheet->Range("C1")->Text(), "25%");
  EXPECT_EQ(sheet->Range("B2")->Formula(), "");
  EXPECT_EQ(sheet->Range("A2")->Formula(), "=A1*2");
}

TEST_F(SurfaceExtrasBook, FindNextWithoutAFindFindsNothing) {
  auto used = sheet->UsedRange();
  EXPECT_FALSE(used->FindNext(sheet->Range("A1")));
}

TEST_F(SurfaceExtrasBook, FindCanAskForTheWholeTextOrTheDisplayedText) {
  auto used = sheet->UsedRange();
  FindOptions whole;
  whole.what = "42";
  whole.lookAt = kLookAtWhole;
  EXPECT_EQ(used->Find(whole)->Address(), "$C$1");
  FindOptions shown;
  shown.what = "1,234.50";
  shown.lookIn = kLookInValues;
  EXPECT_EQ(used->Find(shown)->Address(), "$A$1");
  shown.lookIn = kLookInFormulas;
  EXPECT_FALSE(used->Find(shown));
}

}  // namespace
}  // namespace vemo::host
