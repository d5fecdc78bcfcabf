// JSON text to host values through nlohmann's event (SAX) interface.
#include <fstream>

#include "foundation/json_convert.h"

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
    stack_.push_back(Frame{HostDictionary::Create(), nullptr, {}});
    return true;
  }
  bool key(string_t& value) override {
    stack_.back().key = std::move(value);
    return true;
  }
  bool end_object() override {
    DictionaryRef dict = std::move(stack_.back().dict);
    stack_.pop_back();
    return Put(ResolveSpecialObject(std::move(dict)));
  }
  bool start_array(std::size_t) override {
    stack_.push_back(Frame{nullptr, HostVector::Create(), {}});
    return true;
  }
  bool end_array() override {
    VectorRef vec = std::move(stack_.back().vec);
    stack_.pop_back();
    return Put(Variant(std::move(vec)));
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override {
    throw HostError(HostError::kTypeMismatch,
                    "JSON syntax error at byte " + std::to_string(position) + ": " + std::string(e.what()));
  }

  Variant Result() { return std::move(root_); }

 private:
  struct Frame {
    DictionaryRef dict;
    VectorRef vec;
    std::string key;
  };

  bool Put(Variant value) {
    if (stack_.empty()) {
      root_ = std::move(value);
    } else if (stack_.back().dict) {
      stack_.back().dict->Set(std::move(stack_.back().key), std::move(value));
    } else {
      stack_.back().vec->Add(std::move(value));
    }
    return true;
  }

  std::vector<Frame> stack_;
  Variant root_;
};

}  // namespace

Variant ParseJsonText(std::string_view text) {
  HostValueBuilder builder;
  Json::sax_parse(text.begin(), text.end(), &builder);
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
