#include "workbook/workbook_test_util.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::wb::test {

const std::vector<std::map<std::string, std::string>>& Manifest() {
  static const auto rows = [] {
    std::vector<std::map<std::string, std::string>> out;
    std::ifstream manifest(vemo::test::SharedDir() / "corpus" / "MANIFEST.tsv");
    auto columns = [](const std::string& line) {
      std::vector<std::string> fields;
      std::stringstream split(line);
      for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
      return fields;
    };
    std::string line;
    std::getline(manifest, line);
    const auto header = columns(line);
    while (std::getline(manifest, line)) {
      const auto fields = columns(line);
      auto& row = out.emplace_back();
      for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
    }
    return out;
  }();
  return rows;
}

bool LibreOfficeOpensOriginal(const std::string& entry) {
  for (const auto& row : Manifest())
    if (row.at("file") == entry) return row.count("opens_with") && row.at("opens_with").find("soffice") != std::string::npos;
  return true;
}

bool LibreOfficeChecks() {
  const char* flag = std::getenv("VEMO_LO_CHECK");
  return flag && std::string(flag) == "1";
}

std::filesystem::path ConvertedByOffice(const std::filesystem::path& file, const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  const std::string command = "cd " + vemo::test::ShellQuote(dir) + " && soffice -env:UserInstallation=file://" + (dir / "profile").string() +
                              " --headless --convert-to xlsx " + vemo::test::ShellQuote(file) + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("LibreOffice did not convert " + file.string());
  return dir / (file.stem().string() + ".xlsx");
}

std::vector<std::string> CorpusFiles(const std::string& folder, const std::string& extension) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(vemo::test::SharedDir() / "corpus" / folder, ec))
    if (entry.path().extension() == extension) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ParamName(const std::string& file) {
  std::string name;
  for (char c : std::filesystem::path(file).stem().string()) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name.substr(0, 60);
}

std::string MixedBytes(std::size_t size) {
  std::mt19937 random(7);
  std::string out;
  out.reserve(size);
  for (int row = 1; out.size() < size; ++row) {
    if (row % 500 == 0) {
      for (int i = 0; i < 40000 && out.size() < size; ++i) out += static_cast<char>(random() & 0xFF);
    } else {
      out += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) + "\" t=\"s\"><v>" +
             std::to_string(random() % 1000) + "</v></c></row>";
    }
  }
  out.resize(size);
  return out;
}

std::string DeflateInOneStream(std::string_view input, int level) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("zlib refused to start a deflate stream");
  std::string out(deflateBound(&z, static_cast<uLong>(input.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  z.avail_in = static_cast<uInt>(input.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (status != Z_STREAM_END) throw std::runtime_error("zlib did not finish the deflate stream");
  return out;
}

}  // namespace vemo::wb::test
