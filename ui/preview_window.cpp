#include "preview_window.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfPageNavigator>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>

namespace vemo::ui {

std::pair<int, int> PagesToPrint(const QPrinter& printer, int pageCount) {
  if (printer.printRange() != QPrinter::PageRange || printer.fromPage() < 1) return {1, pageCount};
  return {std::min(printer.fromPage(), pageCount), std::clamp(printer.toPage(), printer.fromPage(), pageCount)};
}

PreviewWindow::PreviewWindow(const QString& pdfPath, const QString& title) : pdfPath_(pdfPath) {
  setWindowTitle(title.isEmpty() ? QFileInfo(pdfPath).fileName() : title);
  document_.load(pdfPath);
  view_ = new QPdfView(this);
  view_->setDocument(&document_);
  view_->setPageMode(QPdfView::PageMode::SinglePage);
  view_->setZoomMode(QPdfView::ZoomMode::FitInView);
  view_->viewport()->installEventFilter(this);
  setCentralWidget(view_);

  QToolBar* bar = addToolBar(QStringLiteral("preview"));
  bar->setMovable(false);
  bar->addAction(QStringLiteral("打印"), QKeySequence::Print, this, &PreviewWindow::PrintPages);
  bar->addAction(QStringLiteral("另存为 PDF"), QKeySequence::Save, this, &PreviewWindow::SaveAsPdf);
  bar->addSeparator();
  bar->addAction(QStringLiteral("首页"), QKeySequence(Qt::Key_Home), this, &PreviewWindow::FirstPage);
  bar->addAction(QStringLiteral("上一页"), QKeySequence(Qt::Key_PageUp), this, &PreviewWindow::PreviousPage);
  pageLabel_ = new QLabel(this);
  pageLabel_->setContentsMargins(8, 0, 8, 0);
  bar->addWidget(pageLabel_);
  bar->addAction(QStringLiteral("下一页"), QKeySequence(Qt::Key_PageDown), this, &PreviewWindow::NextPage);
  bar->addAction(QStringLiteral("末页"), QKeySequence(Qt::Key_End), this, &PreviewWindow::LastPage);
  bar->addSeparator();
  bar->addAction(QStringLiteral("整页"), this, &PreviewWindow::FitPage);
  bar->addAction(QStringLiteral("页宽"), this, &PreviewWindow::FitWidth);
  bar->addAction(QStringLiteral("100%"), this, &PreviewWindow::ActualSize);
  bar->addAction(QStringLiteral("放大"), QKeySequence::ZoomIn, this, &PreviewWindow::ZoomIn);
  bar->addAction(QStringLiteral("缩小"), QKeySequence::ZoomOut, this, &PreviewWindow::ZoomOut);
  bar->addSeparator();
  bar->addAction(QStringLiteral("关闭"), this, &QWidget::close);
  ShowPage(0);
  resize(900, 1000);
}

QString PreviewWindow::PageLabel() const {
  return QStringLiteral("第 %1 页，共 %2 页").arg(PageCount() > 0 ? page_ + 1 : 0).arg(PageCount());
}

void PreviewWindow::ShowPage(int page) {
  page_ = std::clamp(page, 0, std::max(PageCount() - 1, 0));
  if (PageCount() > 0) view_->pageNavigator()->jump(page_, {}, view_->zoomFactor());
  pageLabel_->setText(PageLabel());
}

qreal PreviewWindow::CustomZoom() const {
  return view_->zoomMode() == QPdfView::ZoomMode::Custom ? view_->zoomFactor() : 1.0;
}

void PreviewWindow::SetZoom(qreal factor) {
  view_->setZoomMode(QPdfView::ZoomMode::Custom);
  view_->setZoomFactor(std::clamp(factor, 0.1, 8.0));
}

// Ctrl+wheel zooms; the wheel alone scrolls the page as usual.
bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport() && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->modifiers() & Qt::ControlModifier) {
      if (wheel->angleDelta().y() > 0) ZoomIn();
      if (wheel->angleDelta().y() < 0) ZoomOut();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void PreviewWindow::PrintPages() {
  // 300 dpi: the pages go to the printer as pictures of the PDF's pages,
  // and at the printer's full resolution one A4 page would take half a gigabyte.
  QPrinter printer;
  printer.setResolution(300);
  printer.setDocName(windowTitle());
  QPrintDialog dialog(&printer, this);
  dialog.setMinMax(1, PageCount());
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies |
                    QAbstractPrintDialog::PrintShowPageSize);
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    QMessageBox::warning(this, windowTitle(), QStringLiteral("无法打开打印机 %1，请检查打印机设置。").arg(printer.printerName()));
    return;
  }
  const auto [first, last] = PagesToPrint(printer, PageCount());
  for (int page = first - 1; page < last; ++page) {
    if (page > first - 1) printer.newPage();
    const QRect area = painter.viewport();
    const QSize pixels = document_.pagePointSize(page).scaled(area.size(), Qt::KeepAspectRatio).toSize();
    painter.drawImage(QRect(area.topLeft(), pixels), document_.render(page, pixels));
  }
  painter.end();
}

void PreviewWindow::SaveAsPdf() {
  QString target = QFileDialog::getSaveFileName(this, QStringLiteral("另存为 PDF"), QFileInfo(pdfPath_).fileName(),
                                                QStringLiteral("PDF (*.pdf)"));
  if (target.isEmpty()) return;
  if (QFile::exists(target)) QFile::remove(target);
  if (!QFile::copy(pdfPath_, target))
    QMessageBox::warning(this, windowTitle(), QStringLiteral("无法保存到 %1，请换一个文件夹。").arg(target));
}

}  // namespace vemo::ui
