// Our spreadsheet application: the surface of spreadsheet_interfaces.h over
// the workbook engine (vemo::wb), running in the caller's process. Each
// instance has its own handle (Hwnd) in a process-wide table, so the engine's
// "end the application's process" (TerminateApplicationByHandle) discards
// exactly that instance and its open workbooks.
#pragma once
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "host/spreadsheet/spreadsheet_interfaces.h"
#include "host/spreadsheet/surface_state.h"

namespace vemo::host {

// The identifier the surface is registered under.
inline constexpr const char* kSpreadsheetProgId = "ET.Application";

// Registers "ET.Application" in the creation service: each creation starts a
// new application instance.
void RegisterSpreadsheetApplication();

// Ends the instance named by `hwnd`: its workbooks are discarded unsaved and
// it leaves the table. Answers false (and does nothing) when no live instance
// has that handle. Never touches another instance.
bool TerminateApplicationByHandle(std::int32_t hwnd);
// Number of live instances (for tests and diagnostics).
std::size_t LiveApplicationCount();

class SurfaceApplication : public IApplication, public std::enable_shared_from_this<SurfaceApplication> {
 public:
  static std::shared_ptr<SurfaceApplication> Create();
  ~SurfaceApplication() override;

  std::string TypeName() const override { return "Application"; }
  std::shared_ptr<IApplication> Application() override;
  std::shared_ptr<IWorkbooks> Workbooks() override;
  bool DisplayAlerts() const override { return displayAlerts_; }
  void SetDisplayAlerts(bool on) override { displayAlerts_ = on; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool on) override { visible_ = on; }
  std::string Version() const override { return version_; }
  // The version this instance reports. A host can pose as an older
  // application; the old-application paths of the export side are tested so.
  void SetVersion(std::string version) { version_ = std::move(version); }
  std::int32_t Hwnd() const override { return hwnd_; }
  void Quit() override;

  // For the surface objects.
  std::shared_ptr<SurfaceApplication> Self();
  void CheckRunning() const;
  std::shared_ptr<BookCore> OpenBook(const std::string& path);
  const std::vector<std::shared_ptr<BookCore>>& Books() const { return books_; }
  void Forget(const BookCore& book);  // after Close

  // The clipboard: one copied row (a live area, so it follows insertions).
  struct Clip {
    std::shared_ptr<SheetCore> sheet;
    std::shared_ptr<Area> area;
  };
  void SetClipboard(Clip clip) { clipboard_ = std::move(clip); }
  Clip TakeClipboard() { return std::exchange(clipboard_, Clip{}); }

  // Find settings remembered for FindNext, as an application remembers them.
  FindOptions lastFind;

  // Discards every workbook unsaved and marks the instance ended.
  void End();

 private:
  SurfaceApplication() = default;
  std::int32_t hwnd_ = 0;
  bool displayAlerts_ = true;
  bool visible_ = false;
  bool ended_ = false;
  std::vector<std::shared_ptr<BookCore>> books_;
  Clip clipboard_;
  std::string version_ = "12.0";
};

}  // namespace vemo::host
