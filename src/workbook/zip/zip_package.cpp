#include "workbook/zip/zip_package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <system_error>

#include "workbook/workbook_error.h"
#include "workbook/zip/zip_writer.h"

namespace vemo::wb {
namespace {

// Writes an archive to `path` the way a careful file writer does: into a new
// file beside it, renamed over `path` once complete, with the permissions of
// the file it replaces (else 0666 less the umask). `produce` hands the
// archive's bytes to the output it is given.
void WriteArchiveFile(const std::filesystem::path& path,
                      const std::function<void(const ZipWriter::Output&)>& produce) {
  const auto fail = [&](const std::string& what, int error) {
    throw WorkbookError("cannot write " + path.string() + ": " + what + ": " +
                        std::generic_category().message(error));
  };
  struct stat existing {};
  const bool replaces = ::stat(path.c_str(), &existing) == 0;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = path.string() + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt >= 100))
      fail("cannot create the temporary file " + temporary +
               " beside it (check that the folder exists and is writable)",
           errno);
  }
  int writeError = replaces && ::fchmod(fd, existing.st_mode & 07777) != 0 ? errno : 0;
  const ZipWriter::Output output = [&](std::string_view bytes) {
    while (writeError == 0 && !bytes.empty()) {
      ssize_t n = ::write(fd, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) writeError = errno;
      else bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (writeError != 0) throw WorkbookError("");  // reported below with the file's name
  };
  try {
    if (writeError == 0) produce(output);
  } catch (const WorkbookError& e) {
    ::close(fd);
    ::unlink(temporary.c_str());
    if (writeError != 0) fail("writing " + temporary + " failed", writeError);
    throw WorkbookError("cannot write " + path.string() + ": " + e.what());
  } catch (...) {
    ::close(fd);
    ::unlink(temporary.c_str());
    throw;
  }
  if (writeError == 0 && ::close(fd) != 0) writeError = errno;
  else if (writeError != 0) ::close(fd);
  if (writeError != 0) {
    ::unlink(temporary.c_str());
    fail("writing " + temporary + " failed", writeError);
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int renameError = errno;
    ::unlink(temporary.c_str());
    fail("cannot put the written file " + temporary + " in its place", renameError);
  }
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

void ZipPackage::WriteFile(const std::filesystem::path& path, unsigned threads) const {
  WriteArchiveFile(path, [&](const ZipWriter::Output& output) {
    ZipWriter writer(output);
    for (const Entry& entry : entries_) {
      if (entry.deflated_) {
        writer.AddDeflated(entry.name, *entry.deflated_);
      } else if (!entry.name.empty() && entry.name.back() == '/' && entry.data_.empty()) {
        writer.AddDirectory(entry.name);
      } else if (entry.stored) {
        writer.AddStored(entry.name, entry.data_);
      } else {
        // zlib's default level for every part, large sheets included: the fast
        // level wrote a 100,000-line bill 37 % larger than other writers do.
        writer.AddDeflated(entry.name, DeflateBytes(entry.data_, threads));
      }
    }
    writer.Finish();
  });
}

const std::string& ZipPackage::Entry::data() const {
  if (deflated_ && data_.size() != deflated_->size) data_ = InflateBytes(*deflated_, name);
  return data_;
}

const ZipPackage::Entry* ZipPackage::Find(std::string_view name) const {
  for (const Entry& entry : entries_)
    if (entry.name == name) return &entry;
  // Part names are case-insensitive in a package.
  for (const Entry& entry : entries_)
    if (EqualsIgnoreCase(entry.name, name)) return &entry;
  return nullptr;
}

void ZipPackage::Put(std::string_view name, std::string data) {
  for (Entry& entry : entries_)
    if (entry.name == name) {
      entry.data_ = std::move(data);
      entry.deflated_.reset();
      return;
    }
  Entry entry;
  entry.name = name;
  entry.data_ = std::move(data);
  entries_.push_back(std::move(entry));
}

void ZipPackage::PutDeflated(std::string_view name, DeflatedBytes deflated) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == name; });
  if (it == entries_.end()) {
    entries_.emplace_back();
    it = std::prev(entries_.end());
    it->name = name;
  }
  it->data_ = std::string();
  it->stored = false;
  it->deflated_ = std::move(deflated);
}

void ZipPackage::Remove(std::string_view name) {
  std::erase_if(entries_, [&](const Entry& e) { return e.name == name; });
}

}  // namespace vemo::wb
