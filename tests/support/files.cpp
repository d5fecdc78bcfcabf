#include "support/files.h"

#include <fstream>
#include <iterator>

#include "support/run_command.h"

namespace vemo::test {

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string PackagePictures(const std::filesystem::path& workbook) {
  return RunCommand("/usr/bin/python3 -c 'import sys, zipfile\n"
                    "z = zipfile.ZipFile(sys.argv[1]); names = z.namelist()\n"
                    "read = lambda start: \"\".join(z.read(n).decode() for n in names if n.startswith(start))\n"
                    "d, r = read(\"xl/drawings/drawing\"), read(\"xl/drawings/_rels/\")\n"
                    "print(\"media=%d embed=%d link=%d external=%d\" % (len([n for n in names if n.startswith(\"xl/media/\")]),\n"
                    "      d.count(\"r:embed=\"), d.count(\"r:link=\"), r.count(\"TargetMode=\\\"External\\\"\")))' " +
                    ShellQuote(workbook))
      .output;
}

}  // namespace vemo::test
