// vemoprint-preview FILE.pdf [--title TEXT] [--close-after MS] [--screenshot PNG [--page N]]
// Shows the pages and returns when the window is closed. --close-after
// closes it by itself (for unattended checks, e.g. QT_QPA_PLATFORM=offscreen);
// --screenshot writes the window showing page N (1 unless given) and exits.
// Exit status: 0 closed, 1 the file is not a readable PDF, 2 bad usage.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "preview_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("vemoprint preview window"));
  parser.addHelpOption();
  QCommandLineOption title(QStringLiteral("title"), QStringLiteral("window title"), QStringLiteral("TEXT"));
  QCommandLineOption closeAfter(QStringLiteral("close-after"), QStringLiteral("close after MS milliseconds"),
                                QStringLiteral("MS"));
  QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("write the window to PNG and exit"),
                                QStringLiteral("PNG"));
  QCommandLineOption page(QStringLiteral("page"), QStringLiteral("the page to show first"), QStringLiteral("N"));
  parser.addOption(title);
  parser.addOption(closeAfter);
  parser.addOption(screenshot);
  parser.addOption(page);
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("the PDF to show"));
  parser.process(app);
  if (parser.positionalArguments().size() != 1) {
    std::fprintf(stderr, "vemoprint-preview: give one PDF file\n");
    return 2;
  }
  vemo::ui::PreviewWindow window(parser.positionalArguments().front(), parser.value(title));
  if (!window.Loaded()) {
    std::fprintf(stderr, "vemoprint-preview: %s is not a readable PDF\n",
                 qPrintable(parser.positionalArguments().front()));
    return 1;
  }
  std::printf("vemoprint-preview: showing %d pages\n", window.PageCount());
  std::fflush(stdout);
  if (parser.isSet(page)) window.ShowPage(parser.value(page).toInt() - 1);
  window.show();
  if (parser.isSet(screenshot)) {
    // The view draws its pages in the background: give it a second first.
    QTimer::singleShot(1000, &window, [&] {
      if (window.grab().save(parser.value(screenshot))) return app.exit(0);
      std::fprintf(stderr, "vemoprint-preview: cannot write %s; check the folder\n", qPrintable(parser.value(screenshot)));
      app.exit(1);
    });
    return app.exec();
  }
  if (parser.isSet(closeAfter)) QTimer::singleShot(parser.value(closeAfter).toInt(), &window, &QWidget::close);
  return app.exec();
}
