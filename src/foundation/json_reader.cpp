// JSON text to host values, built from the events of our JSON reader.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <span>

#include "foundation/json_convert.h"
#include "foundation/json_scanner.h"
#include "foundation/line_columns.h"

namespace vemo {
namespace {

// The key tables of the objects read last. Bill requests repeat a handful of
// key sequences hundreds of thousands of times (every field {FFLD, FDSP,
// FFND}, every line its six fields), so each object looks here first and,
// on a hit, shares the table instead of making its own.
class RecentKeyTables {
 public:
  // A table holding exactly `keys` in order, or none.
  KeyTableRef Find(std::span<const std::string> keys) {
    for (std::size_t i = 0; i < used_; ++i) {
      if (tables_[i]->Size() != keys.size() || !tables_[i]->SameKeys(keys)) continue;
      std::rotate(tables_.begin(), tables_.begin() + static_cast<std::ptrdiff_t>(i),
                  tables_.begin() + static_cast<std::ptrdiff_t>(i) + 1);  // most recent first
      return tables_[0];
    }
    return {};
  }
  void Remember(KeyTableRef table) {
    if (used_ < tables_.size()) ++used_;
    std::rotate(tables_.begin(), tables_.begin() + static_cast<std::ptrdiff_t>(used_) - 1,
                tables_.begin() + static_cast<std::ptrdiff_t>(used_));  // the oldest goes
    tables_[0] = std::move(table);
  }

 private:
  std::array<KeyTableRef, 8> tables_;
  std::size_t used_ = 0;
};

class HostValueBuilder : public JsonEvents {
 public:
  void Null() override { Put(Variant::Null()); }
  void Boolean(bool value) override { Put(Variant(value)); }
  void Integer(std::int64_t value) override { Put(Variant(value)); }
  void Unsigned(std::uint64_t value) override { Put(Variant(static_cast<double>(value))); }  // above int64
  void Float(double value) override { Put(Variant(value)); }
  void String(std::string& value) override { Put(Variant(value)); }
  void StartObject() override { Open(false); }
  void Key(std::string& value) override { frames_[depth_ - 1].keys.push_back(std::move(value)); }
  void EndObject() override {
    Frame& frame = frames_[--depth_];
    DictionaryRef dict;
    if (KeyTableRef table = tables_.Find(frame.keys)) {
      dict = HostDictionary::Make(std::move(table), std::span<Variant>(frame.values));
    } else {
      // First of its keys (or a key repeated: the last value wins, at the
      // first one's place).
      dict = HostDictionary::Create();
      dict->Reserve(frame.values.size());
      for (std::size_t i = 0; i < frame.values.size(); ++i)
        dict->Set(std::move(frame.keys[i]), std::move(frame.values[i]));
      if (dict->KeyTableOf()) tables_.Remember(dict->KeyTableOf());
    }
    frame.keys.clear();
    frame.values.clear();
    Put(ResolveSpecialObject(std::move(dict)));
  }
  void StartArray() override { Open(true); }
  void EndArray() override {
    Frame& frame = frames_[--depth_];
    // A short table is cheaper read as it is than built line by line.
    if (frame.lines && frame.lines->Count() < kFewestColumnLines) Unroll(frame);
    std::shared_ptr<HostVector> vec;
    if (frame.lines) {
      frame.lines->Shrink();
      vec = std::make_shared<HostVector>(std::move(frame.lines));
    } else {
      vec = std::make_shared<HostVector>(TakeValues(frame));
    }
    frame.values.clear();
    Put(Variant(std::move(vec)));
  }

  Variant Result() { return std::move(root_); }

 private:
  // The members of an object or array being read. They are gathered here and
  // the collection is made at its end with exactly their number of slots:
  // growing each of 700,000 small collections slot by slot cost a third of
  // their memory in spare capacity and three allocations each. Frames are
  // kept by depth so their buffers are reused. An object's keys arrive
  // before each value, so keys.size() == values.size() + 1 between the two.
  // An array's elements go into `lines` while they are lines of one shape
  // (line_columns.h), into `values` from the first one that is not.
  struct Frame {
    bool array = false;
    std::vector<std::string> keys;  // objects only
    std::vector<Variant> values;
    std::unique_ptr<LineColumns> lines;  // arrays only
  };
  static constexpr std::size_t kFewestColumnLines = 64;

  void Open(bool array) {
    if (depth_ == frames_.size()) frames_.emplace_back();
    frames_[depth_].array = array;
    frames_[depth_].lines.reset();
    ++depth_;
  }

  static void Unroll(Frame& frame) {
    for (std::size_t i = 0; i < frame.lines->Count(); ++i) frame.values.push_back(frame.lines->Line(i));
    frame.lines.reset();
  }

  // The frame's values in a vector of exactly their size (one allocation).
  static std::vector<Variant> TakeValues(Frame& frame) {
    return std::vector<Variant>(std::make_move_iterator(frame.values.begin()),
                                std::make_move_iterator(frame.values.end()));
  }

  void Put(Variant value) {
    if (depth_ == 0) {
      root_ = std::move(value);
      return;
    }
    Frame& frame = frames_[depth_ - 1];
    if (frame.array) {
      if (frame.lines) {
        if (frame.lines->Append(value)) return;
        Unroll(frame);
      } else if (frame.values.empty() && (frame.lines = LineColumns::StartWith(value))) {
        return;
      }
    }
    frame.values.push_back(std::move(value));
  }

  std::vector<Frame> frames_;
  std::size_t depth_ = 0;
  RecentKeyTables tables_;
  Variant root_;
};

}  // namespace

Variant ParseJsonText(std::string_view text) {
  HostValueBuilder builder;
  ScanJson(text, builder);
  return builder.Result();
}

Variant ReadJsonFile(const std::string& path) {
  const auto unreadable = [&](const std::string& why) {
    return HostError(HostError::kGeneric, "cannot read \"" + path + "\": " + why);
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw unreadable("the file is missing or unreadable");
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    throw unreadable("it is not a regular file");
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  if (size == 0) {
    ::close(fd);
    return ParseJsonText({});
  }
  // The text is read where the system keeps the file, not copied into a
  // buffer of our own: a 100,000-line request is 36 MB that would be zeroed,
  // copied and faulted in page by page only to be parsed once.
  void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  ::close(fd);
  if (mapped == MAP_FAILED) throw unreadable("the file cannot be mapped into memory");
  struct Unmap {
    void* at;
    std::size_t size;
    ~Unmap() { ::munmap(at, size); }
  } unmap{mapped, size};
  std::string_view text(static_cast<const char*>(mapped), size);
  // Editors and hosts on Windows start UTF-8 files with a byte-order mark.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return ParseJsonText(text);
}

}  // namespace vemo
