// Helpers shared by the workbook tests: the corpus, LibreOffice and zlib.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::wb::test {

// The rows of the corpus manifest, each by its column names ("file" is
// "xlsx/NAME").
const std::vector<std::map<std::string, std::string>>& Manifest();
// Whether the manifest's "opens_with" column names LibreOffice ("soffice")
// for `entry`, i.e. whether the original opens there.
bool LibreOfficeOpensOriginal(const std::string& entry);
// Whether VEMO_LO_CHECK=1 asks for the (slow) checks through LibreOffice.
bool LibreOfficeChecks();
// `file` converted to .xlsx by LibreOffice, written into `dir`.
std::filesystem::path ConvertedByOffice(const std::filesystem::path& file, const std::filesystem::path& dir);

// The names of the corpus files in `folder` ("xlsx", "xls") ending in
// `extension`, sorted.
std::vector<std::string> CorpusFiles(const std::string& folder, const std::string& extension);
// A file name as a test name: letters and digits, the extension left out.
std::string ParamName(const std::string& file);

// `size` bytes: stretches of random bytes between stretches of repeated
// XML-like rows, so some deflate blocks hardly compress and others lean on
// the dictionary.
std::string MixedBytes(std::size_t size);

// zlib's raw deflate of the whole input in one stream at `level`: what
// another writer would store, to compare ours with.
std::string DeflateInOneStream(std::string_view input, int level);

}  // namespace vemo::wb::test
