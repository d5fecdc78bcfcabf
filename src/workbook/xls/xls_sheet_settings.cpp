#include "workbook/xls/xls_sheet_settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "workbook/cell_address.h"
#include "workbook/xls/biff_formula_internal.h"
#include "workbook/workbook_error.h"
#include "workbook/xlsx/xml_part.h"
#include "workbook/xlsx/xml_text.h"

namespace vemo::wb::xls {

namespace {

enum : std::uint16_t {
  kHeader = 0x0014, kFooter = 0x0015, kVerticalBreaks = 0x001A, kHorizontalBreaks = 0x001B, kLeftMargin = 0x0026,
  kRightMargin = 0x0027, kTopMargin = 0x0028, kBottomMargin = 0x0029, kPrintHeaders = 0x002A,
  kPrintGridlines = 0x002B, kHCenter = 0x0083, kVCenter = 0x0084, kSetup = 0x00A1, kWindow2 = 0x023E,
  kUserViewBegin = 0x01AA, kUserViewEnd = 0x01AB,
};

// Setup flags.
constexpr std::uint16_t kLeftToRight = 0x01, kPortrait = 0x02, kNoPrinter = 0x04, kNoColor = 0x08, kDraft = 0x10,
                        kNotes = 0x20, kNoOrientation = 0x40, kUsePage = 0x80, kNotesAtEnd = 0x200;
constexpr std::uint16_t kFrozen = 0x0008, kFrozenNoSplit = 0x0100, kFitToPage = 0x0100;

const std::array<const char*, 8> kDvTypes{"none", "whole", "decimal", "list", "date", "time", "textLength", "custom"};
const std::array<const char*, 3> kDvErrors{"stop", "warning", "information"};
// Operators in the order the DV record numbers them.
const std::array<const char*, 8> kDvOperators{"between", "notBetween", "equal", "notEqual",
                                              "greaterThan", "lessThan", "greaterThanOrEqual", "lessThanOrEqual"};
const std::array<const char*, 4> kPanes{"bottomRight", "topRight", "bottomLeft", "topLeft"};

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

std::string Attr(const char* name, std::string_view value) {
  std::string out = std::string(" ") + name + "=\"";
  AppendEscaped(out, value, true);
  return out + "\"";
}

template <std::size_t N>
int IndexOf(const std::array<const char*, N>& names, std::string_view name, int fallback) {
  for (std::size_t i = 0; i < N; ++i)
    if (name == names[i]) return static_cast<int>(i);
  return fallback;
}

std::string Breaks(const BiffRecord& r, bool rows) {
  const std::size_t n = Read16(r.data, 0);
  std::string items;
  std::size_t count = 0;
  for (std::size_t k = 0; k < n && 2 + k * 6 + 6 <= r.data.size(); ++k, ++count) {
    const std::size_t at = 2 + k * 6;
    items += "<brk id=\"" + std::to_string(Read16(r.data, at)) + "\"";
    if (Read16(r.data, at + 2)) items += " min=\"" + std::to_string(Read16(r.data, at + 2)) + "\"";
    items += " max=\"" + std::to_string(Read16(r.data, at + 4)) + "\" man=\"1\"/>";
  }
  const std::string tag = rows ? "rowBreaks" : "colBreaks";
  const std::string c = std::to_string(count);
  return "<" + tag + " count=\"" + c + "\" manualBreakCount=\"" + c + "\">" + items + "</" + tag + ">";
}

// A validation's formula: an explicit list is a string of items separated by
// NUL characters, which the model writes as one quoted, comma-separated text.
std::string ValidationFormula(const BiffRecord& r, std::size_t& at, bool explicitList, CellAddress base,
                              const FormulaContext& context, std::vector<std::uint8_t>& tokens) {
  const std::size_t cce = Read16(r.data, at);
  if (at + 4 + cce > r.data.size()) throw WorkbookError("a validation formula is cut short");
  const auto* p = reinterpret_cast<const std::uint8_t*>(r.data.data()) + at + 4;
  at += 4 + cce;
  if (cce == 0) return {};
  tokens.assign(p, p + cce);
  if (explicitList && p[0] == 0x17 && cce >= 3) {
    std::string items = Utf8FromBiff(p + 3, p[1], (p[2] & 1) != 0);
    std::replace(items.begin(), items.end(), '\0', ',');
    return "\"" + items + "\"";
  }
  return DecodeFormula({p, cce}, {}, FormulaUse::DataValidation, base, context);
}

std::string ValidationXml(const BiffRecord& r, const FormulaContext& context, ValidationTokens& kept) {
  const std::uint32_t flags = Read32(r.data, 0);
  std::size_t at = 4;
  std::string texts[4];  // prompt title, error title, prompt, error
  for (std::string& t : texts) {
    t = ReadUnicodeString(r, at, false);
    if (t == std::string(1, '\0')) t.clear();  // an empty text is stored as one NUL
  }
  // The ranges come after both formulas; the first cell of the first range is
  // the cell relative references are counted from.
  std::size_t rangesAt = at;
  for (int k = 0; k < 2; ++k) rangesAt += 4 + Read16(r.data, rangesAt);
  const std::size_t ranges = Read16(r.data, rangesAt);
  if (ranges == 0 || rangesAt + 2 + ranges * 8 > r.data.size()) throw WorkbookError("a validation covers no cells");
  std::string sqref;
  CellAddress base{};
  for (std::size_t k = 0; k < ranges; ++k) {
    const std::size_t p = rangesAt + 2 + k * 8;
    CellRange range{{Read16(r.data, p) + 1, Read16(r.data, p + 4) + 1}, {Read16(r.data, p + 2) + 1, Read16(r.data, p + 6) + 1}};
    if (k == 0) base = range.first;
    sqref += (k ? " " : "") + FormatCellRange(range);
  }
  const unsigned type = flags & 0xF;
  std::vector<std::uint8_t> tokens[2];
  const std::string f1 = ValidationFormula(r, at, type == 3 && (flags & 0x80), base, context, tokens[0]);
  const std::string f2 = ValidationFormula(r, at, false, base, context, tokens[1]);
  for (int k = 0; k < 2; ++k)
    if (!tokens[k].empty()) kept[ValidationKey(sqref, k)] = std::move(tokens[k]);
  std::string x = "<dataValidation";
  if (type) x += Attr("type", kDvTypes[std::min<unsigned>(type, 7)]);
  if (const unsigned e = (flags >> 4) & 7; e) x += Attr("errorStyle", kDvErrors[std::min<unsigned>(e, 2)]);
  if (const unsigned op = (flags >> 20) & 0xF; op) x += Attr("operator", kDvOperators[std::min<unsigned>(op, 7)]);
  if (flags & 0x100) x += " allowBlank=\"1\"";
  if (flags & 0x200) x += " showDropDown=\"1\"";  // set means the in-cell list is hidden, in both formats
  if (flags & 0x40000) x += " showInputMessage=\"1\"";
  if (flags & 0x80000) x += " showErrorMessage=\"1\"";
  static const char* const kTextAttrs[] = {"promptTitle", "errorTitle", "prompt", "error"};
  for (int k = 0; k < 4; ++k)
    if (!texts[k].empty()) x += Attr(kTextAttrs[k], texts[k]);
  x += Attr("sqref", sqref) + ">";
  for (const auto& [tag, f] : {std::pair{"formula1", &f1}, std::pair{"formula2", &f2}}) {
    if (f->empty()) continue;
    x += std::string("<") + tag + ">";
    AppendEscaped(x, *f, false);
    x += std::string("</") + tag + ">";
  }
  return x + "</dataValidation>";
}

void AppendDvText(std::string& d, const char* text) {
  // An empty text is stored as one NUL character.
  AppendUnicodeString(d, *text ? std::string_view(text) : std::string_view("\0", 1), false);
}

void AppendDvFormula(std::string& d, pugi::xml_node formula, bool list, CellAddress base, FormulaContext& context,
                     const std::vector<std::uint8_t>* kept) {
  const std::string text = formula.child_value();
  std::vector<std::uint8_t> rgce;
  bool same = false;
  if (kept && !text.empty() && !(list && text.front() == '"')) {
    try {
      same = DecodeFormula({kept->data(), kept->size()}, {}, FormulaUse::DataValidation, base, context) == text;
    } catch (const WorkbookError&) {
      // Made anew below.
    }
  }
  if (same) {
    rgce = *kept;
  } else if (list && text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    std::string items = text.substr(1, text.size() - 2);
    std::replace(items.begin(), items.end(), ',', '\0');
    const std::u16string chars = Utf16FromUtf8(items);
    if (chars.size() > 255) throw WorkbookError("the list of choices is longer than 255 characters");
    bool wide = false;
    for (char16_t c : chars) wide = wide || c > 0xFF;
    rgce = {0x17, static_cast<std::uint8_t>(chars.size()), static_cast<std::uint8_t>(wide ? 1 : 0)};
    for (char16_t c : chars) {
      rgce.push_back(static_cast<std::uint8_t>(c & 0xFF));
      if (wide) rgce.push_back(static_cast<std::uint8_t>(c >> 8));
    }
  } else if (!text.empty()) {
    EncodedFormula e = EncodeFormula(text, FormulaUse::DataValidation, base, context);
    if (!e.extra.empty()) throw WorkbookError("a validation formula holds an array constant");
    rgce = std::move(e.rgce);
  }
  Append16(d, static_cast<std::uint16_t>(rgce.size()));
  Append16(d, 0);
  d.append(rgce.begin(), rgce.end());
}

std::string ValidationRecord(pugi::xml_node v, FormulaContext& context, const ValidationTokens* kept) {
  const std::vector<CellRange> ranges = RangeList(v.attribute("sqref").value());
  const int type = IndexOf(kDvTypes, v.attribute("type").value(), 0);
  const bool list = type == 3 && std::string_view(FirstChild(v, "formula1").child_value()).starts_with('"');
  std::uint32_t flags = static_cast<std::uint32_t>(type) |
                        static_cast<std::uint32_t>(IndexOf(kDvErrors, v.attribute("errorStyle").value(), 0)) << 4 |
                        static_cast<std::uint32_t>(IndexOf(kDvOperators, v.attribute("operator").value(), 0)) << 20;
  if (list) flags |= 0x80;
  if (ParseXmlBool(v.attribute("allowBlank").value())) flags |= 0x100;
  if (ParseXmlBool(v.attribute("showDropDown").value())) flags |= 0x200;
  if (ParseXmlBool(v.attribute("showInputMessage").value())) flags |= 0x40000;
  if (ParseXmlBool(v.attribute("showErrorMessage").value())) flags |= 0x80000;
  std::string d;
  Append32(d, flags);
  for (const char* a : {"promptTitle", "errorTitle", "prompt", "error"}) AppendDvText(d, v.attribute(a).value());
  for (int k = 0; k < 2; ++k) {
    const std::vector<std::uint8_t>* tokens = nullptr;
    if (kept)
      if (auto it = kept->find(ValidationKey(v.attribute("sqref").value(), k)); it != kept->end()) tokens = &it->second;
    AppendDvFormula(d, FirstChild(v, k ? "formula2" : "formula1"), list && !k, ranges[0].first, context, tokens);
  }
  Append16(d, static_cast<std::uint16_t>(ranges.size()));
  for (const CellRange& r : ranges)
    for (int n : {r.first.row, r.last.row, r.first.col, r.last.col}) Append16(d, static_cast<std::uint16_t>(n - 1));
  return d;
}

std::string BreakRecord(pugi::xml_node breaks, bool rows) {
  std::string items;
  std::uint16_t n = 0;
  for (pugi::xml_node b : breaks.children()) {
    if (LocalName(b) != "brk" || n == 1026) continue;
    const unsigned id = b.attribute("id").as_uint(0), limit = rows ? 65535 : 255;
    if (id == 0 || id > limit) continue;
    Append16(items, static_cast<std::uint16_t>(id));
    Append16(items, static_cast<std::uint16_t>(std::min(b.attribute("min").as_uint(0), rows ? 255u : 65535u)));
    Append16(items, static_cast<std::uint16_t>(std::min(b.attribute("max").as_uint(limit), rows ? 255u : 65535u)));
    ++n;
  }
  if (!n) return {};
  std::string d;
  Append16(d, n);
  std::string out;
  WriteRecord(out, rows ? kHorizontalBreaks : kVerticalBreaks, d + items);
  return out;
}

}  // namespace

bool IsPageRecord(std::uint16_t type) {
  switch (type) {
    case kHeader: case kFooter: case kVerticalBreaks: case kHorizontalBreaks: case kLeftMargin: case kRightMargin:
    case kTopMargin: case kBottomMargin: case kHCenter: case kVCenter: case kSetup:
      return true;
    default:
      return false;
  }
}

bool SheetSettingsReader::Take(const BiffRecord& r) {
  // A custom view carries its own copy of the page setup: it stays as it came.
  if (r.type == kUserViewBegin || r.type == kUserViewEnd) inView_ = r.type == kUserViewBegin;
  if (inView_) return false;
  if (IsPageRecord(r.type)) {
    page_.push_back(r);
    return true;
  }
  switch (r.type) {
    // Gridlines and headings are read but stay where they stand among the
    // records before the page setup block.
    case kPrintHeaders: case kPrintGridlines: page_.push_back(r); return false;
    case kWsBool: if (r.data.size() >= 2) wsBool_ = Read16(r.data, 0); return false;
    case kWindow2: if (r.data.size() >= 2) window2_ = Read16(r.data, 0); return false;
    case kPaneRecord: {
      // Only a frozen pane is held by the model; a split keeps its record.
      if (!(window2_ & kFrozen) || r.data.size() < 9) return false;
      const unsigned x = Read16(r.data, 0), y = Read16(r.data, 2);
      pane_ = "<pane";
      if (x) pane_ += " xSplit=\"" + std::to_string(x) + "\"";
      if (y) pane_ += " ySplit=\"" + std::to_string(y) + "\"";
      pane_ += " topLeftCell=\"" + FormatCellAddress(Read16(r.data, 4) + 1, Read16(r.data, 6) + 1) + "\"" +
               Attr("activePane", kPanes[static_cast<std::uint8_t>(r.data[8]) & 3]) +
               Attr("state", (window2_ & kFrozenNoSplit) ? "frozen" : "frozenSplit") + "/>";
      return true;
    }
    case kDval: return true;  // made anew from the validations
    case kDv: validations_.push_back(r); return true;
    default: return false;
  }
}

SheetSettingsXml SheetSettingsReader::Xml(const FormulaContext& context, std::set<std::string>& lost) const {
  SheetSettingsXml x;
  if (wsBool_ & kFitToPage) x.sheetPr = "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>";
  if (!pane_.empty()) x.sheetViews = "<sheetViews><sheetView workbookViewId=\"0\">" + pane_ + "</sheetView></sheetViews>";
  std::string dv;
  std::size_t dvCount = 0;
  for (const BiffRecord& r : validations_) {
    try {
      dv += ValidationXml(r, context, x.tokens);
      ++dvCount;
    } catch (const WorkbookError&) {
      lost.insert("data validations whose formulas cannot be read");
    }
  }
  if (dvCount) x.validations = "<dataValidations count=\"" + std::to_string(dvCount) + "\">" + dv + "</dataValidations>";

  double margins[6] = {0.75, 0.75, 1.0, 1.0, 0.5, 0.5};  // left, right, top, bottom, header, footer
  bool anyMargin = false;
  std::string options, setup, header, footer, rowBreaks, colBreaks;
  for (const BiffRecord& r : page_) {
    const std::string& d = r.data;
    switch (r.type) {
      case kLeftMargin: case kRightMargin: case kTopMargin: case kBottomMargin:
        if (d.size() >= 8) margins[r.type - kLeftMargin] = ReadDouble(d, 0), anyMargin = true, x.margins |= 1 << (r.type - kLeftMargin);
        break;
      case kHCenter: if (d.size() >= 2 && Read16(d, 0)) options += " horizontalCentered=\"1\""; break;
      case kVCenter: if (d.size() >= 2 && Read16(d, 0)) options += " verticalCentered=\"1\""; break;
      case kPrintHeaders: if (d.size() >= 2 && Read16(d, 0)) options += " headings=\"1\""; break;
      case kPrintGridlines: if (d.size() >= 2 && Read16(d, 0)) options += " gridLines=\"1\""; break;
      case kHeader: case kFooter: {
        if (d.size() < 3) break;
        std::size_t at = 0;
        std::string& t = r.type == kHeader ? header : footer;
        t = ReadUnicodeString(r, at, false);
        break;
      }
      case kHorizontalBreaks: rowBreaks = Breaks(r, true); break;
      case kVerticalBreaks: colBreaks = Breaks(r, false); break;
      case kSetup: {
        if (d.size() < 34) break;
        const std::uint16_t flags = Read16(d, 10);
        margins[4] = ReadDouble(d, 16), margins[5] = ReadDouble(d, 24);
        anyMargin = anyMargin || margins[4] != 0.5 || margins[5] != 0.5;
        setup = "<pageSetup";
        if (!(flags & kNoPrinter)) setup += " paperSize=\"" + std::to_string(Read16(d, 0)) + "\" scale=\"" + std::to_string(Read16(d, 2)) + "\"";
        if (flags & kUsePage) setup += " firstPageNumber=\"" + std::to_string(Read16(d, 4)) + "\" useFirstPageNumber=\"1\"";
        setup += " fitToWidth=\"" + std::to_string(Read16(d, 6)) + "\" fitToHeight=\"" + std::to_string(Read16(d, 8)) + "\"";
        if (flags & kLeftToRight) setup += " pageOrder=\"overThenDown\"";
        if (!(flags & (kNoPrinter | kNoOrientation))) setup += (flags & kPortrait) ? " orientation=\"portrait\"" : " orientation=\"landscape\"";
        if (flags & kNoColor) setup += " blackAndWhite=\"1\"";
        if (flags & kDraft) setup += " draft=\"1\"";
        if (flags & kNotes) setup += (flags & kNotesAtEnd) ? " cellComments=\"atEnd\"" : " cellComments=\"asDisplayed\"";
        if (!(flags & kNoPrinter)) {
          if (Read16(d, 12)) setup += " horizontalDpi=\"" + std::to_string(Read16(d, 12)) + "\"";
          if (Read16(d, 14)) setup += " verticalDpi=\"" + std::to_string(Read16(d, 14)) + "\"";
          if (Read16(d, 32) > 1) setup += " copies=\"" + std::to_string(Read16(d, 32)) + "\"";
        }
        setup += "/>";
        // Nothing but what a sheet without page setup is written with.
        if ((flags & ~(kPortrait | kNoOrientation)) == kNoPrinter && Read16(d, 6) == 1 && Read16(d, 8) == 1) setup.clear();
        break;
      }
      default: break;
    }
  }
  if (!options.empty()) x.page += "<printOptions" + options + "/>";
  if (anyMargin) {
    x.page += "<pageMargins";
    static const char* const kNames[] = {"left", "right", "top", "bottom", "header", "footer"};
    for (int k = 0; k < 6; ++k) x.page += Attr(kNames[k], Number(margins[k]));
    x.page += "/>";
  }
  x.page += setup;
  if (!header.empty() || !footer.empty()) {
    x.page += "<headerFooter>";
    for (const auto& [tag, t] : {std::pair{"oddHeader", &header}, std::pair{"oddFooter", &footer}}) {
      if (t->empty()) continue;
      x.page += std::string("<") + tag + ">";
      AppendEscaped(x.page, *t, false);
      x.page += std::string("</") + tag + ">";
    }
    x.page += "</headerFooter>";
  }
  x.page += rowBreaks + colBreaks;
  return x;
}

std::string PrintFlagRecords(pugi::xml_node ws) {
  pugi::xml_node options = FirstChild(ws, "printOptions");
  std::string out;
  for (const auto& [type, attr] : {std::pair{kPrintHeaders, "headings"}, std::pair{kPrintGridlines, "gridLines"}}) {
    std::string d;
    Append16(d, ParseXmlBool(options.attribute(attr).value()) ? 1 : 0);
    WriteRecord(out, type, d);
  }
  return out;
}

std::string PageRecords(pugi::xml_node ws, std::uint8_t defaultMargins) {
  std::string out = BreakRecord(FirstChild(ws, "rowBreaks"), true) + BreakRecord(FirstChild(ws, "colBreaks"), false);
  pugi::xml_node hf = FirstChild(ws, "headerFooter");
  for (const auto& [type, tag] : {std::pair{kHeader, "oddHeader"}, std::pair{kFooter, "oddFooter"}}) {
    std::string d;
    if (const char* t = FirstChild(hf, tag).child_value(); *t) AppendUnicodeString(d, std::string(t).substr(0, 255), false);
    WriteRecord(out, type, d);
  }
  pugi::xml_node options = FirstChild(ws, "printOptions");
  for (const auto& [type, attr] : {std::pair{kHCenter, "horizontalCentered"}, std::pair{kVCenter, "verticalCentered"}}) {
    std::string d;
    Append16(d, ParseXmlBool(options.attribute(attr).value()) ? 1 : 0);
    WriteRecord(out, type, d);
  }
  pugi::xml_node margins = FirstChild(ws, "pageMargins");
  static const char* const kNames[] = {"left", "right", "top", "bottom"};
  static const double kDefaults[] = {0.75, 0.75, 1.0, 1.0};
  for (int k = 0; k < 4; ++k) {
    // A reader takes a missing margin as the default, some readers as their
    // own a hair away: one at its default is written as the source had it.
    const double v = margins.attribute(kNames[k]).as_double(kDefaults[k]);
    if (!margins || (v == kDefaults[k] && !(defaultMargins >> k & 1))) continue;
    std::string d;
    AppendDouble(d, v);
    WriteRecord(out, static_cast<std::uint16_t>(kLeftMargin + k), d);
  }
  pugi::xml_node s = FirstChild(ws, "pageSetup");
  const std::string_view orientation = s.attribute("orientation").value();
  const std::string_view comments = s.attribute("cellComments").value();
  std::uint16_t flags = static_cast<std::uint16_t>(
      (std::string_view(s.attribute("pageOrder").value()) == "overThenDown" ? kLeftToRight : 0) |
      (orientation != "landscape" ? kPortrait : 0) | (orientation.empty() ? kNoOrientation : 0) |
      (s.attribute("paperSize") ? 0 : kNoPrinter) | (ParseXmlBool(s.attribute("blackAndWhite").value()) ? kNoColor : 0) |
      (ParseXmlBool(s.attribute("draft").value()) ? kDraft : 0) |
      (ParseXmlBool(s.attribute("useFirstPageNumber").value()) ? kUsePage : 0) |
      (comments == "atEnd" ? kNotes | kNotesAtEnd : comments == "asDisplayed" ? kNotes : 0));
  std::string d;
  for (unsigned v : {s.attribute("paperSize").as_uint(1), s.attribute("scale").as_uint(100), s.attribute("firstPageNumber").as_uint(1),
                     s.attribute("fitToWidth").as_uint(1), s.attribute("fitToHeight").as_uint(1)})
    Append16(d, static_cast<std::uint16_t>(std::min(v, 65535u)));
  Append16(d, flags);
  Append16(d, static_cast<std::uint16_t>(s.attribute("horizontalDpi").as_uint(600)));
  Append16(d, static_cast<std::uint16_t>(s.attribute("verticalDpi").as_uint(600)));
  AppendDouble(d, margins.attribute("header").as_double(0.5));
  AppendDouble(d, margins.attribute("footer").as_double(0.5));
  Append16(d, static_cast<std::uint16_t>(s.attribute("copies").as_uint(1)));
  WriteRecord(out, kSetup, d);
  return out;
}

namespace {
pugi::xml_node FrozenPane(pugi::xml_node ws) {
  pugi::xml_node pane = FirstChild(FirstChild(FirstChild(ws, "sheetViews"), "sheetView"), "pane");
  const std::string_view state = pane.attribute("state").value();
  return state == "frozen" || state == "frozenSplit" ? pane : pugi::xml_node();
}
}  // namespace

std::string PaneRecord(pugi::xml_node ws) {
  pugi::xml_node pane = FrozenPane(ws);
  if (!pane) return {};
  const unsigned x = pane.attribute("xSplit").as_uint(0), y = pane.attribute("ySplit").as_uint(0);
  const auto top = ParseCellAddress(pane.attribute("topLeftCell").value()).value_or(CellAddress{static_cast<int>(y) + 1, static_cast<int>(x) + 1});
  std::string d;
  Append16(d, static_cast<std::uint16_t>(std::min(x, 255u)));
  Append16(d, static_cast<std::uint16_t>(std::min(y, 65535u)));
  Append16(d, static_cast<std::uint16_t>(std::min(top.row, 65536) - 1));
  Append16(d, static_cast<std::uint16_t>(std::min(top.col, 256) - 1));
  d += static_cast<char>(IndexOf(kPanes, pane.attribute("activePane").value(), x && y ? 0 : y ? 2 : 1));
  d += '\0';
  std::string out;
  WriteRecord(out, kPaneRecord, d);
  return out;
}

std::uint16_t FrozenWindowFlags(pugi::xml_node ws) {
  pugi::xml_node pane = FrozenPane(ws);
  if (!pane) return 0;
  return std::string_view(pane.attribute("state").value()) == "frozen" ? kFrozen | kFrozenNoSplit : kFrozen;
}

std::string ValidationKey(std::string_view sqref, int formula) { return std::string(sqref) + (formula ? "\n2" : "\n1"); }

std::string ValidationRecords(pugi::xml_node ws, FormulaContext& context, std::set<std::string>& warnings,
                              const ValidationTokens* kept) {
  std::string records;
  std::uint32_t n = 0;
  for (pugi::xml_node v : FirstChild(ws, "dataValidations").children()) {
    if (LocalName(v) != "dataValidation") continue;
    try {
      WriteRecord(records, kDv, ValidationRecord(v, context, kept));
      ++n;
    } catch (const WorkbookError& e) {
      warnings.insert(std::string("a data validation on ") + v.attribute("sqref").value() + " (" + e.what() + ")");
    }
  }
  if (!n) return {};
  std::string d;
  Append16(d, 0);
  Append32(d, 0);
  Append32(d, 0);
  Append32(d, 0xFFFFFFFF);
  Append32(d, n);
  std::string out;
  WriteRecord(out, kDval, d);
  return out + records;
}

std::vector<CellRange> RangeList(std::string_view sqref) {
  std::vector<CellRange> ranges;
  for (std::size_t p = 0; p < sqref.size();) {
    std::size_t e = sqref.find(' ', p);
    if (e == std::string_view::npos) e = sqref.size();
    if (e > p) {
      auto r = ParseCellRange(sqref.substr(p, e - p));
      if (!r || r->first.row > 65536 || r->first.col > 256) throw WorkbookError("it covers cells beyond row 65536 or column IV");
      // A range reaching past the last row or column (moved there by an insertion) ends on it.
      r->last = {std::min(r->last.row, 65536), std::min(r->last.col, 256)};
      ranges.push_back(*r);
    }
    p = e + 1;
  }
  if (ranges.empty()) throw WorkbookError("it covers no cells");
  return ranges;
}

}  // namespace vemo::wb::xls
