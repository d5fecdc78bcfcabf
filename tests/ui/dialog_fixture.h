// The setup dialogs' windows on the sample account: the setup fixture (data
// folder, session, scripted desktop) with our spreadsheet application and
// the engines checking imported templates, as the program has them.
#pragma once
#include <QPushButton>
#include <QTest>

#include "host/spreadsheet/spreadsheet_application.h"
#include "setup/setup_fixture.h"
#include "setup/template_validator.h"
#include "ui/dialogs/form_dialog.h"
#include "ui_fixture.h"

namespace vemo::ui::test {

class DialogTest : public setup::test::SetupTest {
 protected:
  DialogTest() : realSpreadsheet_(host::kSpreadsheetProgId, [] { return host::SurfaceApplication::Create(); }) {
    setup::SetTemplateValidatorProvider(setup::EngineTemplateValidator);
  }
  ~DialogTest() override { setup::SetTemplateValidatorProvider(nullptr); }

  static std::string Example(const std::string& name) {
    return (vemo::test::SourceDir() / "examples/templates" / name).string();
  }
  static void Press(FormDialog& dialog, int button) {
    QPushButton* pushed = dialog.Button(button);
    ASSERT_NE(pushed, nullptr) << "no button " << button;
    QTest::mouseClick(pushed, Qt::LeftButton);
  }
  // The import button with the file dialog answered by `file`.
  void Import(FormDialog& dialog, int button, const std::string& file) {
    desktop_->QueueFileName(file);
    Press(dialog, button);
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : Messages()) texts.push_back(message.text);
    return texts;
  }

 private:
  ScopedFactory realSpreadsheet_;
};

}  // namespace vemo::ui::test
