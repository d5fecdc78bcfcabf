#include "host/output/cups_printer.h"

#include "host/output/cups_library.h"
#include "host/output/output_error.h"

namespace vemo::host {
namespace {

// The destination list of the current user, freed on scope exit.
class Destinations {
 public:
  Destinations() { count_ = Cups().getDests2(CUPS_HTTP_DEFAULT, &dests_); }
  ~Destinations() { Cups().freeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;
  cups_dest_t* Default() const { return Cups().getDest(nullptr, nullptr, count_, dests_); }

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
  optionCount = Cups().addOption("copies", std::to_string(job.copies).c_str(), optionCount, &options);
  int id = Cups().printFile2(CUPS_HTTP_DEFAULT, name.c_str(), job.pdf.c_str(), job.title.c_str(), optionCount, options);
  Cups().freeOptions(optionCount, options);
  if (id <= 0)
    throw OutputError("the printer " + name + " refused the job: " + Cups().lastErrorString() +
                      " (check the queue with \"lpstat -p " + name + "\")");
  return id;
}

}  // namespace vemo::host
