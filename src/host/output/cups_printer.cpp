#include "host/output/cups_printer.h"

#include "host/output/cups_library.h"
#include "host/output/output_error.h"

namespace vemo::host {
namespace {

// The current user's default destination (their lpoptions choice, else the
// server's), or null; freed on scope exit. Asking for the default alone is
// one request to the server: listing every destination to pick it out took
// tens of milliseconds of each print.
class DefaultDestination {
 public:
  DefaultDestination() : dest_(Cups().getNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr)) {}
  ~DefaultDestination() {
    if (dest_) Cups().freeDests(1, dest_);
  }
  DefaultDestination(const DefaultDestination&) = delete;
  DefaultDestination& operator=(const DefaultDestination&) = delete;
  cups_dest_t* get() const { return dest_; }

 private:
  cups_dest_t* dest_;
};

constexpr const char* kNoDefaultPrinter =
    "no default printer is set up; choose one with \"lpoptions -d NAME\" (or ask the administrator to run "
    "\"lpadmin -d NAME\"), then print again";

}  // namespace

std::string DefaultPrinterName() {
  const DefaultDestination dest;
  return dest.get() ? dest.get()->name : "";
}

void CupsPrinter::CheckReady() {
  if (DefaultPrinterName().empty()) throw OutputError(kNoDefaultPrinter);
}

int CupsPrinter::Print(const PrintJob& job) {
  if (job.copies < 1) throw OutputError("cannot print " + std::to_string(job.copies) + " copies; ask for 1 or more");
  const DefaultDestination dest;
  if (!dest.get()) throw OutputError(kNoDefaultPrinter);
  const std::string name = dest.get()->name;
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
