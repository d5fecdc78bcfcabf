// VemoMClass.ClassInfo over the company database: every query read-only.
#include <cctype>

#include "host/components/class_info.h"
#include "host/components/database_components.h"
#include "host/database/account_location.h"
#include "host/database/read_only_query.h"

namespace vemo::host {

namespace {

// A table or column name taken from a key set must be a plain identifier;
// it is then double-quoted, so it can only ever name something.
std::string Identifier(const HostDictionary& keys, std::string_view key) {
  std::string name = keys.Value(key).ToText();
  bool plain = !name.empty() && (std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_');
  for (char c : name) plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
  if (!plain)
    throw HostError("the picture key " + std::string(key) + " \"" + name +
                    "\" is not a plain table or column name (letters, digits, _)");
  return "\"" + name + "\"";
}

class DatabaseClassInfo : public IClassInfo {
 public:
  std::string TypeName() const override { return "DatabaseClassInfo"; }

  RecordsetRef GetData(std::string_view props, std::string_view sql) override {
    return RunReadOnlyQuery(AccountDatabase(props), sql);
  }

  Bytes GetPictureData(const HostDictionary& keys, std::string_view props) override {
    std::string sql = "SELECT " + Identifier(keys, "FieldName") + " FROM " + Identifier(keys, "TableName") + " WHERE " +
                      Identifier(keys, "PrimaryKeyField") + " = ?";
    std::vector<Variant> values{keys.Value("PrimaryKeyValue")};
    if (!keys.Value("IndexKeyField").ToText().empty()) {
      sql += " AND " + Identifier(keys, "IndexKeyField") + " = ?";
      values.push_back(keys.Value("IndexKeyValue"));
    }
    sql += " LIMIT 1";
    auto records = RunReadOnlyStatement(AccountDatabase(props), sql, values);
    if (records->Eof()) return {};
    const Variant& value = records->Field(0);
    if (value.Type() == VariantType::Bytes) return value.ToBytes();
    if (value.IsNull() || value.IsEmpty()) return {};
    std::string text = value.ToText();
    return Bytes(text.begin(), text.end());
  }
};

}  // namespace

ObjectRef MakeDatabaseClassInfo() { return std::make_shared<DatabaseClassInfo>(); }

}  // namespace vemo::host
