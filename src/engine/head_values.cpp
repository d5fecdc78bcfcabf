#include "engine/head_values.h"

#include <ctime>

#include "context/props_string.h"
#include "context/login.h"
#include "engine/field_binding.h"
#include "engine/host_questions.h"
#include "engine/ignore_errors.h"
#include "engine/keyword_grammar.h"
#include "engine/picture_keywords.h"
#include "foundation/utf8_text.h"

namespace vemo::engine {
namespace {

enum class Source { BillName, PageNumber, Empty, Year, Month, Day, Profile, UserName, Line, Picture, SerialNumbers,
                    SettleAccounts };

struct SystemVariable {
  const char* name;  // upper case
  bool headTwin;     // "<name>.HEAD" means the same
  Source source;
  const char* category = "";
  const char* key = "";
};

// In the order the names are compared; the first match decides.
constexpr SystemVariable kSystemVariables[] = {
    {"BILLNAME", true, Source::BillName},
    {"CURNO", true, Source::PageNumber},
    {"CURPAGENO", true, Source::Empty},
    {"PAGECOUNT", true, Source::Empty},
    {"CURYEAR", true, Source::Year},
    {"CURMONTH", true, Source::Month},
    {"CURDAY", true, Source::Day},
    {"COMPANYNAME", true, Source::Profile, "General", "CompanyName"},
    {"COMPANYADDRESS", true, Source::Profile, "General", "CompanyAddress"},
    {"COMPANYTAX", true, Source::Profile, "General", "CompanyTax"},
    {"COMPANYPHONE", true, Source::Profile, "General", "CompanyPhone"},
    {"COMPANYBANK", true, Source::Profile, "AR", "FBank"},
    {"COMPANYACCOUNT", true, Source::Profile, "AR", "FAccount"},
    {"COMPANYBANKA", true, Source::Profile, "General", "CompanyYHAccount"},
    {"COMPANYBANKACCOUNT", true, Source::Profile, "General", "CompanyYHAccount"},
    {"COMPANYNAMEEN", true, Source::Profile, "General", "CompanyNameEn"},
    {"COMPANYADDRESSEN", true, Source::Profile, "General", "CompanyAddressEn"},
    {"COMPANYCONTACT", true, Source::Profile, "General", "CompanyContact"},
    {"COMPANYFAX", true, Source::Profile, "General", "Fax"},
    {"COMPANYEMAIL", true, Source::Profile, "General", "Email"},
    {"COMPANYWEBSITE", true, Source::Profile, "General", "CompanyWebsite"},
    {"COMPANYHSCODE", true, Source::Profile, "General", "CompanyHSCode"},
    {"USERNAME", true, Source::UserName},
    {"CURPERIOD", true, Source::Profile, "GL", "CurrentPeriod"},
    {"CURLINE", false, Source::Line},
    {"FCUSTORSUPPLYPICTURE", false, Source::Picture},
    {"FICITEMPICTURE", false, Source::Picture},
    {"FICITEMBARCODEPICTURE", false, Source::Picture},
    {"FICITEMQRCODEPICTURE", false, Source::Picture},
    {"FSERIALNOLIST", false, Source::SerialNumbers},
    {"FMULTIACCOUNTNOLIST", false, Source::SettleAccounts},
};

const SystemVariable* MatchSystemVariable(const EngineState& state, const std::string& upperName) {
  for (const SystemVariable& variable : kSystemVariables) {
    const std::string_view base = variable.name;
    const std::string_view name = upperName;
    const bool matches = name == base || (variable.headTwin && name.size() == base.size() + 5 &&
                                          name.substr(0, base.size()) == base && name.substr(base.size()) == ".HEAD");
    if (!matches) continue;
    if (!state.variant.drawsCodes &&
        (base == "FICITEMBARCODEPICTURE" || base == "FICITEMQRCODEPICTURE"))
      return nullptr;
    return &variable;
  }
  return nullptr;
}

// The system variable a keyword name stands for, asked once per fill and name.
const SystemVariable* SystemVariableNamed(const EngineState& state, std::string_view name) {
  auto& known = state.answers.systemVariables;
  auto it = known.find(name);
  if (it == known.end()) {
    const SystemVariable* variable = MatchSystemVariable(state, ToUpperAscii(name));
    it = known.emplace(std::string(name), variable ? static_cast<int>(variable - kSystemVariables) : -1).first;
  }
  return it->second < 0 ? nullptr : &kSystemVariables[it->second];
}

std::string Today(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

std::string SystemValue(const EngineState& state, const SystemVariable& variable, std::string_view name,
                        int pageNumber, int row) {
  switch (variable.source) {
    case Source::BillName:
      if (!state.variant.namesBillType || !state.classType) return "";
      return state.classType->Value("FName").ToText();
    case Source::PageNumber: return std::to_string(pageNumber);
    case Source::Empty: return "";
    case Source::Year: return Today("%Y");
    case Source::Month: return Today("%m");
    case Source::Day: return Today("%d");
    case Source::Profile: return ReadSystemProfile(variable.category, variable.key);
    case Source::UserName: return context::GetPropValue(context::GetPropsString(), "UserName", ";");
    case Source::Line: return std::to_string(row);
    case Source::Picture: return ResolvePictureKeyword(state, name, row);
    case Source::SerialNumbers: return BuildSerialNumberList(state.classTypeId, state.billId, row);
    case Source::SettleAccounts: return BuildSettleAccountList(state.classTypeId, state.billId);
  }
  return "";
}

std::string SourceText(const SystemVariable& variable) {
  switch (variable.source) {
    case Source::BillName: return "the bill type's name";
    case Source::PageNumber: return "the page number";
    case Source::Empty: return "a page number not known while filling";
    case Source::Year: return "today's year";
    case Source::Month: return "today's month";
    case Source::Day: return "today's day";
    case Source::Profile: return std::string("profile ") + variable.category + "/" + variable.key;
    case Source::UserName: return "the login user name";
    case Source::Line: return "the line number";
    case Source::Picture: return "a picture file";
    case Source::SerialNumbers: return "the line's serial numbers (company database)";
    case Source::SettleAccounts: return "the settlement accounts (company database)";
  }
  return "";
}

}  // namespace

std::optional<SystemVariableMeaning> DescribeSystemVariable(const EngineState& state, std::string_view name) {
  const SystemVariable* variable = MatchSystemVariable(state, ToUpperAscii(name));
  if (!variable) return std::nullopt;
  return SystemVariableMeaning{SourceText(*variable), variable->source == Source::Picture};
}

std::string GetReportHeadValue(const EngineState& state, std::string_view name) {
  static constexpr std::string_view kHeadKeys[] = {"BDate", "EDate", "AccountItem", "CustNumberRange",
                                                    "DeptNumberRange", "EmpNumberRange", "CurrencyName"};
  for (std::string_view key : kHeadKeys)
    if (name == key)
      return ValueOr(std::string(), [&] { return state.reportHead ? state.reportHead->Value(key).ToText() : ""; });
  if (name == "CurTime") return Today("%Y-%m-%d");
  if (name == "CustName") return state.customerName;
  return "";
}

std::string GetReportRowValue(const EngineState& state, std::string_view name, int row) {
  if (!state.IsReport() || !state.reportEntries) return "";
  return ValueOr(std::string(), [&] {
    Recordset& rows = *state.reportEntries;
    rows.MoveFirst();
    if (row > 1) rows.Move(row - 1);
    const Variant& value = rows.Field(Trim(name));
    return value.IsNull() ? std::string() : value.ToText();
  });
}

std::string GetKeywordValue(const EngineState& state, std::string_view name, int pageNumber, int row) {
  if (state.IsItemLabel()) {
    const std::string key = ReplaceAll(ReplaceAll(name, kHeadOpener, ""), kCloser, "");
    if (!state.itemValues || !state.itemValues->Lookup(key)) return "";
    return ValueOr(std::string(), [&] { return state.itemValues->Value(key).ToText(); });
  }
  std::string value;
  if (state.IsReport()) value = GetReportHeadValue(state, name);
  if (value.empty()) {
    if (const SystemVariable* variable = SystemVariableNamed(state, name)) {
      value = ValueOr(std::string(), [&] { return SystemValue(state, *variable, name, pageNumber, row); });
    } else if (state.ValuesFromDataAlone()) {
      value = GetScreenValue(state, name);
    } else {
      value = ValueOr(std::string(), [&] { return GetFieldValue(state, name, row); });
    }
  }
  if (!value.empty() && value.front() == '.') value.insert(value.begin(), '0');
  return value;
}

}  // namespace vemo::engine
