#include "host/output/cups_printer.h"

#include <cups/cups.h>

#include "host/output/output_error.h"

namespace vemo::host {
namespace {

// The destination list of the current user, freed on scope exit.
class Destinations {
 public:
  Destinations() { count_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_); }
  ~Destinations() { cupsFreeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;
  cups_dest_t* Default() const { return cupsGetDest(nullptr, nullptr, count_, dests_); }

 private:
  int count_ = 0;
  cups_dest_t* dests_ = nullptr;
};

constexpr const char* kNoDefaultPrinter =
    "no default printer is set up; choose one with \"lpoptions -d NAME\" (or ask the administrator to run "
    "\"lpadmin -d NAME\"), then print again";

}  // namespace

std::string DefaultPrinterName() {
  Destinations dests;
  cups_dest_t* dest = dests.Default();
  return dest ? dest->name : "";
}

void CupsPrinter::CheckReady() {
  if (DefaultPrinterName().empty()) throw OutputError(kNoDefaultPrinter);
}

int CupsPrinter::Print(const PrintJob& job) {
  if (job.copies < 1) throw OutputError("cannot print " + std::to_string(job.copies) + " copies; ask for 1 or more");
  Destinations dests;
  cups_dest_t* dest = dests.Default();
  if (!dest) throw OutputError(kNoDefaultPrinter);
  const std::string name = dest->name;
  cups_option_t* options = nullptr;
  int optionCount = 0;
  optionCount = cupsAddOption("copies", std::to_string(job.copies).c_str(), optionCount, &options);
  int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.c_str(), job.pdf.c_str(), job.title.c_str(), optionCount, options);
  cupsFreeOptions(optionCount, options);
  if (id <= 0)
    throw OutputError("the printer " + name + " refused the job: " + cupsLastErrorString() +
                      " (check the queue with \"lpstat -p " + name + "\")");
  return id;
}

}  // namespace vemo::host
