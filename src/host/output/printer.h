// Sending rendered pages (a PDF) to a printer.
#pragma once
#include <filesystem>
#include <string>

namespace vemo::host {

struct PrintJob {
  std::filesystem::path pdf;
  std::string title;  // the job's name in the queue
  int copies = 1;
};

class Printer {
 public:
  virtual ~Printer() = default;
  // Queues the job; answers the job id. Throws OutputError when there is no
  // printer to send it to or the queue refuses it.
  virtual int Print(const PrintJob& job) = 0;
  // Throws OutputError when no job could be sent now (no printer at all), so
  // a caller can fail before rendering. Print checks again.
  virtual void CheckReady() {}
};

}  // namespace vemo::host
