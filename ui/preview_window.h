// The preview window: the rendered pages of a bill one at a time, with page
// navigation ("第 N 页，共 M 页"), zoom (fit page, fit width, 100 %, in and
// out, Ctrl+wheel), Print (the system's print dialog: printer, copies, page
// range), Save as PDF and Close. It is modal for the caller: the print
// service waits until the window is closed.
#pragma once
#include <QMainWindow>
#include <QPdfDocument>
#include <QPdfView>
#include <QString>
#include <utility>

class QLabel;
class QPrinter;

namespace vemo::ui {

// The first and last page (1-based) a print dialog's answer asks for out of
// `pageCount`: all of them unless a range was chosen, cut to the document.
std::pair<int, int> PagesToPrint(const QPrinter& printer, int pageCount);

class PreviewWindow : public QMainWindow {
  Q_OBJECT

 public:
  PreviewWindow(const QString& pdfPath, const QString& title);
  // False when the file is not a readable PDF.
  bool Loaded() const { return document_.status() == QPdfDocument::Status::Ready; }
  int PageCount() const { return document_.pageCount(); }
  int CurrentPage() const { return page_; }  // 0-based
  QString PageLabel() const;
  QPdfView::ZoomMode ZoomMode() const { return view_->zoomMode(); }
  qreal ZoomFactor() const { return view_->zoomFactor(); }

 public slots:
  void ShowPage(int page);
  void NextPage() { ShowPage(page_ + 1); }
  void PreviousPage() { ShowPage(page_ - 1); }
  void FirstPage() { ShowPage(0); }
  void LastPage() { ShowPage(PageCount() - 1); }
  void FitPage() { view_->setZoomMode(QPdfView::ZoomMode::FitInView); }
  void FitWidth() { view_->setZoomMode(QPdfView::ZoomMode::FitToWidth); }
  void ActualSize() { SetZoom(1.0); }
  void ZoomIn() { SetZoom(CustomZoom() * kZoomStep); }
  void ZoomOut() { SetZoom(CustomZoom() / kZoomStep); }
  void PrintPages();
  void SaveAsPdf();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static constexpr qreal kZoomStep = 1.25;
  // The zoom a step starts from: the fitted modes start from 100 %.
  qreal CustomZoom() const;
  void SetZoom(qreal factor);

  QString pdfPath_;
  QPdfDocument document_;
  QPdfView* view_ = nullptr;
  QLabel* pageLabel_ = nullptr;
  int page_ = 0;
};

}  // namespace vemo::ui
