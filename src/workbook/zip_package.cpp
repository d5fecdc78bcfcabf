#include "workbook/zip_package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

#include "workbook/workbook_error.h"

namespace vemo::wb {
namespace {

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

struct SourceFreer {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};

// libzip's own wording of a failed write step, so the messages stay those of
// a file archive: "Failure to create temporary file: ...", "Write error: ...".
std::string ZipSystemErrorText(int code, int systemError) {
  zip_error_t error;
  zip_error_init(&error);
  zip_error_set(&error, code, systemError);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

// Writes the archive held in `source` to `path` as a file archive of libzip
// does: into a new file beside it, renamed over `path` once complete, with the
// permissions of the file it replaces (else 0666 less the umask).
void WriteArchiveFile(zip_source_t* source, const std::filesystem::path& path) {
  const auto fail = [&](int code, int systemError) {
    throw WorkbookError("cannot write " + path.string() + ": " + ZipSystemErrorText(code, systemError));
  };
  struct stat existing {};
  const bool replaces = ::stat(path.c_str(), &existing) == 0;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = path.string() + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt >= 100)) fail(ZIP_ER_TMPOPEN, errno);
  }
  bool written = !replaces || ::fchmod(fd, existing.st_mode & 07777) == 0;
  int writeError = written ? 0 : errno;
  if (written && zip_source_open(source) == 0) {
    char chunk[64 * 1024];
    zip_int64_t got;
    while (written && (got = zip_source_read(source, chunk, sizeof chunk)) > 0) {
      for (zip_int64_t done = 0; written && done < got;) {
        ssize_t n = ::write(fd, chunk + done, static_cast<std::size_t>(got - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) writeError = errno;
        written = n >= 0;
        done += n;
      }
    }
    written = written && got == 0;
    zip_source_close(source);
  } else if (written) {
    written = false;
    writeError = EIO;
  }
  if (::close(fd) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    fail(ZIP_ER_WRITE, writeError);
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int renameError = errno;
    ::unlink(temporary.c_str());
    fail(ZIP_ER_RENAME, renameError);
  }
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

void ZipPackage::WriteFile(const std::filesystem::path& path) const {
  // The archive is built in memory and written out here: a file archive of
  // libzip names its temporary file with OpenSSL's random generator, whose
  // set-up (reading openssl.cnf, seeding) cost every save about 8 million
  // instructions, more than writing a small workbook.
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* opened = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
  if (!opened) {
    std::string text = zip_error_strerror(&error);
    if (buffer) zip_source_free(buffer);
    zip_error_fini(&error);
    throw WorkbookError("cannot write " + path.string() + ": " + text);
  }
  zip_error_fini(&error);
  // The archive's bytes stay in `buffer` after zip_close.
  zip_source_keep(buffer);
  std::unique_ptr<zip_source_t, SourceFreer> bytes(buffer);
  std::unique_ptr<zip_t, ArchiveCloser> archive(opened);
  // 1980-01-01 00:00, the earliest time a zip header can hold: output bytes do
  // not depend on the clock.
  const zip_uint16_t kDosTime = 0, kDosDate = (0 << 9) | (1 << 5) | 1;
  for (const Entry& entry : entries_) {
    zip_int64_t index;
    if (!entry.name.empty() && entry.name.back() == '/' && entry.data.empty()) {
      index = zip_dir_add(archive.get(), entry.name.c_str(), ZIP_FL_ENC_UTF_8);
    } else {
      zip_source_t* source = zip_source_buffer(archive.get(), entry.data.data(), entry.data.size(), 0);
      if (!source) throw WorkbookError("cannot write " + path.string() + ": " + zip_strerror(archive.get()));
      index = zip_file_add(archive.get(), entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
      if (index < 0) zip_source_free(source);
    }
    if (index < 0)
      throw WorkbookError("cannot write entry " + entry.name + " to " + path.string() + ": " + zip_strerror(archive.get()));
    // zlib's default level for every part, large sheets included: the fast
    // level wrote a 100,000-line bill 37 % larger than other writers do.
    zip_set_file_compression(archive.get(), index, entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, entry.stored ? 0 : 6);
    zip_file_set_dostime(archive.get(), index, kDosTime, kDosDate, 0);
  }
  zip_t* raw = archive.release();
  if (zip_close(raw) != 0) {
    std::string text = zip_strerror(raw);
    zip_discard(raw);
    throw WorkbookError("cannot write " + path.string() + ": " + text);
  }
  WriteArchiveFile(bytes.get(), path);
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
      entry.data = std::move(data);
      return;
    }
  entries_.push_back(Entry{std::string(name), std::move(data), false});
}

void ZipPackage::Remove(std::string_view name) {
  std::erase_if(entries_, [&](const Entry& e) { return e.name == name; });
}

}  // namespace vemo::wb
