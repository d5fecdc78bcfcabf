#include "engine/template_check.h"

#include <algorithm>

#include "context/spreadsheet_detection.h"
#include "engine/cell_search.h"
#include "engine/engine_state.h"
#include "engine/field_binding.h"
#include "engine/ignore_errors.h"
#include "engine/head_values.h"
#include "engine/host_questions.h"
#include "engine/sheet_fill.h"
#include "foundation/utf8_text.h"

namespace vemo::engine {
namespace {

// The check reads the very state a fill would use, built by the engine's own
// setters, rather than a second copy of them. State() is protected; a class
// derived from TemplateEngine may name it.
class EngineStateReader : public TemplateEngine {
 public:
  static const EngineState& Of(const TemplateEngine& engine) {
    using Getter = const EngineState& (TemplateEngine::*)() const;
    return (engine.*static_cast<Getter>(&EngineStateReader::State))();
  }
};

std::string PlainAddress(const host::IRange& cell) {
  std::string address = cell.Address();
  address.erase(std::remove(address.begin(), address.end(), '$'), address.end());
  return address;
}

// Lines of an entry keyword: the fill's own count for plain cells; formula
// cells count the page's table (or, in the report engine, the report rows).
int LineCount(const EngineState& state, const KeywordFinding& finding) {
  if (!finding.inFormula) return EntryRowCount(state, finding.page);
  return FormulaEntryRowCount(state, finding.page);
}

// The values of the name: row 1 for head and sum keywords, lines 1..n for
// entry keywords. Shown as the value, or "values on k of n lines: a | b | c".
template <class ValueOfRow>
void CollectValues(KeywordFinding& finding, int lines, ValueOfRow valueOfRow, bool& anyValue) {
  if (lines == 0) {
    finding.value = valueOfRow(1);
    anyValue = !finding.value.empty();
    return;
  }
  int filled = 0;
  std::string sample;
  for (int row = 1; row <= lines; ++row) {
    const std::string value = valueOfRow(row);
    if (value.empty()) continue;
    if (++filled <= 3) sample += (sample.empty() ? "" : " | ") + value;
  }
  anyValue = filled > 0;
  finding.value = "values on " + std::to_string(filled) + " of " + std::to_string(lines) + " lines";
  if (!sample.empty()) finding.value += ": " + sample + (filled > 3 ? " | ..." : "");
}

std::string FieldKey(const HostDictionary& info) {
  const char* key = info.Lookup("FKey") ? "FKey" : "Fkey";
  return info.Lookup(key) ? info.Value(key).ToText() : std::string();
}

// Why a field of the dictionary gives no value.
std::string WhyFieldIsEmpty(const EngineState& state, const FieldInfo& field, int lines) {
  const HostDictionary& info = *field.info;
  const std::int32_t classTypeId = info.Lookup("FClassTypeID") ? info.Value("FClassTypeID").ToInt32() : 0;
  if (!PriceFieldVisible(state.variant.rights, classTypeId, FieldKey(info)))
    return "the user has no price right for " + FieldKey(info) + " (class type " + std::to_string(classTypeId) + ")";
  const std::string page = "Page" + std::to_string(info.Lookup("FPage") ? info.Value("FPage").ToInt32() : 0);
  bool anyValueObject = false;
  for (int row = 1; row <= std::max(lines, 1) && !anyValueObject; ++row)
    anyValueObject = ValueOr(false, [&] { return GetValueObject(state, field, row) != nullptr; });
  if (!anyValueObject) return "Data." + page + " holds no value " + field.internalKey;
  return "the value of " + field.internalKey + " is empty in the request";
}

// Fills source, resolvesTo, value and problem for a name read through the
// keyword values (head, plain head and sum keywords, and entry keywords
// outside reports). `lines` is 0 for a head value.
void ResolveKeywordName(const EngineState& state, KeywordFinding& finding, const std::string& lookupName, int lines) {
  bool anyValue = false;
  auto keywordValue = [&](int row) { return GetKeywordValue(state, lookupName, 1, row); };

  if (state.IsItemLabel()) {
    finding.source = ValueSource::Field;
    finding.resolvesTo = "item value " + lookupName;
    CollectValues(finding, lines, keywordValue, anyValue);
    if (!anyValue) finding.problem = "the request's ItemInfoDict has no value " + lookupName;
    return;
  }
  if (state.IsReport()) {
    if (std::string head = GetReportHeadValue(state, lookupName); !head.empty()) {
      finding.source = ValueSource::ReportHead;
      finding.resolvesTo = "report head value " + lookupName;
      finding.value = head;
      return;
    }
  }
  if (auto meaning = DescribeSystemVariable(state, lookupName)) {
    finding.source = ValueSource::SystemVariable;
    finding.resolvesTo = "system variable: " + meaning->source;
    if (meaning->drawsPicture) {
      finding.value = "(a picture, drawn when the template is filled)";
      return;
    }
    CollectValues(finding, lines, keywordValue, anyValue);
    if (!anyValue) finding.problem = meaning->source + " gives nothing here";
    return;
  }
  if (state.ValuesFromDataAlone()) {
    finding.source = ValueSource::WaybillValue;
    finding.resolvesTo = "Data.Page1 value " + lookupName;
    CollectValues(finding, lines, keywordValue, anyValue);
    if (anyValue) return;
    finding.source = ValueSource::None;
    if (ReplaceAll(lookupName, "．", ".").find('.') != std::string::npos)
      finding.problem = "a waybill from the logistics screen reads no dotted name from Data.Page1";
    else
      finding.problem = "the first row of Data.Page1 has no value " + lookupName;
    return;
  }
  const std::string dotted = ReplaceAll(lookupName, "．", ".");
  const std::string base = dotted.substr(0, dotted.find('.'));  // the field; suffixes (.SUM...) follow
  const FieldInfo* field = ValueOr<const FieldInfo*>(nullptr, [&] { return FindField(state, base); });
  CollectValues(finding, lines, keywordValue, anyValue);
  if (!field) {
    finding.source = ValueSource::None;
    if (!state.fieldDictionary) {
      finding.problem = "the request has no field dictionary (TableInfo) to look " + base + " up in";
    } else {
      finding.problem = std::string("neither a system variable") + (state.IsReport() ? ", a report head value" : "") +
                        " nor a name of the field dictionary's Map";
    }
    if (state.IsReport() && state.reportHead && state.reportHead->Lookup(lookupName))
      finding.problem = "the report head value " + lookupName + " is empty, or not one the report engine reads";
    if (anyValue) {  // answered through the field's display twin (standard industry)
      finding.source = ValueSource::Field;
      finding.resolvesTo = "a display twin of " + base;
      finding.problem.clear();
    }
    return;
  }
  finding.source = ValueSource::Field;
  const std::int32_t page = field->info->Lookup("FPage") ? field->info->Value("FPage").ToInt32() : 0;
  finding.resolvesTo = "field " + field->internalKey + " on Page" + std::to_string(page);
  if (!anyValue) finding.problem = WhyFieldIsEmpty(state, *field, lines);
}

// Entry keywords of plain cells in a report read the report rows.
void ResolveReportColumn(const EngineState& state, KeywordFinding& finding, int lines) {
  const std::string column = Trim(finding.name);
  bool anyValue = false;
  CollectValues(finding, lines, [&](int row) { return GetReportRowValue(state, finding.name, row); }, anyValue);
  if (state.reportEntries && state.reportEntries->HasField(column)) {
    finding.source = ValueSource::ReportColumn;
    finding.resolvesTo = "report column " + column;
    if (!anyValue) finding.problem = "the report column " + column + " is empty on every row";
    return;
  }
  finding.source = ValueSource::None;
  finding.problem = "not a column of the report rows (RptEntryData fields)";
}

void ResolveEntryKeyword(const EngineState& state, KeywordFinding& finding) {
  const int lines = LineCount(state, finding);
  if (lines == 0) {
    finding.source = ValueSource::None;
    finding.problem = state.IsReport() || (finding.inFormula && state.variant.entryCountFromReportRows)
                          ? "the report has no rows, so the entry row prints empty"
                          : "the request has no lines for page key \"" + finding.page + "\" (Data." + finding.page +
                                " is missing or empty), so the entry row prints empty";
    return;
  }
  if (IsEntryIdName(finding.name)) {
    finding.source = ValueSource::LineNumber;
    finding.resolvesTo = "the line number";
    finding.value = "1 to " + std::to_string(lines);
    return;
  }
  if (state.IsReport() && !finding.inFormula) {
    ResolveReportColumn(state, finding, lines);
    return;
  }
  ResolveKeywordName(state, finding, finding.name, lines);
}

void Resolve(const EngineState& state, bool requestGiven, KeywordFinding& finding) {
  if (finding.kind == KeywordKind::None) {
    finding.problem = finding.inFormula
                          ? "no kind (keyword kinds mixed, or a \"$\" of its own): removed from the formula"
                          : "no kind (keyword kinds mixed, or a \"$\" of its own): the cell stays as written";
    return;
  }
  if (finding.name == finding.keyword) {
    finding.problem = "no name: write [$Page1_Name], [$$Page2_Name], [$$$Name] or [$$$$Page2_Name]";
    return;
  }
  if (!requestGiven) {
    if (auto meaning = DescribeSystemVariable(state, finding.name)) {
      finding.source = ValueSource::SystemVariable;
      finding.resolvesTo = "system variable: " + meaning->source;
    } else {
      finding.source = ValueSource::NotChecked;
    }
    return;
  }
  switch (finding.kind) {
    case KeywordKind::PlainHead:
    case KeywordKind::Head: ResolveKeywordName(state, finding, finding.name, 0); break;
    case KeywordKind::Sum: ResolveKeywordName(state, finding, finding.name + ".SUM", 0); break;
    case KeywordKind::Entry: ResolveEntryKeyword(state, finding); break;
    case KeywordKind::None: break;
  }
}

KeywordFinding Describe(const std::string& cell, bool inFormula, const std::string& keyword) {
  KeywordFinding finding;
  finding.cell = cell;
  finding.inFormula = inFormula;
  finding.keyword = keyword;
  finding.kind = ClassifyKeyword(keyword);
  if (finding.kind != KeywordKind::None) {
    finding.page = KeywordPrefix(keyword);
    finding.name = KeywordName(keyword);
  }
  return finding;
}

void CheckCell(const EngineState& state, bool requestGiven, host::IRange& cell, std::vector<KeywordFinding>& out) {
  const std::string address = PlainAddress(cell);
  const std::string text = ValueOr(std::string(), [&] { return cell.Text(); });
  if (!IsFormulaCellText(state.variant, text)) {
    out.push_back(Describe(address, false, text));
    Resolve(state, requestGiven, out.back());
    return;
  }
  const std::string formula = ValueOr(std::string(), [&] { return cell.Formula(); });
  bool anyKeyword = false;
  ForEachFormulaKeyword(formula, [&](const std::string& keyword, std::size_t, std::size_t) {
    anyKeyword = true;
    out.push_back(Describe(address, true, keyword));
    Resolve(state, requestGiven, out.back());
    return true;
  });
  if (!anyKeyword) {
    out.push_back(Describe(address, true, formula));
    out.back().problem = "a formula cell without a complete keyword (\"[$\" with no \"]\" after it): left as written";
  }
}

IdentificationFinding CheckIdentification(host::IWorkbook& book, const EngineState& state, const CheckOptions& options) {
  IdentificationFinding finding;
  auto sheets = book.Worksheets();
  if (sheets->Count() >= 3) {
    finding.present = true;
    finding.found = ValueOr(std::string(), [&] { return sheets->Item(3)->Range("B3")->Text(); });
  }
  if (!options.requestGiven) return finding;
  switch (state.variant.identification) {
    case IdentificationRule::TemplateId: finding.expected = "FTemplateID=" + std::to_string(options.reportId); break;
    case IdentificationRule::ClassTypeId: finding.expected = "FClassTypeID=" + std::to_string(state.classTypeId); break;
    case IdentificationRule::ByDataSourceType:
      if (state.dataSourceType == 0) finding.expected = "FClassTypeID=" + std::to_string(state.classTypeId);
      if (state.dataSourceType == 1) finding.expected = "FTemplateID=" + std::to_string(options.reportId);
      break;
  }
  finding.matches = finding.present && !finding.expected.empty() && finding.found == finding.expected;
  return finding;
}

}  // namespace

int TemplateCheck::ProblemCount() const {
  int count = 0;
  for (const KeywordFinding& finding : keywords) count += finding.problem.empty() ? 0 : 1;
  if (requestGiven && !identification.expected.empty() && !identification.matches) ++count;
  return count;
}

TemplateCheck CheckTemplate(host::IWorkbook& book, const TemplateEngine& engine, const CheckOptions& options) {
  const EngineState& state = EngineStateReader::Of(engine);
  TemplateCheck check;
  check.requestGiven = options.requestGiven;
  auto sheet = book.Worksheets()->Item(1);
  auto range = sheet->UsedRange();
  VisitedCells visited;
  // The keyword scan's own walk, so the cells and their order are the fill's.
  const WalkRules rules{kHeadOpener, true, context::IsMsExcel()};
  WalkFoundCells(*range, rules, visited, [&](const std::shared_ptr<host::IRange>& cell) {
    CheckCell(state, options.requestGiven, *cell, check.keywords);
    return WalkStep::Next;
  });
  check.identification = CheckIdentification(book, state, options);
  return check;
}

const char* KindName(KeywordKind kind) {
  switch (kind) {
    case KeywordKind::PlainHead: return "plain head";
    case KeywordKind::Head: return "head";
    case KeywordKind::Entry: return "entry";
    case KeywordKind::Sum: return "sum";
    case KeywordKind::None: return "no kind";
  }
  return "";
}

}  // namespace vemo::engine
