#include "workbook/xls/xls_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <iostream>
#include <set>
#include <map>
#include <memory>

#include "workbook/workbook_error.h"
#include "workbook/xlsx/xlsx_reader.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_formula_internal.h"
#include "workbook/xls/xls_conditional_formats.h"
#include "workbook/xls/xls_hyperlinks.h"
#include "workbook/xls/xls_palette.h"
#include "workbook/xls/xls_sheet_settings.h"
#include "workbook/xls/xls_source.h"
#include "workbook/xls/xls_style_part.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {

namespace {

const char* const kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\r': out += "&#13;"; break;
      default:
        // Control characters other than tab and line feed cannot appear in XML.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') out += "_x00" + std::string(c < 0x10 ? "0" : "1") + "0123456789ABCDEF"[c & 0xF] + "_";
        else out += c;
    }
  }
}

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string ColumnLetters(std::uint32_t col0) {
  std::string s;
  for (std::uint32_t c = col0 + 1; c > 0; c = (c - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (c - 1) % 26));
  return s;
}
std::string CellRef(std::uint32_t row0, std::uint32_t col0) { return ColumnLetters(col0) + std::to_string(row0 + 1); }

double RkValue(std::uint32_t rk) {
  double v;
  if (rk & 2) {
    v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    std::uint64_t bits = std::uint64_t{rk & 0xFFFFFFFCu} << 32;
    std::memcpy(&v, &bits, 8);
  }
  return (rk & 1) ? v / 100 : v;
}

const char* ErrorText(std::uint8_t code) {
  switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    default: return "#N/A";
  }
}

// Records of a worksheet the model holds; they are made anew on save.
bool ModelRecord(std::uint16_t t) {
  switch (t) {
    case biff::kDimensions: case biff::kRow: case biff::kLabelSst: case biff::kRk: case biff::kMulRk:
    case biff::kNumber: case biff::kBlank: case biff::kMulBlank: case biff::kBoolErr: case biff::kFormula:
    case biff::kString: case biff::kShrFmla: case biff::kArray: case biff::kTable: case biff::kLabel:
    case biff::kRString: case biff::kIndex: case biff::kDbCell: case biff::kMergedCells: case biff::kColInfo:
      return true;
    default:
      return false;
  }
}

class Reading {
 public:
  Reading(Workbook& book, const std::string& label, XlsSource& source) : book_(book), label_(label), src_(source) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw WorkbookError("cannot open " + label_ + ": " + what);
  }

  void Globals(const std::vector<BiffRecord>& records);
  std::string SheetXml(const std::string& part, std::string_view stream, std::uint32_t offset, std::uint8_t type);
  std::string StylesXml() const;
  std::string SharedStringsXml() const;

  struct SheetEntry {
    std::string name;
    std::uint32_t offset;
    std::uint8_t state, type;
  };
  std::vector<SheetEntry> sheets;
  bool date1904 = false;

 private:
  void ReadSst(const BiffRecord& r);
  // The <f> element of a formula cell ("" when the cell only shows a value:
  // a member of an array, a data table, tokens that cannot be read); sets
  // the text kept with the record.
  std::string FormulaElement(XlsSheetSource& sheet, XlsSheetSource::KeptFormula& kept, std::uint32_t rw, std::uint32_t col);
  struct SharedGroup {
    int index;
    std::vector<std::uint8_t> rgce, extra;
  };
  std::map<std::pair<std::uint32_t, std::uint32_t>, SharedGroup> shared_;  // by master cell, 0-based
  int sharedCount_ = 0;
  int sheetIndex_ = 0;

 public:
  void SetSheetIndex(int index) { sheetIndex_ = index; }
  void Cell(std::map<std::uint32_t, std::string>& row, std::uint32_t r, std::uint32_t c, std::uint32_t xf, const char* type, std::string_view value,
            bool inlineString = false);

  Workbook& book_;
  const std::string& label_;
  XlsSource& src_;
  xls::Palette palette_;
  std::vector<std::string> dxfs_;  // differential formats of conditional formats, all sheets'
  std::map<std::string, std::string> sheetRels;  // relationships parts of sheets with linked targets, by sheet part
  std::string numFmts_;
  std::vector<std::string> sstTexts_;  // the string table's texts; written out with their runs at the end
  std::size_t numFmtCount_ = 0;
};

void Reading::ReadSst(const BiffRecord& r) {
  const std::uint32_t unique = Read32(r.data, 4);
  // Each item takes at least three bytes: a count beyond that is a lie.
  if (unique > r.data.size()) Fail("its string table declares more strings than it holds; the file is damaged");
  std::size_t at = 8;
  for (std::uint32_t i = 0; i < unique && at < r.data.size(); ++i) {
    const std::size_t count = Read16(r.data, at);
    const auto flags = static_cast<std::uint8_t>(r.data.at(at + 2));
    at += 3;
    std::uint16_t runs = 0;
    std::uint32_t phonetic = 0;
    if (flags & 8) runs = Read16(r.data, at), at += 2;
    if (flags & 4) phonetic = Read32(r.data, at), at += 4;
    std::string text = ReadChars(r, at, count, (flags & 1) != 0);
    if (at + runs * 4u + phonetic > r.data.size()) Fail("a string of its string table is cut short; the file is damaged");
    src_.stringRunCounts.push_back(runs);
    src_.stringRuns.push_back(r.data.substr(at, runs * 4u));
    at += runs * 4u;
    src_.stringPhonetic.push_back(r.data.substr(at, phonetic));
    at += phonetic;
    sstTexts_.push_back(std::move(text));
  }
}

// An item with formatting runs as rich text: each run from the character
// (UTF-16 unit) it starts at, in the properties of its FONT record; the
// characters before the first run keep the cell's font.
std::string RichItemXml(const std::string& text, const std::string& runs, const std::vector<std::string>& fonts,
                        const xls::Palette& palette) {
  const std::u16string units = xls::Utf16FromUtf8(text);
  const auto piece = [&](std::size_t from, std::size_t to) {
    return xls::Utf8FromBiff(reinterpret_cast<const std::uint8_t*>(units.data() + from), to - from, true);
  };
  std::string x;
  const auto append = [&](std::size_t from, std::size_t to, const std::string* font) {
    if (from >= to) return;
    x += "<r>";
    if (font) {
      std::string properties = xls::FontPropertiesXml(*font, palette);
      if (const auto name = properties.find("<name val="); name != std::string::npos)
        properties.replace(name, 5, "<rFont");
      x += "<rPr>" + properties + "</rPr>";
    }
    x += "<t xml:space=\"preserve\">";
    AppendEscaped(x, piece(from, to));
    x += "</t></r>";
  };
  std::size_t start = 0;
  const std::string* font = nullptr;
  for (std::size_t k = 0; k + 4 <= runs.size(); k += 4) {
    const std::size_t from = std::clamp<std::size_t>(Read16(runs, k), start, units.size());
    append(start, from, font);
    const std::uint16_t index = Read16(runs, k + 2);  // index 4 is never used: later fonts are one on
    const std::size_t record = index >= 4 ? index - 1u : index;
    font = index != 4 && record < fonts.size() ? &fonts[record] : nullptr;
    start = from;
  }
  append(start, units.size(), font);
  return x;
}

std::string Reading::SharedStringsXml() const {
  std::string x = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"") + kMain + "\">";
  for (std::size_t i = 0; i < sstTexts_.size(); ++i) {
    x += "<si>";
    if (src_.stringRunCounts[i] > 0) {
      x += RichItemXml(sstTexts_[i], src_.stringRuns[i], src_.fontRecords, palette_);
    } else {
      x += "<t xml:space=\"preserve\">";
      AppendEscaped(x, sstTexts_[i]);
      x += "</t>";
    }
    x += "</si>";
  }
  return x + "</sst>";
}

namespace {
std::vector<std::uint8_t> Bytes(const std::string& d, std::size_t from, std::size_t to) {
  if (from > d.size() || to > d.size() || from > to) throw WorkbookError("a formula record is cut short");
  return {d.begin() + static_cast<std::ptrdiff_t>(from), d.begin() + static_cast<std::ptrdiff_t>(to)};
}
std::string RangeRef(const std::string& d) {
  return CellRef(Read16(d, 0), static_cast<std::uint8_t>(d.at(4))) + ":" + CellRef(Read16(d, 2), static_cast<std::uint8_t>(d.at(5)));
}
}  // namespace

std::string Reading::FormulaElement(XlsSheetSource& sheet, XlsSheetSource::KeptFormula& kept, std::uint32_t rw,
                                    std::uint32_t col) {
  const std::string& d = kept.formula.data;
  const CellAddress base{static_cast<int>(rw) + 1, static_cast<int>(col) + 1};
  std::string element;
  try {
    const std::size_t cce = Read16(d, 20);
    const auto rgce = Bytes(d, 22, 22 + cce), extra = Bytes(d, 22 + cce, d.size());
    src_.context.sheet = sheetIndex_;
    const auto link = xls::FindFormulaLink(rgce);
    if (!link) {
      kept.text = xls::DecodeFormula(rgce, extra, xls::FormulaUse::Cell, base, src_.context);
      element = "<f>";
      AppendEscaped(element, *kept.text);
      return element + "</f>";
    }
    if (link->kind != xls::FormulaLink::Kind::SharedOrArray) return {};
    const std::pair<std::uint32_t, std::uint32_t> master{static_cast<std::uint32_t>(link->master.row - 1),
                                                          static_cast<std::uint32_t>(link->master.col - 1)};
    if (master == std::make_pair(rw, col)) {
      for (const BiffRecord& f : kept.followers) {
        if (f.type == biff::kShrFmla) {
          const std::size_t n = Read16(f.data, 8);
          SharedGroup group{sharedCount_++, Bytes(f.data, 10, 10 + n), Bytes(f.data, 10 + n, f.data.size())};
          kept.text = xls::DecodeFormula(group.rgce, group.extra, xls::FormulaUse::Shared, base, src_.context);
          element = "<f t=\"shared\" ref=\"" + RangeRef(f.data) + "\" si=\"" + std::to_string(group.index) + "\">";
          AppendEscaped(element, *kept.text);
          shared_[master] = std::move(group);
          return element + "</f>";
        }
        if (f.type == biff::kArray) {
          const std::size_t n = Read16(f.data, 12);
          kept.text = xls::DecodeFormula(Bytes(f.data, 14, 14 + n), Bytes(f.data, 14 + n, f.data.size()),
                                         xls::FormulaUse::Array, base, src_.context);
          element = "<f t=\"array\" ref=\"" + RangeRef(f.data) + "\">";
          AppendEscaped(element, *kept.text);
          return element + "</f>";
        }
      }
      return {};
    }
    auto it = shared_.find(master);
    if (it == shared_.end()) return {};  // a cell of an array formula shows its value only
    kept.text = xls::DecodeFormula(it->second.rgce, it->second.extra, xls::FormulaUse::Shared, base, src_.context);
    return "<f t=\"shared\" si=\"" + std::to_string(it->second.index) + "\"/>";
  } catch (const WorkbookError&) {
    // Tokens this reader cannot turn into text: the cell keeps its value and
    // the record is written back as it came while the value stays.
    kept.text.reset();
    return {};
  }
}

void Reading::Globals(const std::vector<BiffRecord>& records) {
  bool stylePlaced = false, sheetsPlaced = false, stringsPlaced = false;
  auto placeholder = [&](bool& placed) {
    if (!placed) src_.globals.push_back({XlsSource::kPlaceholder, {}, {}});
    placed = true;
  };
  for (const BiffRecord& r : records) {
    switch (r.type) {
      case biff::kFilePass:
        Fail("the workbook is password protected; remove the password in the program that made it and save it again");
      case biff::kDateMode:
        date1904 = r.data.size() >= 2 && Read16(r.data, 0) == 1;
        src_.globals.push_back(r);
        break;
      case biff::kFont:
        placeholder(stylePlaced);
        src_.fontRecords.push_back(r.data);
        break;
      case biff::kFormat: {
        placeholder(stylePlaced);
        std::size_t at = 2;
        std::string code = ReadUnicodeString(r, at, false);
        numFmts_ += "<numFmt numFmtId=\"" + std::to_string(Read16(r.data, 0)) + "\" formatCode=\"";
        AppendEscaped(numFmts_, code);
        numFmts_ += "\"/>";
        ++numFmtCount_;
        break;
      }
      case biff::kXf:
        placeholder(stylePlaced);
        src_.xfRecords.push_back(r.data);
        break;
      case biff::kBoundSheet: {
        placeholder(sheetsPlaced);
        std::size_t at = 6;
        SheetEntry e{"", Read32(r.data, 0), static_cast<std::uint8_t>(r.data.at(4) & 3), static_cast<std::uint8_t>(r.data.at(5))};
        e.name = ReadUnicodeString(r, at, true);
        sheets.push_back(std::move(e));
        break;
      }
      case biff::kSupBook:
      case biff::kExternName:
      case biff::kExternSheet:
      case biff::kName:
        ReadLinkRecord(r, src_.context, src_.names);
        src_.globals.push_back(r);
        break;
      case biff::kSst:
        ReadSst(r);
        if (!stringsPlaced) src_.globals.push_back({XlsSource::kPlaceholder, XlsSource::kStringsMark, {}});
        stringsPlaced = true;
        break;
      case biff::kPalette:
        palette_ = xls::Palette::FromRecord(r.data);
        src_.globals.push_back(r);
        break;
      case biff::kExtSst: break;  // made anew from the string table written
      default: src_.globals.push_back(r);
    }
  }
  if (!sheetsPlaced) Fail("it lists no sheets; the file is damaged");
}

void Reading::Cell(std::map<std::uint32_t, std::string>& cells, std::uint32_t r, std::uint32_t c, std::uint32_t xf,
                   const char* type, std::string_view value, bool inlineString) {
  // A later record for the same cell replaces an earlier one.
  std::string& row = cells[c];
  row = "<c r=\"" + CellRef(r, c) + "\"";
  if (xf) row += " s=\"" + std::to_string(xf) + "\"";
  if (type) row += std::string(" t=\"") + type + "\"";
  if (inlineString) {
    row += "><is><t xml:space=\"preserve\">";
    AppendEscaped(row, value);
    row += "</t></is></c>";
  } else if (value.empty() && !type) {
    row += "/>";
  } else {
    row += "><v>";
    AppendEscaped(row, value);
    row += "</v></c>";
  }
}

std::string Reading::SheetXml(const std::string& part, std::string_view stream, std::uint32_t offset, std::uint8_t type) {
  XlsSheetSource& sheet = src_.sheets[part];
  sheet.sheetType = type;
  shared_.clear();
  if (offset >= stream.size()) Fail("sheet data lies beyond the end of the workbook stream; the file is damaged");
  std::vector<BiffRecord> records = ReadRecords(stream, offset, true);
  if (records.empty() || records[0].type != biff::kBof) Fail("a sheet does not start where the sheet list says; the file is damaged");
  const std::uint16_t dt = records[0].data.size() >= 4 ? Read16(records[0].data, 2) : 0;
  sheet.worksheet = type == 0 && dt == 0x0010;
  if (!sheet.worksheet) {
    sheet.records = std::move(records);
    // A chart sheet stays its records; the part only stands in for it.
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<chartsheet xmlns=\"") + kMain +
           "\"><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews></chartsheet>";
  }

  // Rows and cells by row number, in the order of the sheet.
  std::map<std::uint32_t, std::string> rowAttrs;
  std::map<std::uint32_t, std::map<std::uint32_t, std::string>> rowCells;
  std::string cols, merges, format;
  std::size_t mergeCount = 0;
  bool placed = false;
  xls::SheetSettingsReader settings;
  xls::ConditionalFormatReader conditional(palette_, dxfs_);
  xls::HyperlinkReader links;
  auto mark = [&](const char* what) {
    for (const BiffRecord& k : sheet.records)
      if (k.type == XlsSource::kPlaceholder && k.data == what) return;
    sheet.records.push_back({XlsSource::kPlaceholder, what, {}});
  };
  int depth = 0;  // records of a chart embedded in the sheet are the chart's own
  for (std::size_t i = 0; i < records.size(); ++i) {
    const BiffRecord& r = records[i];
    if (r.type == biff::kBof) ++depth;
    const bool nested = depth > 1;
    if (r.type == biff::kEof) --depth;
    if (!nested && settings.Take(r)) {
      mark(xls::IsPageRecord(r.type) ? XlsSource::kPageMark : r.type == xls::kPaneRecord ? XlsSource::kPaneMark : XlsSource::kValidationMark);
      continue;
    }
    if (!nested && (r.type == xls::kCondFmt || r.type == xls::kCfEx)) {
      src_.context.sheet = sheetIndex_;
      if (const std::size_t n = conditional.Take(records, i, src_.context)) {
        mark(XlsSource::kConditionalFormatMark);
        i += n - 1;
        continue;
      }
    }
    if (!nested && links.Take(r)) {
      mark(XlsSource::kHyperlinkMark);
      continue;
    }
    if (nested || !ModelRecord(r.type)) {
      if (!nested && r.type == biff::kDefaultRowHeight && r.data.size() >= 4)
        format += " defaultRowHeight=\"" + Number(Read16(r.data, 2) / 20.0) + "\"";
      if (!nested && r.type == biff::kDefColWidth && r.data.size() >= 2) format += " baseColWidth=\"" + std::to_string(Read16(r.data, 0)) + "\"";
      sheet.records.push_back(r);
      continue;
    }
    // The cell table goes where the cells stood: the index record after BOF
    // and the column and merge records are written in places of their own.
    if (!placed && r.type != biff::kColInfo && r.type != biff::kMergedCells && r.type != biff::kIndex) {
      sheet.records.push_back({XlsSource::kPlaceholder, {}, {}});
      placed = true;
    }
    const std::string& d = r.data;
    auto rowOf = [&]() -> std::map<std::uint32_t, std::string>& { return rowCells[Read16(d, 0)]; };
    switch (r.type) {
      case biff::kRow: {
        const std::uint32_t n = Read16(d, 0);
        const std::uint16_t height = Read16(d, 6), flags = Read16(d, 12), xf = Read16(d, 14) & 0x0FFF;
        std::string a;
        if (!(height & 0x8000)) a += " ht=\"" + Number((height & 0x7FFF) / 20.0) + "\"";
        else if (rowAttrs.empty()) sheet.defaultRowHeightField = height;
        if (flags & 0x40) a += " customHeight=\"1\"";
        if (flags & 0x20) a += " hidden=\"1\"";
        if (flags & 7) a += " outlineLevel=\"" + std::to_string(flags & 7) + "\"";
        if (flags & 0x10) a += " collapsed=\"1\"";
        if (flags & 0x80) a += " s=\"" + std::to_string(xf) + "\" customFormat=\"1\"";
        rowAttrs[n] = a;
        break;
      }
      case biff::kLabelSst:
        Cell(rowOf(), Read16(d, 0), Read16(d, 2), Read16(d, 4), "s", std::to_string(Read32(d, 6)));
        break;
      case biff::kRk:
        Cell(rowOf(), Read16(d, 0), Read16(d, 2), Read16(d, 4), nullptr, Number(RkValue(Read32(d, 6))));
        break;
      case biff::kNumber:
        Cell(rowOf(), Read16(d, 0), Read16(d, 2), Read16(d, 4), nullptr, Number(ReadDouble(d, 6)));
        break;
      case biff::kBlank:
        Cell(rowOf(), Read16(d, 0), Read16(d, 2), Read16(d, 4), nullptr, {});
        break;
      case biff::kMulRk:
      case biff::kMulBlank: {
        const std::size_t step = r.type == biff::kMulRk ? 6 : 2;
        if (d.size() < 6) Fail("a cell record is cut short; the file is damaged");
        const std::uint32_t first = Read16(d, 2), last = Read16(d, d.size() - 2);
        for (std::uint32_t c = first, at = 4; c <= last && at + step <= d.size() - 2; ++c, at += static_cast<std::uint32_t>(step))
          Cell(rowOf(), Read16(d, 0), c, Read16(d, at), nullptr, step == 6 ? Number(RkValue(Read32(d, at + 2))) : std::string());
        break;
      }
      case biff::kBoolErr: {
        const auto v = static_cast<std::uint8_t>(d.at(6));
        const bool error = d.at(7) != 0;
        Cell(rowOf(), Read16(d, 0), Read16(d, 2), Read16(d, 4), error ? "e" : "b", error ? ErrorText(v) : (v ? "1" : "0"));
        break;
      }
      case biff::kLabel:
      case biff::kRString: {
        std::size_t at = 6;
        Cell(rowOf(), Read16(d, 0), Read16(d, 2), Read16(d, 4), "inlineStr", ReadUnicodeString(r, at, false), true);
        break;
      }
      case biff::kFormula: {
        const std::uint32_t rw = Read16(d, 0), col = Read16(d, 2), xf = Read16(d, 4);
        XlsSheetSource::KeptFormula kept{r, {}, std::nullopt};
        std::string value;
        const char* t = nullptr;
        std::size_t j = i + 1;
        for (; j < records.size() && (records[j].type == biff::kShrFmla || records[j].type == biff::kArray ||
                                      records[j].type == biff::kTable || records[j].type == biff::kString); ++j)
          if (records[j].type != biff::kString) kept.followers.push_back(records[j]);
        if (Read16(d, 12) != 0xFFFF) {
          value = Number(ReadDouble(d, 6));
        } else if (d.at(6) == 0) {
          t = "str";
          for (std::size_t k = i + 1; k < j; ++k)
            if (records[k].type == biff::kString) {
              std::size_t at = 0;
              value = ReadUnicodeString(records[k], at, false);
            }
        } else if (d.at(6) == 1) {
          t = "b";
          value = d.at(8) ? "1" : "0";
        } else if (d.at(6) == 2) {
          t = "e";
          value = ErrorText(static_cast<std::uint8_t>(d.at(8)));
        } else {
          t = "str";
        }
        const std::string f = FormulaElement(sheet, kept, rw, col);
        Cell(rowOf(), rw, col, xf, t, value);
        if (!f.empty()) {
          std::string& cell = rowOf()[col];
          cell.insert(cell.find('>') + 1, f);  // <f> comes before <v>
        }
        sheet.formulas[{rw, col}] = std::move(kept);
        i = j - 1;
        break;
      }
      case biff::kMergedCells: {
        const std::size_t n = Read16(d, 0);
        for (std::size_t k = 0; k < n && 2 + k * 8 + 8 <= d.size(); ++k) {
          const std::size_t at = 2 + k * 8;
          merges += "<mergeCell ref=\"" + CellRef(Read16(d, at), Read16(d, at + 4)) + ":" +
                    CellRef(Read16(d, at + 2), Read16(d, at + 6)) + "\"/>";
          ++mergeCount;
        }
        break;
      }
      case biff::kColInfo: {
        // Workbooks often end a run at 256, one past the last column: kept,
        // so the run comes back as it was written.
        const std::uint32_t first = Read16(d, 0), last = std::min<std::uint32_t>(Read16(d, 2), 256);
        const std::uint16_t width = Read16(d, 4), xf = Read16(d, 6), flags = Read16(d, 8);
        if (first > last) break;
        cols += "<col min=\"" + std::to_string(first + 1) + "\" max=\"" + std::to_string(last + 1) + "\" width=\"" +
                Number(width / 256.0) + "\"";
        if (xf) cols += " style=\"" + std::to_string(xf) + "\"";
        if (flags & 1) cols += " hidden=\"1\"";
        if (flags & 2) cols += " customWidth=\"1\"";
        if ((flags >> 8) & 7) cols += " outlineLevel=\"" + std::to_string((flags >> 8) & 7) + "\"";
        if (flags & 0x1000) cols += " collapsed=\"1\"";
        cols += "/>";
        break;
      }
      default: break;  // index records, dimensions: made anew on save
    }
  }
  if (!placed) sheet.records.insert(sheet.records.end() - 1, {XlsSource::kPlaceholder, {}, {}});
  // Every worksheet gets a place for the settings the model may hold.
  auto markAt = [&](const char* what, auto before) {
    for (const BiffRecord& k : sheet.records)
      if (k.type == XlsSource::kPlaceholder && k.data == what) return;
    auto at = std::find_if(sheet.records.begin(), sheet.records.end(), before);
    sheet.records.insert(at == sheet.records.end() ? sheet.records.end() - 1 : at, {XlsSource::kPlaceholder, what, {}});
  };
  markAt(XlsSource::kPageMark, [](const BiffRecord& k) { return k.type == biff::kDefColWidth || k.type == XlsSource::kPlaceholder; });
  markAt(XlsSource::kValidationMark, [&](const BiffRecord& k) { return &k == &sheet.records.back(); });
  // Conditional formats, then hyperlinks, come before the validations.
  auto placeOf = [](const char* mark) { return [mark](const BiffRecord& k) { return k.type == XlsSource::kPlaceholder && k.data == mark; }; };
  markAt(XlsSource::kHyperlinkMark, placeOf(XlsSource::kValidationMark));
  markAt(XlsSource::kConditionalFormatMark, placeOf(XlsSource::kHyperlinkMark));
  if (std::string rels = links.Relationships(); !rels.empty()) sheetRels[part] = std::move(rels);
  std::set<std::string> lost;
  src_.context.sheet = sheetIndex_;
  xls::SheetSettingsXml settingsXml = settings.Xml(src_.context, lost);
  sheet.validationTokens = std::move(settingsXml.tokens);
  sheet.marginRecords = settingsXml.margins;
  for (const std::string& what : lost) std::cerr << "warning: " << label_ << ": " << what << " are left out\n";

  std::string xml = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"") + kMain +
                    "\" xmlns:r=\"" + kRel + "\">";
  xml += settingsXml.sheetPr + settingsXml.sheetViews;
  if (!format.empty()) xml += "<sheetFormatPr" + format + "/>";
  if (!cols.empty()) xml += "<cols>" + cols + "</cols>";
  xml += "<sheetData>";
  for (auto& [n, cells] : rowCells) rowAttrs.try_emplace(n);
  for (auto& [n, attrs] : rowAttrs) {
    xml += "<row r=\"" + std::to_string(n + 1) + "\"" + attrs + ">";
    if (auto it = rowCells.find(n); it != rowCells.end())
      for (auto& [col, cell] : it->second) xml += cell;
    xml += "</row>";
  }
  xml += "</sheetData>";
  if (mergeCount) xml += "<mergeCells count=\"" + std::to_string(mergeCount) + "\">" + merges + "</mergeCells>";
  xml += conditional.Xml() + settingsXml.validations + links.Xml() + settingsXml.page + "</worksheet>";
  return xml;
}

std::string Reading::StylesXml() const {
  return xls::WithDxfs(xls::StylePartXml(src_, numFmtCount_ ? "<numFmts count=\"" + std::to_string(numFmtCount_) + "\">" + numFmts_ + "</numFmts>" : ""), dxfs_);
}

// The names whose formulas can be read, as the workbook part lists them.
std::string DefinedNamesXml(XlsSource& source) {
  std::string xml;
  // A name given twice (built in, and again spelled out) is one name; both
  // records are written back with its text.
  const std::set<std::pair<std::string, int>> builtin = BuiltinNames(source.names);
  for (const NameRecord& n : source.names) {
    if (n.spelled && builtin.count({n.name, n.sheetScope})) continue;
    try {
      source.context.sheet = n.sheetScope - 1;
      const std::string text = xls::DecodeFormula(n.rgce, n.extra, xls::FormulaUse::Name, CellAddress{1, 1}, source.context);
      xml += "<definedName name=\"";
      AppendEscaped(xml, n.name);
      xml += "\"";
      if (n.sheetScope > 0) xml += " localSheetId=\"" + std::to_string(n.sheetScope - 1) + "\"";
      if (n.hidden) xml += " hidden=\"1\"";
      xml += ">";
      AppendEscaped(xml, text);
      xml += "</definedName>";
    } catch (const WorkbookError&) {
      // A name this reader cannot express stays in its record only.
    }
  }
  return xml.empty() ? xml : "<definedNames>" + xml + "</definedNames>";
}

}  // namespace

void XlsReader::Read(std::string_view bytes, const std::string& label) {
  auto source = std::make_shared<XlsSource>();
  source->container = CompoundFile::Read(bytes, label);
  const CompoundFile::Entry* stream = source->container.FindStream("Workbook");
  if (!stream) {
    // A password-protected .xlsx travels as an encrypted package in this container.
    if (source->container.FindStream("EncryptedPackage"))
      throw WorkbookError("cannot open " + label +
                          ": the workbook is password protected; remove the password in the program that made it and save it again");
    if (source->container.FindStream("Book"))
      throw WorkbookError("cannot open " + label +
                          ": it is an Excel 5.0/95 (BIFF5) workbook; only Excel 97-2003 (BIFF8) and newer are read, "
                          "save it in a newer format first");
    throw WorkbookError("cannot open " + label + ": it is a compound file without a workbook stream, not an .xls workbook");
  }
  const std::string_view s = stream->data;
  std::vector<BiffRecord> globals = ReadRecords(s, 0, true);
  if (globals.empty() || globals[0].type != biff::kBof || globals[0].data.size() < 4)
    throw WorkbookError("cannot open " + label + ": its workbook stream does not start with a BOF record; the file is damaged");
  const std::uint16_t version = Read16(globals[0].data, 0);
  if (version != 0x0600)
    throw WorkbookError("cannot open " + label + ": it is a BIFF" + std::string(version == 0x0500 ? "5 (Excel 5.0/95)" : " version older than 8") +
                        " workbook; only Excel 97-2003 (BIFF8) is read, save it in a newer format first");

  Reading reading(book_, label, *source);
  reading.Globals(globals);
  ZipPackage& pkg = *book_.package_;
  std::string types = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                      "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                      "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                      "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
  std::string rels = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                     "<Relationship Id=\"rIdS\" Type=\"" + std::string(kRel) + "/styles\" Target=\"styles.xml\"/>"
                     "<Relationship Id=\"rIdT\" Type=\"" + std::string(kRel) + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
  std::string wb = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<workbook xmlns=\"") + kMain +
                   "\" xmlns:r=\"" + kRel + "\"><workbookPr" + (reading.date1904 ? " date1904=\"1\"" : "") + "/><sheets>";
  std::vector<std::pair<std::string, std::string>> sheetParts;
  for (const auto& e : reading.sheets) source->context.sheetNames.push_back(e.name);
  for (std::size_t i = 0; i < reading.sheets.size(); ++i) {
    reading.SetSheetIndex(static_cast<int>(i));
    const auto& e = reading.sheets[i];
    const std::string n = std::to_string(i + 1);
    const bool worksheet = e.type == 0;
    const std::string part = worksheet ? "xl/worksheets/sheet" + n + ".xml" : "xl/chartsheets/sheet" + n + ".xml";
    // Each sheet is read up to where the next begins, so no byte is read twice.
    const std::size_t end = i + 1 < reading.sheets.size() ? reading.sheets[i + 1].offset : s.size();
    if (end <= e.offset || end > s.size())
      throw WorkbookError("cannot open " + label + ": its sheet list gives sheet positions out of order; the file is damaged");
    sheetParts.emplace_back(part, reading.SheetXml(part, s.substr(0, end), e.offset, e.type));
    const bool isWorksheet = source->sheets[part].worksheet;
    types += "<Override PartName=\"/" + part + "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml." +
             (isWorksheet ? "worksheet" : "chartsheet") + "+xml\"/>";
    rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + kRel + (isWorksheet ? "/worksheet" : "/chartsheet") + "\" Target=\"" +
            part.substr(3) + "\"/>";
    wb += "<sheet name=\"";
    AppendEscaped(wb, e.name);
    wb += "\" sheetId=\"" + n + "\"" + (e.state == 1 ? " state=\"hidden\"" : e.state == 2 ? " state=\"veryHidden\"" : "") +
          " r:id=\"rId" + n + "\"/>";
  }
  wb += "</sheets>" + DefinedNamesXml(*source) + "</workbook>";
  types += "</Types>";
  rels += "</Relationships>";
  pkg.Put("[Content_Types].xml", types);
  pkg.Put("_rels/.rels", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                         "<Relationship Id=\"rId1\" Type=\"" + std::string(kRel) + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
  pkg.Put("xl/workbook.xml", wb);
  pkg.Put("xl/_rels/workbook.xml.rels", rels);
  pkg.Put("xl/styles.xml", reading.StylesXml());
  std::string sst = reading.SharedStringsXml();
  if (sst.empty()) sst = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"") + kMain + "\"/>";
  pkg.Put("xl/sharedStrings.xml", sst);
  for (auto& [part, xml] : sheetParts) {
    if (!source->sheets[part].worksheet)
      pkg.Put(Workbook::RelsPartName(part), "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>");
    if (auto rels = reading.sheetRels.find(part); rels != reading.sheetRels.end()) pkg.Put(Workbook::RelsPartName(part), rels->second);
    pkg.Put(part, std::move(xml));
  }
  // The text of the container's Workbook stream is held in the model now.
  source->container.PutStream("Workbook", {});
  book_.xlsSource_ = std::move(source);
  XlsxReader(book_).Read();
}

}  // namespace vemo::wb
