// Checking a template against a request before anything is filled: every
// keyword of the first sheet with its cell, kind, page key and name, where
// its value would come from and whether it comes out empty (and why), and
// the identification text in B3 of the third sheet. The workbook is only
// read; the keyword grammar and every value lookup are the fill's own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/excel_operater.h"
#include "engine/keyword_grammar.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace vemo::engine {

enum class ValueSource {
  None,            // nothing answers the name
  SystemVariable,  // a system variable (profile value, date, user...)
  LineNumber,      // an entry keyword naming EntryID: the line number
  Field,           // a field of the field dictionary ("Map") with values on its page
  ReportHead,      // a report head value
  ReportColumn,    // a column of the report rows
  WaybillValue,    // a value of the first row of Data.Page1 (waybill from the screen)
  NotChecked,      // no request given: only the grammar was checked
};

struct KeywordFinding {
  std::string cell;          // "B4"
  bool inFormula = false;    // one keyword of a formula cell
  std::string keyword;       // the keyword text ("[$Page1_FBillNo]"), or the cell text for no kind
  KeywordKind kind = KeywordKind::None;
  std::string page;          // page key of entry and sum keywords, prefix of head keywords
  std::string name;
  ValueSource source = ValueSource::None;
  std::string resolvesTo;    // what answers the name ("field _0001_FBillNo on Page1")
  std::string value;         // the value (head), or "values on 3 of 5 lines" (entry)
  std::string problem;       // why it comes out empty or stays as written; "" when fine
};

struct IdentificationFinding {
  bool present = false;   // the workbook has a third sheet
  std::string found;      // text of B3 of the third sheet
  std::string expected;   // "" when the request does not say what to expect
  bool matches = false;
};

struct TemplateCheck {
  std::vector<KeywordFinding> keywords;
  IdentificationFinding identification;
  bool requestGiven = false;
  int ProblemCount() const;
};

struct CheckOptions {
  bool requestGiven = false;
  std::int32_t reportId = 0;  // RptID: the template id reports are identified by
};

// `engine` holds the request exactly as a fill would (its setters called);
// with requestGiven false only the grammar and system variables are checked.
TemplateCheck CheckTemplate(host::IWorkbook& book, const TemplateEngine& engine, const CheckOptions& options);

const char* KindName(KeywordKind kind);

}  // namespace vemo::engine
