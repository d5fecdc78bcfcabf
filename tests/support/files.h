// Reading and writing whole files in tests.
#pragma once
#include <filesystem>
#include <string>

namespace vemo::test {

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes `bytes` to the file, creating its folders.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace vemo::test
