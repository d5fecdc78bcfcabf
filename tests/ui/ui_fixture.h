// What the Qt tests share: acting on a grid view as a user does (clicks,
// typing, drop-down choices through the real editors) and saving a
// screenshot of a window into the test output folder.
#pragma once
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <filesystem>
#include <string>

namespace vemo::ui::test {

// A left click on a cell (1-based), as the mouse gives it.
inline void ClickCell(QAbstractItemView& view, int row, int col) {
  const QPoint center = view.visualRect(view.model()->index(row - 1, col - 1)).center();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, center);
}

// Opens the cell's editor the way a user does (a click on the cell, then
// F2), answers the editor widget.
inline QWidget* OpenEditor(QAbstractItemView& view, int row, int col) {
  ClickCell(view, row, col);
  QTest::keyClick(view.viewport(), Qt::Key_F2);
  return view.indexWidget(view.model()->index(row - 1, col - 1));
}

// Types a text into a text cell and presses Enter (the edit is committed
// when the call returns). The text arrives as an
// input method commits it (Chinese is not typed key by key).
inline void TypeIntoCell(QAbstractItemView& view, int row, int col, const QString& text) {
  auto* editor = qobject_cast<QLineEdit*>(OpenEditor(view, row, col));
  ASSERT_NE(editor, nullptr) << "cell " << row << "," << col << " opened no line editor";
  editor->selectAll();
  QInputMethodEvent typed;
  typed.setCommitString(text);
  QApplication::sendEvent(editor, &typed);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view commits an Enter through its event queue
}

// Chooses an entry in a drop-down cell with the keyboard in its combo box.
inline void ChooseInCell(QAbstractItemView& view, int row, int col, const QString& entry) {
  auto* combo = qobject_cast<QComboBox*>(OpenEditor(view, row, col));
  ASSERT_NE(combo, nullptr) << "cell " << row << "," << col << " opened no drop-down";
  const int index = combo->findText(entry);
  ASSERT_GE(index, 0) << entry.toStdString() << " is not in the list";
  combo->setCurrentIndex(index);
  emit combo->activated(index);  // what the list's popup sends on a choice
}

// <build>/tests/ui/screenshots/<name>.png (VEMO_UI_SCREENSHOTS overrides the
// folder); the path.
inline std::filesystem::path SaveScreenshot(QWidget& window, const std::string& name) {
  const char* folder = std::getenv("VEMO_UI_SCREENSHOTS");
  std::filesystem::path dir = folder && *folder ? folder : VEMO_UI_SCREENSHOT_DIR;
  std::filesystem::create_directories(dir);
  const auto path = dir / (name + ".png");
  window.show();
  QTest::qWait(20);
  EXPECT_TRUE(window.grab().save(QString::fromStdString(path.string()))) << path;
  return path;
}

}  // namespace vemo::ui::test
