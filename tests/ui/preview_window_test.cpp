// The preview window offscreen: page navigation with its "page N of M",
// zoom by button and Ctrl+wheel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPdfPageNavigator>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <functional>

#include "preview_window.h"

namespace vemo::ui {
namespace {

QString ThreePagePdf(const QTemporaryDir& dir) {
  const QString path = dir.filePath(QStringLiteral("three.pdf"));
  QPdfWriter writer(path);
  QPainter painter(&writer);
  for (int page = 1; page <= 3; ++page) {
    if (page > 1) writer.newPage();
    painter.drawText(QPointF(100, 100), QStringLiteral("page %1").arg(page));
  }
  painter.end();
  return path;
}

TEST(PreviewWindow, NavigationAndZoom) {
  QTemporaryDir dir;
  PreviewWindow window(ThreePagePdf(dir), QStringLiteral("预览"));
  ASSERT_TRUE(window.Loaded());
  window.show();
  auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
    QWidget* viewport = window.findChild<QPdfView*>()->viewport();
    QWheelEvent event(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), {}, {0, delta}, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
  };
  using Zoom = QPdfView::ZoomMode;
  const struct {
    const char* step;
    std::function<void()> act;
    int page;  // 0-based
    Zoom zoom;
    qreal factor;  // for Zoom::Custom
  } steps[] = {
      {"opened", [] {}, 0, Zoom::FitInView, 0},
      {"next", [&] { window.NextPage(); }, 1, Zoom::FitInView, 0},
      {"last, then next past the end", [&] { window.LastPage(), window.NextPage(); }, 2, Zoom::FitInView, 0},
      {"first, then previous before it", [&] { window.FirstPage(), window.PreviousPage(); }, 0, Zoom::FitInView, 0},
      {"fit width", [&] { window.FitWidth(); }, 0, Zoom::FitToWidth, 0},
      {"zoom in from a fit", [&] { window.ZoomIn(); }, 0, Zoom::Custom, 1.25},
      {"100 %, zoom out", [&] { window.ActualSize(), window.ZoomOut(); }, 0, Zoom::Custom, 0.8},
      {"Ctrl+wheel up, wheel alone", [&] { wheel(120, Qt::ControlModifier), wheel(120, {}); }, 0, Zoom::Custom, 1.0},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(window.findChild<QPdfView*>()->pageNavigator()->currentPage(), s.page) << s.step;  // what is shown
    EXPECT_EQ(window.PageLabel(), QStringLiteral("第 %1 页，共 3 页").arg(s.page + 1)) << s.step;
    EXPECT_EQ(window.ZoomMode(), s.zoom) << s.step;
    EXPECT_DOUBLE_EQ(s.zoom == Zoom::Custom ? window.ZoomFactor() : 0, s.factor) << s.step;
  }
}

}  // namespace
}  // namespace vemo::ui
