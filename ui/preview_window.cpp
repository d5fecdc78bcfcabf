#include "preview_window.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPdfView>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolBar>

namespace vemo::ui {

PreviewWindow::PreviewWindow(const QString& pdfPath, const QString& title) : pdfPath_(pdfPath) {
  setWindowTitle(title.isEmpty() ? QFileInfo(pdfPath).fileName() : title);
  document_.load(pdfPath);
  view_ = new QPdfView(this);
  view_->setDocument(&document_);
  view_->setPageMode(QPdfView::PageMode::MultiPage);
  view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
  setCentralWidget(view_);

  QToolBar* bar = addToolBar(QStringLiteral("preview"));
  bar->setMovable(false);
  bar->addAction(QStringLiteral("打印"), this, &PreviewWindow::PrintPages);
  bar->addAction(QStringLiteral("另存为 PDF"), this, &PreviewWindow::SaveAsPdf);
  bar->addAction(QStringLiteral("关闭"), this, &QWidget::close);
  resize(900, 1000);
}

void PreviewWindow::PrintPages() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    QMessageBox::warning(this, windowTitle(), QStringLiteral("无法打开打印机。"));
    return;
  }
  for (int page = 0; page < document_.pageCount(); ++page) {
    if (page > 0) printer.newPage();
    const QRect area = painter.viewport();
    QSizeF points = document_.pagePointSize(page);
    QSize pixels = points.scaled(area.size(), Qt::KeepAspectRatio).toSize();
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
    QMessageBox::warning(this, windowTitle(), QStringLiteral("无法保存到 %1。").arg(target));
}

}  // namespace vemo::ui
