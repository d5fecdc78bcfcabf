#include "workbook/xls/xls_links.h"

#include "workbook/xls/biff_formula_internal.h"

namespace vemo::wb {

namespace {
// The built-in names, by the one-character code NAME records store.
const char* const kBuiltinNames[] = {"Consolidate_Area", "Auto_Open",  "Auto_Close",    "Extract",       "Database",
                                     "Criteria",         "Print_Area", "Print_Titles",  "Recorder",      "Data_Form",
                                     "Auto_Activate",    "Auto_Deactivate", "Sheet_Title", "_FilterDatabase"};
constexpr std::uint16_t kInternalMarker = 0x0401, kAddInMarker = 0x3A01;
}  // namespace

void ReadLinkRecord(const BiffRecord& r, xls::FormulaContext& context, std::vector<NameRecord>& names) {
  const std::string& d = r.data;
  switch (r.type) {
    case biff::kSupBook: {
      xls::Supbook book;
      const std::uint16_t sheets = Read16(d, 0), marker = Read16(d, 2);
      if (marker == kInternalMarker) {
        book.kind = xls::SupbookKind::Internal;
      } else if (marker == kAddInMarker) {
        book.kind = xls::SupbookKind::AddIn;
      } else {
        book.kind = xls::SupbookKind::External;
        std::size_t at = 2;
        book.fileName = ReadUnicodeString(r, at, false);
        for (std::uint16_t i = 0; i < sheets && at < d.size(); ++i) book.sheetNames.push_back(ReadUnicodeString(r, at, false));
      }
      context.supbooks.push_back(std::move(book));
      break;
    }
    case biff::kExternName: {
      if (context.supbooks.empty() || d.size() < 7) break;
      std::size_t at = 6;
      context.supbooks.back().externNames.push_back(ReadUnicodeString(r, at, true));
      break;
    }
    case biff::kExternSheet: {
      const std::uint16_t count = Read16(d, 0);
      for (std::size_t i = 0; i < count && 2 + i * 6 + 6 <= d.size(); ++i)
        context.xti.push_back({Read16(d, 2 + i * 6), Read16(d, 4 + i * 6), Read16(d, 6 + i * 6)});
      break;
    }
    case biff::kName: {
      if (d.size() < 15) break;
      NameRecord name;
      const std::uint16_t flags = Read16(d, 0);
      const std::size_t chars = static_cast<std::uint8_t>(d[3]);
      const std::size_t cce = Read16(d, 4);
      name.sheetScope = Read16(d, 8);
      name.hidden = (flags & 1) != 0;
      std::size_t at = 15;
      const bool wide = (static_cast<std::uint8_t>(d[14]) & 1) != 0;
      name.name = ReadChars(r, at, chars, wide);
      if ((flags & 0x20) && !name.name.empty()) {
        const auto code = static_cast<unsigned char>(name.name[0]);
        name.name = code < std::size(kBuiltinNames) ? std::string("_xlnm.") + kBuiltinNames[code] : "_xlnm._" + std::to_string(code);
      } else {
        name.spelled = name.name.rfind("_xlnm.", 0) == 0;
      }
      if (at + cce <= d.size()) {
        name.rgce.assign(d.begin() + static_cast<std::ptrdiff_t>(at), d.begin() + static_cast<std::ptrdiff_t>(at + cce));
        name.extra.assign(d.begin() + static_cast<std::ptrdiff_t>(at + cce), d.end());
      }
      context.names.push_back({name.name, name.sheetScope});
      names.push_back(std::move(name));
      break;
    }
    default: break;
  }
}

std::set<std::pair<std::string, int>> BuiltinNames(const std::vector<NameRecord>& names) {
  std::set<std::pair<std::string, int>> out;
  for (const NameRecord& n : names)
    if (!n.spelled && n.name.rfind("_xlnm.", 0) == 0) out.insert({n.name, n.sheetScope});
  return out;
}

std::string WriteLinkRecords(const xls::FormulaContext& context) {
  std::string out;
  for (const xls::Supbook& book : context.supbooks) {
    std::string d;
    if (book.kind == xls::SupbookKind::External) {
      Append16(d, static_cast<std::uint16_t>(book.sheetNames.size()));
      AppendUnicodeString(d, book.fileName, false);
      for (const std::string& sheet : book.sheetNames) AppendUnicodeString(d, sheet, false);
    } else {
      Append16(d, static_cast<std::uint16_t>(book.kind == xls::SupbookKind::Internal ? context.sheetNames.size() : 1));
      Append16(d, book.kind == xls::SupbookKind::Internal ? kInternalMarker : kAddInMarker);
    }
    WriteRecord(out, biff::kSupBook, d);
    for (const std::string& name : book.externNames) {
      std::string e;
      Append16(e, 0);
      Append32(e, 0);
      AppendUnicodeString(e, name, true);
      // An add-in function name has no formula of its own: #REF! stands in.
      Append16(e, 2);
      e += '\x1C';
      e += '\x17';
      WriteRecord(out, biff::kExternName, e);
    }
  }
  if (!context.xti.empty()) {
    std::string d;
    Append16(d, static_cast<std::uint16_t>(context.xti.size()));
    for (const xls::Xti& x : context.xti) {
      Append16(d, x.supbook);
      Append16(d, x.firstSheet);
      Append16(d, x.lastSheet);
    }
    WriteRecord(out, biff::kExternSheet, d);
  }
  return out;
}

std::string NameRecordData(const NameRecord& name) {
  std::string d;
  std::string stored = name.name;
  bool builtin = false;
  if (!name.spelled && stored.rfind("_xlnm.", 0) == 0)
    for (std::size_t i = 0; i < std::size(kBuiltinNames); ++i)
      if (stored.substr(6) == kBuiltinNames[i]) {
        stored = std::string(1, static_cast<char>(i));
        builtin = true;
        break;
      }
  const std::u16string chars = xls::Utf16FromUtf8(stored);
  Append16(d, static_cast<std::uint16_t>((name.hidden ? 1 : 0) | (builtin ? 0x20 : 0)));
  d += '\0';
  d += static_cast<char>(chars.size());
  Append16(d, static_cast<std::uint16_t>(name.rgce.size()));
  Append16(d, 0);
  Append16(d, static_cast<std::uint16_t>(name.sheetScope));
  Append32(d, 0);
  std::string text;
  AppendUnicodeString(text, stored, true);
  d += text.substr(1);  // the length was given above
  d.append(name.rgce.begin(), name.rgce.end());
  d.append(name.extra.begin(), name.extra.end());
  return d;
}

}  // namespace vemo::wb
