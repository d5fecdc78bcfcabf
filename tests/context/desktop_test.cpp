#include <gtest/gtest.h>

#include <sstream>

#include "context/console_desktop.h"
#include "context/message_box.h"
#include "context/scripted_desktop.h"
#include "support/session_fixture.h"

namespace vemo::context::test {

using vemo::test::ContextTest;
namespace {

class MessageBoxTest : public ContextTest {};

TEST_F(MessageBoxTest, OrdinaryLoginsAndNoSessionShowTheBoxOuterLoginsAnswerZero) {
  EXPECT_EQ(ShowMsgBox("x", vbOKOnly + vbExclamation, "T"), vbOK) << "no session counts as an ordinary login";
  Publish({{"UserName", "Tom"}});
  desktop_->QueueAnswer(vbYes);
  EXPECT_EQ(ShowMsgBox("是否打开导出的文件？", vbYesNo + vbQuestion), vbYes);
  EXPECT_EQ(ShowMsgBox("q", vbYesNo + vbQuestion), vbNo) << "unanswered: the unattended answer";
  auto shown = desktop_->Messages();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1].text, "是否打开导出的文件？");
  EXPECT_EQ(shown[1].title, "Quorvan提示");
  EXPECT_EQ(shown[1].buttons, vbYesNo);
  EXPECT_EQ(shown[1].icon, vbQuestion);

  Publish({{"UserName", "Tom"}}, std::nullopt, 1);
  desktop_->QueueAnswer(vbYes);
  EXPECT_EQ(ShowMsgBox("是否打开导出的文件？", vbYesNo + vbQuestion), 0);
  EXPECT_EQ(desktop_->Messages().size(), 3u);
  EXPECT_EQ(desktop_->PendingAnswers(), 1u);  // the queued answer was never taken
}

// Nobody to ask: the cautious button, or with "assume yes" the positive one.
TEST(UnattendedAnswer, ByButtonsAndAssumeYes) {
  struct Case {
    int buttons;
    bool assumeYes;
    int answer;
  };
  const Case cases[] = {
      {vbYesNo + vbQuestion, false, vbNo}, {vbOKCancel, false, vbCancel}, {vbYesNoCancel, false, vbCancel},
      {vbInformation, false, vbOK},        {vbYesNo + vbQuestion, true, vbYes}, {vbOKCancel, true, vbOK},
      {vbYesNoCancel, true, vbYes},        {vbOKOnly + vbCritical, true, vbOK},
  };
  for (const Case& c : cases) EXPECT_EQ(UnattendedAnswer(c.buttons, c.assumeYes), c.answer) << c.buttons << " " << c.assumeYes;
}

TEST_F(MessageBoxTest, FileDialogsAnswerFromTheQueueAndRecordTheRequest) {
  desktop_->QueueFileName("/tmp/out.xlsx");
  desktop_->QueueFileName(std::nullopt);
  FileDialogRequest request;
  request.flags = 2050;
  EXPECT_EQ(CurrentDesktop().SaveFileDialog(request), std::optional<std::string>("/tmp/out.xlsx"));
  EXPECT_EQ(CurrentDesktop().OpenFileDialog(request), std::nullopt);
  EXPECT_EQ(CurrentDesktop().OpenFileDialog(request), std::nullopt);  // nothing queued: cancel
  auto dialogs = desktop_->Dialogs();
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_EQ(dialogs[0].kind, ShownDialog::Kind::Save);
  EXPECT_EQ(dialogs[0].request.flags, 2050);
  EXPECT_EQ(dialogs[1].kind, ShownDialog::Kind::Open);
}

TEST_F(MessageBoxTest, WaitCursorCountsNestedHolders) {
  {
    WaitCursor outer;
    {
      WaitCursor inner;
      EXPECT_EQ(WaitCursor::ShowCount(), 2);
    }
    EXPECT_EQ(desktop_->MousePointer(), kPointerHourglass);  // the outer one still holds it
  }
  EXPECT_EQ(desktop_->MousePointer(), kPointerDefault);
  // The pointer is set only on the 0->1 and 1->0 steps.
  EXPECT_EQ(desktop_->PointerHistory(), (std::vector<int>{kPointerHourglass, kPointerDefault}));
}

// Host messages reach the current desktop even for outer logins (the
// message service is not silenced); a scoped desktop is current while it lives.
TEST_F(MessageBoxTest, HostMessagesGoThroughTheCurrentDesktop) {
  Publish({{"UserName", "Tom"}}, std::nullopt, 1);
  auto other = std::make_shared<ScriptedDesktop>();
  {
    ScopedDesktop use(other);
    ShowHostMessage("a");
  }
  ShowHostMessage("启动Excel失败，请先安装。");
  EXPECT_EQ(other->Messages().size(), 1u);
  ASSERT_EQ(desktop_->Messages().size(), 1u);
  EXPECT_EQ(desktop_->Messages()[0].kind, ShownMessage::Kind::HostMessage);
  EXPECT_EQ(desktop_->Messages()[0].text, "启动Excel失败，请先安装。");
}

ConsoleDesktop::Options ConsoleOptions(std::istream& in, std::ostream& out, bool interactive, bool yes = false) {
  ConsoleDesktop::Options options;
  options.in = &in;
  options.out = &out;
  options.interactive = interactive;
  options.assumeYes = yes;
  return options;
}

TEST(ConsoleDesktop, WithoutATerminalNeverReadsAndSaysWhatItAnsweredOnOneAsksUntilTheAnswerFits) {
  std::istringstream in("y\n");
  std::ostringstream out;
  ConsoleDesktop desktop(ConsoleOptions(in, out, false));
  EXPECT_EQ(desktop.MessageBox("是否打开导出的文件？", vbYesNo + vbQuestion, "Quorvan提示"), vbNo);
  desktop.ShowHostMessage("启动Excel失败，请先安装。");
  for (const char* said : {"是否打开导出的文件？", "Quorvan提示", "answered No", "启动Excel失败，请先安装。"})
    EXPECT_NE(out.str().find(said), std::string::npos) << said;
  EXPECT_EQ(desktop.SaveFileDialog({}), std::nullopt);
  std::string unread;
  std::getline(in, unread);
  EXPECT_EQ(unread, "y");  // stdin was left alone
  EXPECT_EQ(ConsoleDesktop(ConsoleOptions(in, out, false, true)).MessageBox("q", vbYesNo, "t"), vbYes) << "assume yes";

  // On a terminal it asks until the answer fits.
  std::istringstream typed("maybe\nYES\nc\n/tmp/x.xls\n\n");
  ConsoleDesktop asking(ConsoleOptions(typed, out, true));
  EXPECT_EQ(asking.MessageBox("q", vbYesNo, "t"), vbYes);
  EXPECT_EQ(asking.MessageBox("q", vbOKCancel, "t"), vbCancel);
  EXPECT_EQ(asking.SaveFileDialog({}), std::optional<std::string>("/tmp/x.xls"));
  EXPECT_EQ(asking.OpenFileDialog({}), std::nullopt);  // empty line cancels
  EXPECT_EQ(asking.MessageBox("q", vbYesNo, "t"), vbNo);  // end of input: the unattended answer
}

}  // namespace
}  // namespace vemo::context::test
