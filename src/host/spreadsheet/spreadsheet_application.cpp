#include "host/spreadsheet/spreadsheet_application.h"

#include <map>
#include <mutex>

#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "host/spreadsheet/surface_objects.h"
#include "workbook/workbook_error.h"

namespace vemo::host {
namespace {

// The live instances by handle. Handles are never reused within a process,
// so a stale handle can never end a newer instance.
struct InstanceTable {
  std::mutex mutex;
  std::map<std::int32_t, std::weak_ptr<SurfaceApplication>> live;
  std::int32_t next = 0x00010010;
};

InstanceTable& Table() {
  static InstanceTable table;
  return table;
}

}  // namespace

std::shared_ptr<SurfaceApplication> SurfaceApplication::Create() {
  std::shared_ptr<SurfaceApplication> app(new SurfaceApplication());
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  app->hwnd_ = table.next;
  table.next += 4;  // window handles are multiples of 4 on the host's platform
  table.live[app->hwnd_] = app;
  return app;
}

SurfaceApplication::~SurfaceApplication() {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  auto it = table.live.find(hwnd_);
  if (it != table.live.end() && it->second.expired()) table.live.erase(it);
}

std::shared_ptr<SurfaceApplication> SurfaceApplication::Self() {
  return std::static_pointer_cast<SurfaceApplication>(shared_from_this());
}

void SurfaceApplication::CheckRunning() const {
  if (ended_)
    throw HostError(HostError::kObjectRequired,
                    "the spreadsheet application has ended (Quit or terminated); create a new one");
}

std::shared_ptr<IApplication> SurfaceApplication::Application() {
  CheckRunning();
  return Self();
}

std::shared_ptr<IWorkbooks> SurfaceApplication::Workbooks() {
  CheckRunning();
  return std::make_shared<SurfaceWorkbooks>(Self());
}

std::shared_ptr<BookCore> SurfaceApplication::OpenBook(const std::string& path) {
  CheckRunning();
  auto book = std::make_shared<BookCore>();
  try {
    book->model = wb::Workbook::Open(path);
  } catch (const wb::WorkbookError& e) {
    throw HostError("cannot open the workbook \"" + path + "\": " + e.what());
  } catch (const std::exception& e) {
    throw HostError("cannot open the workbook \"" + path + "\": " + e.what());
  }
  book->app = Self();
  book->path = path;
  for (std::size_t i = 0; i < book->model->SheetCount(); ++i) {
    auto core = std::make_shared<SheetCore>();
    core->book = book.get();
    core->sheet = &book->model->GetSheet(i);
    book->sheets.push_back(std::move(core));
  }
  books_.push_back(book);
  return book;
}

void SurfaceApplication::Forget(const BookCore& book) {
  std::erase_if(books_, [&](const std::shared_ptr<BookCore>& b) { return b.get() == &book; });
}

void SurfaceApplication::End() {
  ended_ = true;
  clipboard_ = {};
  for (auto& book : books_) book->Discard();
  books_.clear();
}

void SurfaceApplication::Quit() {
  End();
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  table.live.erase(hwnd_);
}

bool TerminateApplicationByHandle(std::int32_t hwnd) {
  std::shared_ptr<SurfaceApplication> app;
  {
    auto& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.live.find(hwnd);
    if (it == table.live.end()) return false;
    app = it->second.lock();
    table.live.erase(it);
  }
  if (!app) return false;
  app->End();
  return true;
}

std::size_t LiveApplicationCount() {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  std::size_t n = 0;
  for (auto& [handle, weak] : table.live)
    if (!weak.expired()) ++n;
  return n;
}

void RegisterSpreadsheetApplication() {
  Creation().Register(kSpreadsheetProgId, [] { return ObjectRef(SurfaceApplication::Create()); });
}

// ---- Workbooks ----

std::shared_ptr<IWorkbook> SurfaceWorkbooks::Open(const std::string& path) {
  return std::make_shared<SurfaceWorkbook>(app_, app_->OpenBook(path));
}

int SurfaceWorkbooks::Count() const {
  app_->CheckRunning();
  return static_cast<int>(app_->Books().size());
}

std::shared_ptr<IWorkbook> SurfaceWorkbooks::Item(int index) {
  app_->CheckRunning();
  const auto& books = app_->Books();
  if (index < 1 || index > static_cast<int>(books.size()))
    throw HostError(HostError::kKeyNotFound, "there is no open workbook number " + std::to_string(index) + "; " +
                                                 std::to_string(books.size()) + " are open");
  return std::make_shared<SurfaceWorkbook>(app_, books[static_cast<std::size_t>(index - 1)]);
}

}  // namespace vemo::host
