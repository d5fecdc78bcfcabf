// A file that appears at its target only when it is whole: it is written
// under a hidden name in the target's folder and renamed over the target by
// Commit(). A failed or abandoned write leaves the target as it was (absent
// or with its previous contents) and removes the hidden file.
//
//   PendingFile out(chosen);
//   Write(out.Path());     // the same folder and extension as `chosen`
//   out.Commit();          // throws HostError naming the cause
#pragma once
#include <filesystem>
#include <string>

namespace vemo::context {

class PendingFile {
 public:
  // `target` in either path form (ToHostPath maps it); Path() answers in
  // the same form. Hidden files of this target left by a process that no
  // longer runs are removed first.
  explicit PendingFile(std::string target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  const std::string& Path() const { return path_; }
  const std::string& Target() const { return target_; }
  // Flushes the written file to the disk and renames it over the target.
  void Commit();

 private:
  std::string target_;
  std::string path_;
  bool committed_ = false;
};

// Removes the files of `folder` named `prefix` + "<process id>-..." whose
// process has ended: what a crashed run left of its own working files.
void RemoveLeftoversOfEndedProcesses(const std::filesystem::path& folder, const std::string& prefix);

// Copies `source` over `target` through a PendingFile: the target is the
// whole copy or stays as it was. Throws HostError naming the cause.
void CopyFileWhole(const std::string& source, const std::string& target);

}  // namespace vemo::context
