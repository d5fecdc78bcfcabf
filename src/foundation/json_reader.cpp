// JSON text to host values through nlohmann's event (SAX) interface.
#include <fstream>

#include "foundation/json_convert.h"
#include "foundation/json_scanner.h"

namespace vemo {
namespace {

class HostValueBuilder : public nlohmann::json_sax<Json> {
 public:
  bool null() override { return Put(Variant::Null()); }
  bool boolean(bool value) override { return Put(Variant(value)); }
  bool number_integer(number_integer_t value) override { return Put(Variant(static_cast<std::int64_t>(value))); }
  bool number_unsigned(number_unsigned_t value) override {
    return Put(value <= static_cast<number_unsigned_t>(INT64_MAX) ? Variant(static_cast<std::int64_t>(value))
                                                                  : Variant(static_cast<double>(value)));
  }
  bool number_float(number_float_t value, const string_t&) override { return Put(Variant(value)); }
  bool string(string_t& value) override { return Put(Variant(std::move(value))); }
  bool binary(binary_t& value) override { return Put(Variant(Bytes(value.begin(), value.end()))); }

  bool start_object(std::size_t) override {
    Open(true);
    return true;
  }
  bool key(string_t& value) override {
    frames_[depth_ - 1].key = std::move(value);
    return true;
  }
  bool end_object() override {
    Frame& frame = frames_[--depth_];
    auto dict = HostDictionary::Create();
    dict->Reserve(frame.entries.size());
    for (auto& [key, value] : frame.entries) dict->Set(std::move(key), std::move(value));
    frame.entries.clear();
    return Put(ResolveSpecialObject(std::move(dict)));
  }
  bool start_array(std::size_t) override {
    Open(false);
    return true;
  }
  bool end_array() override {
    Frame& frame = frames_[--depth_];
    auto vec = HostVector::Create();
    vec->Reserve(frame.items.size());
    for (Variant& item : frame.items) vec->Add(std::move(item));
    frame.items.clear();
    return Put(Variant(std::move(vec)));
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override {
    throw HostError(HostError::kTypeMismatch,
                    "JSON syntax error at byte " + std::to_string(position) + ": " + std::string(e.what()));
  }

  Variant Result() { return std::move(root_); }

 private:
  // The members of an object or array being read. They are gathered here and
  // the collection is made at its end with exactly their number of slots:
  // growing each of 700,000 small collections slot by slot cost a third of
  // their memory in spare capacity and three allocations each. Frames are
  // kept by depth so their buffers are reused.
  struct Frame {
    bool object = false;
    std::vector<std::pair<std::string, Variant>> entries;
    std::vector<Variant> items;
    std::string key;
  };

  void Open(bool object) {
    if (depth_ == frames_.size()) frames_.emplace_back();
    frames_[depth_++].object = object;
  }

  bool Put(Variant value) {
    if (depth_ == 0) {
      root_ = std::move(value);
    } else if (Frame& frame = frames_[depth_ - 1]; frame.object) {
      frame.entries.emplace_back(std::move(frame.key), std::move(value));
    } else {
      frame.items.push_back(std::move(value));
    }
    return true;
  }

  std::vector<Frame> frames_;
  std::size_t depth_ = 0;
  Variant root_;
};

// The fast reader's events handed to the builder.
class BuilderEvents : public JsonEvents {
 public:
  explicit BuilderEvents(HostValueBuilder& builder) : builder_(builder) {}
  void Null() override { builder_.null(); }
  void Boolean(bool value) override { builder_.boolean(value); }
  void Integer(std::int64_t value) override { builder_.number_integer(value); }
  void Unsigned(std::uint64_t value) override { builder_.number_unsigned(value); }
  void Float(double value) override { builder_.number_float(value, noText_); }
  void String(std::string& value) override { builder_.string(value); }
  void StartObject() override { builder_.start_object(kUnknownSize); }
  void Key(std::string& key) override { builder_.key(key); }
  void EndObject() override { builder_.end_object(); }
  void StartArray() override { builder_.start_array(kUnknownSize); }
  void EndArray() override { builder_.end_array(); }

 private:
  static constexpr std::size_t kUnknownSize = static_cast<std::size_t>(-1);
  HostValueBuilder& builder_;
  std::string noText_;
};

}  // namespace

Variant ParseJsonText(std::string_view text) {
  HostValueBuilder builder;
  BuilderEvents events(builder);
  ScanJson(text, events);
  return builder.Result();
}

Variant ReadJsonFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw HostError(HostError::kGeneric, "cannot read \"" + path + "\": the file is missing or unreadable");
  std::string text(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size())))
    throw HostError(HostError::kGeneric, "cannot read \"" + path + "\": reading stopped early");
  return ParseJsonText(text);
}

}  // namespace vemo
