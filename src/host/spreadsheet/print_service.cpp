#include "host/spreadsheet/print_service.h"

#include <mutex>

namespace vemo::host {
namespace {
std::mutex mutex;
std::shared_ptr<PrintService> installed;
}  // namespace

std::shared_ptr<PrintService> InstallPrintService(std::shared_ptr<PrintService> service) {
  std::lock_guard lock(mutex);
  std::swap(installed, service);
  return service;
}

std::shared_ptr<PrintService> InstalledPrintService() {
  std::lock_guard lock(mutex);
  return installed;
}

}  // namespace vemo::host
