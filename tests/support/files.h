// Reading and writing whole files in tests.
#pragma once
#include <filesystem>
#include <string>

namespace vemo::test {

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes `bytes` to the file, creating its folders.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// The pictures of a workbook package as Python's zipfile reads them:
// "media=M embed=E link=L external=X\n", the media parts, the pictures of
// the drawings embedded and linked, and the drawings' external targets.
std::string PackagePictures(const std::filesystem::path& workbook);

}  // namespace vemo::test
