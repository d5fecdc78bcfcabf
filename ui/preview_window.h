// The preview window: the rendered pages of a bill, with Print (through the
// system's print dialog), Save as PDF and Close. It is modal for the caller:
// the print service waits until the window is closed.
#pragma once
#include <QMainWindow>
#include <QPdfDocument>
#include <QString>

class QPdfView;

namespace vemo::ui {

class PreviewWindow : public QMainWindow {
  Q_OBJECT

 public:
  PreviewWindow(const QString& pdfPath, const QString& title);
  // False when the file is not a readable PDF.
  bool Loaded() const { return document_.status() == QPdfDocument::Status::Ready; }
  int PageCount() const { return document_.pageCount(); }

 public slots:
  void PrintPages();
  void SaveAsPdf();

 private:
  QString pdfPath_;
  QPdfDocument document_;
  QPdfView* view_ = nullptr;
};

}  // namespace vemo::ui
