// vemoprint-preview FILE.pdf [--title TEXT] [--close-after MS]
// Shows the pages and returns when the window is closed. --close-after
// closes it by itself (for unattended checks, e.g. QT_QPA_PLATFORM=offscreen).
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
  parser.addOption(title);
  parser.addOption(closeAfter);
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
  window.show();
  if (parser.isSet(closeAfter)) QTimer::singleShot(parser.value(closeAfter).toInt(), &window, &QWidget::close);
  return app.exec();
}
