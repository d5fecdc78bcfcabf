// Helpers of the output tests: fixture workbooks (data/make_output_book.py)
// and the PDF checkers (pdftotext, pdfimages).
#pragma once
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/run_command.h"
#include "support/scoped_env.h"
#include "support/test_paths.h"

namespace vemo::host::test {

// Writes a workbook with one sheet per (name, A1 text) pair; `extra` is
// passed on to the script (e.g. "--linked-picture TARGET").
inline std::filesystem::path MakeBook(const std::filesystem::path& out,
                                      const std::vector<std::pair<std::string, std::string>>& sheets,
                                      const std::string& extra = "") {
  std::string command = "/usr/bin/python3 " +
                        vemo::test::ShellQuote(vemo::test::SourceDir() / "tests/host/output/data/make_output_book.py") +
                        " " + vemo::test::ShellQuote(out);
  for (const auto& [name, text] : sheets)
    command += " --sheet " + vemo::test::ShellQuote(name) + " " + vemo::test::ShellQuote(text);
  command += " " + extra;
  auto result = vemo::test::RunCommand(command);
  if (result.status != 0) throw std::runtime_error("make_output_book.py failed: " + result.output);
  return out;
}

inline std::string PdfText(const std::filesystem::path& pdf) {
  return vemo::test::RunCommand("pdftotext -enc UTF-8 " + vemo::test::ShellQuote(pdf) + " -").output;
}

// Number of images drawn in the PDF (pdfimages -list rows).
inline int PdfImageCount(const std::filesystem::path& pdf) {
  auto result = vemo::test::RunCommand("pdfimages -list " + vemo::test::ShellQuote(pdf));
  if (result.status != 0) return -1;
  int lines = 0;
  for (char c : result.output) lines += c == '\n';
  return lines - 2;  // two header lines
}

using vemo::test::ScopedEnv;

}  // namespace vemo::host::test
