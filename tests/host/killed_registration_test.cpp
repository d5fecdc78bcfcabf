// A registration killed half-way (SIGKILL, no chance to clean up) leaves
// the database as before or with the whole row, never half of it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <limits>
#include <thread>

#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/database/read_only_query.h"
#include "host/database/sqlite_connection.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

constexpr std::size_t kTemplateSize = 8u * 1024 * 1024;

// Four patterns, made once, so the child spends its time writing.
const Bytes& TemplateBytes(int index) {
  static const std::vector<Bytes> patterns = [] {
    std::vector<Bytes> all;
    for (std::size_t p = 0; p < 4; ++p) {
      Bytes bytes(kTemplateSize);
      for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + p) % 251);
      all.push_back(std::move(bytes));
    }
    return all;
  }();
  return patterns[static_cast<std::size_t>(index) % patterns.size()];
}

class KilledRegistrationTest : public test::SampleAccountTest {
 protected:
  int RowCount() {
    return RunReadOnlyQuery(Database(), "select count(*) from T_PrintExport where FBillType = 1020002")->Field(0).ToInt32();
  }
  // True while a writer holds its transaction open: the embedded file's
  // rollback journal, the server's write lock.
  bool InsideWrite() {
    if (OnServer())
      return RunReadOnlyQuery(Database(), "select count(*) from pg_locks where locktype = 'advisory' and granted")
                 ->Field(0)
                 .ToInt32() > 0;
    auto journal = Database().file;
    journal += "-journal";
    return std::filesystem::exists(journal) && std::filesystem::file_size(journal) > 0;
  }
};

TEST_F(KilledRegistrationTest, LeavesOnlyWholeRows) {
  int killedInsideTransaction = 0;
  // Three rounds at least; on a loaded machine a kill can miss the open
  // transaction, so go on (up to ten rounds) until one has hit it.
  for (int round = 0; round < 3 || (killedInsideTransaction == 0 && round < 10); ++round) {
    int before = RowCount();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // The child registers templates until it is killed.
      try {
        TemplateBytes(0);
        auto update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);
        for (int i = before;; ++i) update->InsertNoteRow(Props(), 1020002, "t" + std::to_string(i) + ".xls", TemplateBytes(i));
      } catch (...) {
      }
      _exit(3);
    }
    // Let some registrations finish, then wait for the next one to open its
    // transaction and kill it a little later, a different delay each round.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (RowCount() < before + 2 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    while (!InsideWrite() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * (round % 3)));
    // The server releases a dead client's lock only when it notices, so it
    // is looked at just before the kill; the file's journal stays behind.
    bool inside = OnServer() && InsideWrite();
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own (status " << status << ")";
    if (inside || (!OnServer() && InsideWrite())) ++killedInsideTransaction;

    // The first reader after the crash finds the hot journal; SQLite rolls
    // it back and reading works.
    int count = RowCount();
    if (!OnServer()) {
      SqliteConnection db(Database().file, SQLITE_OPEN_READONLY);
      auto check = db.Prepare("PRAGMA integrity_check");
      ASSERT_TRUE(check.Step());
      EXPECT_EQ(check.Text(0), "ok");
    }
    // Every template whole: on a slow machine the child may have registered
    // more than a query of the host may answer, so no result limit here.
    auto rows = RunReadOnlyQuery(Database(), "select FBillID, FName, FFileData from T_PrintExport where FBillType = 1020002 order by FBillID",
                                 kQueryTimeLimit, std::numeric_limits<std::size_t>::max());
    EXPECT_EQ(rows->RecordCount(), count);
    count = 0;
    for (; !rows->Eof(); rows->MoveNext(), ++count) {
      int index = rows->Field("FBillID").ToInt32() - 1;
      EXPECT_EQ(index, count) << "ids have no gaps";
      EXPECT_EQ(rows->Field("FName").ToText(), "t" + std::to_string(index) + ".xls");
      EXPECT_TRUE(rows->Field("FFileData").ToBytes() == TemplateBytes(index)) << "row " << index << " is not whole";
    }
    EXPECT_GE(count, before + 2);
  }
  EXPECT_GE(killedInsideTransaction, 1) << "no kill hit an open registration; the test proved nothing";
}

}  // namespace
}  // namespace vemo::host
