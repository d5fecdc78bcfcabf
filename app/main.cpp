// vemoprint: the command line that plays the host for VemoPrintExport.
#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
  CLI::App app{"vemoprint: fills spreadsheet templates with bills, reports and waybills"};
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  return 0;
}
