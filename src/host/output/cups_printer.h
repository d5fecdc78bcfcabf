// The printer over CUPS: the user's default destination (lpoptions -d, else
// the server's default; the CUPS_SERVER environment variable picks the
// server). No default destination is an error that says how to set one.
#pragma once
#include <string>

#include "host/output/printer.h"

namespace vemo::host {

class CupsPrinter : public Printer {
 public:
  int Print(const PrintJob& job) override;
  void CheckReady() override;  // a default destination exists
};

// The name of the default destination; "" when there is none.
std::string DefaultPrinterName();

}  // namespace vemo::host
