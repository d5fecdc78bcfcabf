#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

#include "context/file_utils.h"
#include "context/pending_file.h"
#include "context/registry.h"
#include "context/temp_files.h"
#include "support/files.h"
#include "support/session_fixture.h"

namespace vemo::context::test {

using vemo::test::ContextTest;
using vemo::test::ScopedEnv;
namespace {

namespace fs = std::filesystem;

class FileUtilsTest : public ContextTest {
 protected:
  FileUtilsTest() : tmpdir_("TMPDIR", temp_.path().string()) {}
  ScopedEnv tmpdir_;
};

std::string Trailed(std::string path) {
  AddTrailingBackslash(path);
  return path;
}

TEST(PathText, ExtensionParentJoinAndTrailingSeparator) {
  const std::pair<std::string, std::string> cases[] = {  // what the function gave, what it should
      {GetExtensionName("a.xlsx"), "xlsx"},
      {GetExtensionName("C:\\dir\\Book1.XLS"), "XLS"},
      {GetExtensionName("noext"), ""},
      {GetExtensionName("C:\\dir.v2\\noext"), ""},
      {GetExtensionName("/tmp/x.tar.gz"), "gz"},
      {GetExtensionName(""), ""},
      {GetParentFolderName("C:\\a\\b.txt"), "C:\\a"},
      {GetParentFolderName("C:\\a\\b\\"), "C:\\a"},
      {GetParentFolderName("C:\\a"), "C:\\"},
      {GetParentFolderName("C:\\"), ""},
      {GetParentFolderName("/tmp/x/"), "/tmp"},
      {GetParentFolderName("/tmp"), "/"},
      {GetParentFolderName("name"), ""},
      {JoinPath("C:\\a", "b.xls"), "C:\\a\\b.xls"},  // exactly one separator
      {JoinPath("C:\\a\\", "b.xls"), "C:\\a\\b.xls"},
      {JoinPath(" C:\\a\\ ", " \\b.xls "), "C:\\a\\b.xls"},
      {JoinPath("C:\\Tradon\\", "Graphics\\ItemPhotos\\"), "C:\\Tradon\\Graphics\\ItemPhotos\\"},
      {JoinPath("/tmp/vemo/", "x.xls"), "/tmp/vemo/x.xls"},
      {JoinPath("/tmp/vemo", "x.xls"), "/tmp/vemo/x.xls"},
      {JoinPath("", "x.xls"), ""},
      {JoinPath("   ", "x.xls"), ""},
      {Trailed("C:\\a"), "C:\\a\\"},  // one separator of the path's kind
      {Trailed("C:\\a\\"), "C:\\a\\"},
      {Trailed("/tmp/a"), "/tmp/a/"},
      {Trailed(""), "\\"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

TEST_F(FileUtilsTest, EnsureFolderCreatesMissingLevelsAndExistsTellsFilesFromFolders) {
  fs::create_directories(ToHostPath("C:\\Level1"));
  EXPECT_TRUE(EnsureFolder("C:\\Level1\\Level2\\Level3"));
  EXPECT_TRUE(fs::is_directory(MachineFolder() / "drive_c" / "Level1" / "Level2" / "Level3"));
  EXPECT_TRUE(EnsureFolder("C:\\Level1\\Level2\\Level3"));  // already there
  EXPECT_TRUE(EnsureFolder((temp_.path() / "h1" / "h2" / "h3/").string()));
  EXPECT_TRUE(fs::is_directory(temp_.path() / "h1" / "h2" / "h3"));
  std::ofstream(temp_.path() / "file") << "x";
  for (const std::string& refused : {std::string(""), std::string("  "), (temp_.path() / "file").string(),
                                     (temp_.path() / "file" / "sub").string()})
    EXPECT_FALSE(EnsureFolder(refused)) << refused;
  WriteWindowsFile("C:\\Photos\\a.bmp", "BM");
  EXPECT_TRUE(FileExists("c:\\photos\\A.BMP"));
  EXPECT_FALSE(FileExists("C:\\Photos"));
  EXPECT_TRUE(FolderExists("C:\\Photos\\"));
  EXPECT_FALSE(FolderExists("C:\\Photos\\a.bmp"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FolderExists(""));
}

TEST_F(FileUtilsTest, DeleteAndCopyAlwaysAnswerTrueAndReadOnlyFilesNeedForce) {
  const auto a = (temp_.path() / "a.txt").string();
  const auto b = (temp_.path() / "b.txt").string();
  std::ofstream(a) << "new";
  std::ofstream(b) << "old content";
  EXPECT_TRUE(CopyFileIfExists(a, b));
  EXPECT_EQ(vemo::test::ReadFileBytes(b), "new");
  EXPECT_TRUE(CopyFileIfExists((temp_.path() / "none").string(), b));
  EXPECT_TRUE(FileExists(b));
  fs::permissions(b, fs::perms::owner_read);
  EXPECT_TRUE(DeleteFileIfExists(b, false));
  EXPECT_TRUE(FileExists(b)) << "read-only";
  EXPECT_TRUE(DeleteFileIfExists(b, true));
  EXPECT_FALSE(FileExists(b));
  EXPECT_TRUE(DeleteFileIfExists(b));  // nothing to delete
}

TEST(SystemFolder, NativeAndWow64) {
  ScopedEnv root("SystemRoot", std::nullopt);
  EXPECT_EQ(GetSystemFolder(), "C:\\Windows\\System32\\");
  SetProcess32On64(true);
  EXPECT_EQ(GetSystemFolder(), "C:\\Windows\\SysWOW64\\");
  SetProcess32On64(false);
}

// A private folder of the user, holding names of a prefix and a hex number.
TEST_F(FileUtilsTest, TempPathAndTempFileNames) {
  const std::string folder = GetTempPath();
  EXPECT_EQ(folder, (temp_.path() / ("vemoprint-" + std::to_string(::getuid()))).string() + "/");
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
  const std::pair<std::string, std::string> cases[] = {
      {NewTempWorkbookName(".xls"), folder + "Tem1.xls"},   {NewTempWorkbookName("xlsx"), folder + "Tem1.xlsx"},
      {TempFileNameFor("/t/", "TempFile", 1), "/t/Tem1.tmp"}, {TempFileNameFor("/t", "QuorvanBigText", 255), "/t/QuoFF.tmp"},
      {TempFileNameFor("/t", "ab", 10), "/t/abA.tmp"}};
  for (const auto& [given, expected] : cases) EXPECT_EQ(given, expected);
  EXPECT_FALSE(fs::exists(folder + "Tem1.xls"));  // nothing is created
  // A file in the way of the folder: no folder, no names.
  fs::remove(folder);
  std::ofstream(folder.substr(0, folder.size() - 1)) << "squatter";
  EXPECT_EQ(GetTempPath(), "");
  EXPECT_EQ(NewTempWorkbookName(".xls"), "");
}

// Guids in the registry's form, version 4, never the same twice; unique
// file names made of one.
TEST_F(FileUtilsTest, GuidsAndUniqueFileNames) {
  const std::regex form("^\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}$");
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    const std::string guid = NewGuidText();
    ASSERT_TRUE(std::regex_match(guid, form)) << guid;
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 200u);
  const std::regex bare("^T_[0-9A-F]{8}_[0-9A-F]{4}_[0-9A-F]{4}_[0-9A-F]{4}_[0-9A-F]{12}\\.xls$");
  EXPECT_TRUE(std::regex_match(NewUniqueFileName(false, "xls"), bare));
  EXPECT_TRUE(std::regex_match(NewUniqueFileName(false, ""), std::regex("^T_[0-9A-F_]{36}$")));
  EXPECT_EQ(fs::path(NewUniqueFileName(true, "xls")).parent_path().string() + "/", GetTempPath());
  EXPECT_EQ(NewUniqueFileName(true, "xlsx", "C:\\Exports").rfind("C:\\Exports\\T_", 0), 0u);
}

TEST_F(FileUtilsTest, UniqueFileNameDrawsAgainWhileTheNameIsTaken) {
  const std::string folder = (temp_.path() / "out").string();
  fs::create_directories(folder);
  std::ofstream(temp_.path() / "out" / "T_00000000_0000_4000_8000_000000000001.xls") << "taken";
  std::ofstream(temp_.path() / "out" / "T_00000000_0000_4000_8000_000000000002.xls") << "taken";
  int calls = 0;
  ScopedGuidSource guids([&] {
    ++calls;
    return "{00000000-0000-4000-8000-00000000000" + std::to_string(std::min(calls, 3)) + "}";
  });
  EXPECT_EQ(NewUniqueFileName(true, "xls", folder), folder + "/T_00000000_0000_4000_8000_000000000003.xls");
  EXPECT_EQ(calls, 3);
  calls = 0;
  EXPECT_EQ(NewUniqueFileName(false, "xls"), "T_00000000_0000_4000_8000_000000000001.xls");  // no check without a folder
}

// What a crashed run left is cleared: working copies once a day old, files
// named after a process once that process has ended; nothing else.
TEST_F(FileUtilsTest, LeftoversOfCrashedRunsAreCleared) {
  const fs::path temp = GetTempPath();
  const std::string running = "v-" + std::to_string(::getpid()) + "-1.xlsx";
  for (const std::string& name : {std::string("T_OLD.xlsx"), std::string("T_NEW.xlsx"), std::string("Tem1.xlsx"), running,
                                  std::string("v-99999999-1.xlsx")})  // above any process id the kernel hands out
    std::ofstream(temp / name) << "x";
  const auto old = fs::file_time_type::clock::now() - kStaleWorkingCopyAge - std::chrono::minutes(1);
  fs::last_write_time(temp / "T_OLD.xlsx", old);
  fs::last_write_time(temp / "Tem1.xlsx", old);
  RemoveStaleWorkingCopies();
  RemoveLeftoversOfEndedProcesses(temp, "v-");
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(temp)) left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"T_NEW.xlsx", "Tem1.xlsx", running}));
}

}  // namespace
}  // namespace vemo::context::test
