#include "workbook/xls/xls_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "workbook/model/style_colors.h"
#include "workbook/surface_support.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_values.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_formula_internal.h"
#include "workbook/xls/biff_records.h"
#include "workbook/xls/xls_conditional_formats.h"
#include "workbook/xls/xls_hyperlinks.h"
#include "workbook/xls/xls_links.h"
#include "workbook/xls/xls_palette.h"
#include "workbook/xls/xls_pictures.h"
#include "workbook/xls/xls_sheet_settings.h"
#include "workbook/xls/xls_source.h"
#include "workbook/xls/xls_style_names.h"
#include "workbook/model/xml_access.h"

namespace vemo::wb {

namespace {

constexpr std::size_t kMaxPayload = 8224;
constexpr std::uint16_t kPane = 0x0041, kSelection = 0x001D, kScl = 0x00A0, kPlv = 0x088B, kStandardWidth = 0x0099,
                        kUserViewBegin = 0x01AA;

std::string Bof(std::uint16_t kind) {
  std::string d;
  Append16(d, 0x0600);
  Append16(d, kind);
  Append16(d, 0x0DBB);
  Append16(d, 0x07CC);
  Append32(d, 0x000100C1);
  Append32(d, 0x00000406);
  return d;
}

std::uint8_t ErrorCode(std::string_view text) {
  if (text == "#NULL!") return 0x00;
  if (text == "#DIV/0!") return 0x07;
  if (text == "#VALUE!") return 0x0F;
  if (text == "#REF!") return 0x17;
  if (text == "#NAME?") return 0x1D;
  if (text == "#NUM!") return 0x24;
  return 0x2A;
}

std::vector<pugi::xml_node> Children(pugi::xml_node parent) {
  std::vector<pugi::xml_node> out;
  for (pugi::xml_node n : parent.children())
    if (n.type() == pugi::node_element) out.push_back(n);
  return out;
}

// The string table being written: the model's items first, then texts that
// only appear as inline strings.
struct StringTable {
  const SharedStrings& shared;
  std::vector<std::string> extra;
  std::map<std::string, std::uint32_t, std::less<>> extraIndex;
  std::uint32_t references = 0;

  std::uint32_t Add(std::string text) {
    auto it = extraIndex.find(text);
    if (it != extraIndex.end()) return it->second;
    const auto index = static_cast<std::uint32_t>(shared.size() + extra.size());
    extraIndex.emplace(text, index);
    extra.push_back(std::move(text));
    return index;
  }
};

// Where the large parts of the stream go (the string table, the cell tables):
// counted first, so that the offsets that point past them are known, then
// written straight to the file in pieces when it is written, so that they
// are never held whole. `flushed` bytes of the stream are already gone.
struct StreamSink {
  std::string buffer;
  std::size_t flushed = 0;
  std::ostream* to = nullptr;  // null: only counted
  std::size_t size() const { return flushed + buffer.size(); }
  void Flush() {
    if (to) to->write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    flushed += buffer.size();
    buffer.clear();
  }
};

// Writes the string table record with its CONTINUE records and the EXTSST
// record that indexes it. `runs` holds each item's formatting runs (four
// bytes a run), as many items as have any.
void WriteStringTable(StreamSink& sink, const StringTable& table, const XlsSource* source,
                      const std::vector<std::string>& runs) {
  std::string& out = sink.buffer;
  const std::size_t total = table.shared.size() + table.extra.size();
  std::size_t recordStart = out.size();  // in the buffer
  Append16(out, biff::kSst);
  Append16(out, 0);
  Append32(out, table.references);
  Append32(out, static_cast<std::uint32_t>(total));
  auto room = [&] { return kMaxPayload - (out.size() - recordStart - 4); };
  auto close = [&] { Patch16(out, recordStart + 2, static_cast<std::uint16_t>(out.size() - recordStart - 4)); };
  auto next = [&] {
    close();
    if (out.size() >= (1u << 16)) sink.Flush();  // whole records only: their lengths are patched
    recordStart = out.size();
    Append16(out, biff::kContinue);
    Append16(out, 0);
  };
  const std::size_t bucket = std::max<std::size_t>(8, (total + 127) / 128);
  std::string ext;
  Append16(ext, static_cast<std::uint16_t>(bucket));
  for (std::size_t i = 0; i < total; ++i) {
    std::string_view text = i < table.shared.size() ? table.shared.Text(static_cast<std::uint32_t>(i)) : table.extra[i - table.shared.size()];
    const bool kept = source && i < source->stringPhonetic.size();
    const std::string* itemRuns = i < runs.size() && !runs[i].empty() ? &runs[i] : nullptr;
    const auto runCount = static_cast<std::uint16_t>(itemRuns ? itemRuns->size() / 4 : 0);
    const std::string* phonetic = kept && !source->stringPhonetic[i].empty() ? &source->stringPhonetic[i] : nullptr;
    std::u16string chars = xls::Utf16FromUtf8(text);
    if (chars.size() > 32767) chars.resize(32767);
    bool wide = false;
    for (char16_t c : chars) wide = wide || c > 0xFF;
    const std::size_t header = 3 + (runCount ? 2 : 0) + (phonetic ? 4 : 0);
    if (room() < header + (wide ? 2 : 1)) next();
    if (i % bucket == 0) {
      Append32(ext, static_cast<std::uint32_t>(sink.size()));
      Append16(ext, static_cast<std::uint16_t>(out.size() - recordStart));
      Append16(ext, 0);
    }
    Append16(out, static_cast<std::uint16_t>(chars.size()));
    out += static_cast<char>((wide ? 1 : 0) | (runCount ? 8 : 0) | (phonetic ? 4 : 0));
    if (runCount) Append16(out, runCount);
    if (phonetic) Append32(out, static_cast<std::uint32_t>(phonetic->size()));
    for (std::size_t k = 0; k < chars.size(); ++k) {
      if (room() < (wide ? 2u : 1u)) {
        next();
        out += static_cast<char>(wide ? 1 : 0);
      }
      if (wide) Append16(out, chars[k]);
      else out += static_cast<char>(chars[k]);
    }
    if (runCount) {
      const std::string& r = *itemRuns;
      for (std::size_t k = 0; k < r.size(); k += 4) {
        if (room() < 4) next();
        out.append(r, k, 4);
      }
    }
    if (phonetic) {
      for (std::size_t k = 0; k < phonetic->size();) {
        if (room() == 0) next();
        const std::size_t n = std::min(room(), phonetic->size() - k);
        out.append(*phonetic, k, n);
        k += n;
      }
    }
  }
  close();
  WriteRecord(out, biff::kExtSst, ext);
}

// A sheet's substream but its cell table, which starts at `cellsAt` and is
// `cellBytes` long.
struct SheetBytes {
  std::string bytes;
  std::size_t cellsAt = 0, cellBytes = 0;
  const XlsSheetSource* kept = nullptr;
};

class Writing {
 public:
  Writing(Workbook& book, pugi::xml_node styles, std::vector<Sheet*> sheets, std::set<std::string>& warnings,
          const XlsSource* source)
      : book_(book), styles_(styles), sheets_(std::move(sheets)), warnings_(warnings), src_(source),
        strings_{book.sharedStrings(), {}, {}, 0}, pictures_(book), colors_(book),
        recalcOnLoad_(FullCalcOnLoadRequested(book)), computeResults_(ResultsToComputeOnSave(book)) {
    if (src_) context_ = src_->context;
    context_.sheetNames.clear();
    for (Sheet* sheet : sheets_) context_.sheetNames.push_back(sheet->name());
    if (!src_)
      for (const DefinedName& n : book_.DefinedNames()) context_.names.push_back({n.name, n.localSheetId + 1});
  }

  // The Workbook stream in pieces: the globals, then each sheet's substream,
  // whose cell table is written when the piece is. The pieces write through
  // this object, which must outlive them.
  std::vector<CompoundFile::Piece> Stream();

 private:
  std::uint32_t Xf(std::uint32_t style) const { return src_ ? style : style + 15; }
  void StyleRecords(std::string& out);
  // A FONT record for a <font> element, or a rich text run's <rPr>.
  std::string FontRecord(pugi::xml_node f);
  // Each item's formatting runs: those read from .xls, or made from the
  // runs of rich text, whose fonts become FONT records after the styles'.
  void CollectStringRuns();
  std::string RunsOfRichText(std::string_view itemXml);  // empty when it has no runs
  std::string& RunsOf(std::uint32_t item);
  // Fits the palette to the colours of the style part's fonts, fills and borders.
  void ChoosePalette();
  std::string XfRecord(pugi::xml_node xf, bool styleXf);
  // The border and fill fields of a cell format (its bytes 10 to 19).
  std::string BorderAndFill(pugi::xml_node border, pugi::xml_node fill);
  SheetBytes SheetStream(Sheet& sheet, std::vector<std::size_t>& dbcellAt, std::size_t& indexAt);
  void CellTable(StreamSink& sink, Sheet& sheet, const XlsSheetSource* kept, std::vector<std::size_t>& dbcellAt);
  void ColumnRecords(std::string& out, Sheet& sheet);
  void MergeRecords(std::string& out, Sheet& sheet);

  // A FORMULA record (with its STRING when the result is text) for `rgce`.
  void FormulaRecords(std::string& out, const std::string& cellHead, const CellContent& v, std::uint16_t flags,
                      const std::vector<std::uint8_t>& rgce, const std::vector<std::uint8_t>& extra);
  // Writes the formula of `cell`; false when it has to be saved as its value.
  bool WriteFormula(std::string& out, Sheet& sheet, const Row& row, const Cell& cell, const std::string& head,
                    const CellContent& v, const XlsSheetSource* kept);
  // The NAME records: those read, with the tokens of names the model
  // changed made anew; for a workbook from .xlsx, one per defined name.
  std::vector<std::string> NameRecords();
  bool LinksChanged() const;
  // The value saved beside a formula of a filled workbook: computed again,
  // or `cached` when the evaluator cannot (the reader then computes it).
  CellContent Computed(const Sheet& sheet, int row, int col, CellContent cached);

  Workbook& book_;
  std::optional<WorkbookValues> values_;
  xls::FormulaContext context_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, CellAddress> arrayMembers_;  // cell (0-based) -> array master
  pugi::xml_node styles_;
  std::vector<Sheet*> sheets_;
  std::set<std::string>& warnings_;
  const XlsSource* src_;
  StringTable strings_;
  xls::PictureRecords pictures_;
  std::vector<std::string> stringRuns_;
  pugi::xml_document runFonts_;  // the <rPr> of rich text runs, one each, in FONT record order
  std::map<std::string, std::uint16_t> runFontIndex_;  // <rPr> as written -> its FONT record index
  StyleColors colors_;
  xls::Palette palette_;
  std::vector<pugi::xml_node> fills_, borders_;
  // Cells were changed after the results were cached (a fill): every formula
  // is marked to be calculated again, as .xlsx asks with fullCalcOnLoad.
  bool recalcOnLoad_;
  bool computeResults_;  // and the results saved are computed again
};

std::string Writing::XfRecord(pugi::xml_node xf, bool styleXf) {
  std::string d;
  const std::uint32_t font = xf.attribute("fontId").as_uint(0);
  Append16(d, static_cast<std::uint16_t>(font >= 4 ? font + 1 : font));
  Append16(d, static_cast<std::uint16_t>(xf.attribute("numFmtId").as_uint(0)));
  pugi::xml_node protection = FirstChild(xf, "protection");
  const std::uint16_t locked = protection.attribute("locked") && !ParseXmlBool(protection.attribute("locked").value()) ? 0 : 1;
  const std::uint16_t hidden = ParseXmlBool(protection.attribute("hidden").value()) ? 2 : 0;
  Append16(d, static_cast<std::uint16_t>((styleXf ? 0xFFF4 : 0x0000) | locked | hidden));
  pugi::xml_node align = FirstChild(xf, "alignment");
  static const std::map<std::string, std::uint8_t> kHorizontal{{"left", 1}, {"center", 2}, {"right", 3}, {"fill", 4},
                                                               {"justify", 5}, {"centerContinuous", 6}, {"distributed", 7}};
  static const std::map<std::string, std::uint8_t> kVertical{{"top", 0}, {"center", 1}, {"bottom", 2}, {"justify", 3}, {"distributed", 4}};
  std::uint8_t a = 0x20;
  if (auto it = kHorizontal.find(align.attribute("horizontal").value()); it != kHorizontal.end()) a |= it->second;
  if (auto it = kVertical.find(align.attribute("vertical").value()); it != kVertical.end()) a = static_cast<std::uint8_t>((a & 0x0F) | it->second << 4);
  if (ParseXmlBool(align.attribute("wrapText").value())) a |= 8;
  d += static_cast<char>(a);
  // Rotation has the same meaning in both formats: 0-90 anticlockwise,
  // 91-180 clockwise, 255 stacked.
  const unsigned rotation = align.attribute("textRotation").as_uint(0);
  d += static_cast<char>(rotation <= 180 || rotation == 255 ? rotation : 0);
  d += static_cast<char>(std::min(align.attribute("indent").as_uint(0), 15u) |
                         (ParseXmlBool(align.attribute("shrinkToFit").value()) ? 0x10 : 0) |
                         std::min(align.attribute("readingOrder").as_uint(0), 2u) << 6);
  d += static_cast<char>(styleXf ? 0 : 0xFC);
  const auto item = [](const std::vector<pugi::xml_node>& list, pugi::xml_attribute id) {
    return id.as_uint() < list.size() ? list[id.as_uint()] : pugi::xml_node();
  };
  d += BorderAndFill(item(borders_, xf.attribute("borderId")), item(fills_, xf.attribute("fillId")));
  return d;
}

std::string Writing::BorderAndFill(pugi::xml_node border, pugi::xml_node fill) {
  // Line style and colour index of one edge; start and end stand for left
  // and right when those are not given.
  auto edge = [&](const char* side, const char* alias) -> std::pair<std::uint32_t, std::uint32_t> {
    pugi::xml_node n = FirstChild(border, side);
    if (alias && !n.attribute("style")) n = FirstChild(border, alias);
    const int line = xls::CodeOf(xls::kBorderLineNames, n.attribute("style").value());
    if (line <= 0) return {0, xls::kAutoForeground};
    return {static_cast<std::uint32_t>(line), palette_.Index(colors_.Resolve(FirstChild(n, "color")), xls::kAutoForeground)};
  };
  const auto [left, leftColor] = edge("left", "start");
  const auto [right, rightColor] = edge("right", "end");
  const auto [top, topColor] = edge("top", nullptr);
  const auto [bottom, bottomColor] = edge("bottom", nullptr);
  auto [diagonal, diagonalColor] = edge("diagonal", nullptr);
  const std::uint32_t directions = (ParseXmlBool(border.attribute("diagonalDown").value()) ? 1u : 0u) |
                                   (ParseXmlBool(border.attribute("diagonalUp").value()) ? 2u : 0u);
  if (!directions) diagonal = 0, diagonalColor = 0;
  pugi::xml_node pattern = FirstChild(fill, "patternFill");
  if (FirstChild(fill, "gradientFill")) warnings_.insert("gradient fills");
  const std::uint32_t fls =
      static_cast<std::uint32_t>(std::max(xls::CodeOf(xls::kFillPatternNames, pattern.attribute("patternType").value()), 0));
  const std::uint32_t fore = fls ? palette_.Index(colors_.Resolve(FirstChild(pattern, "fgColor")), xls::kAutoForeground)
                                 : xls::kAutoForeground;
  const std::uint32_t back = fls ? palette_.Index(colors_.Resolve(FirstChild(pattern, "bgColor")), xls::kAutoBackground)
                                 : xls::kAutoBackground;
  std::string d;
  Append32(d, left | right << 4 | top << 8 | bottom << 12 | (left ? leftColor : 0) << 16 | (right ? rightColor : 0) << 23 |
                  directions << 30);
  Append32(d, (top ? topColor : 0) | (bottom ? bottomColor : 0) << 7 | diagonalColor << 14 | diagonal << 21 | fls << 26);
  Append16(d, static_cast<std::uint16_t>(fore | back << 7));
  return d;
}

void Writing::ChoosePalette() {
  std::vector<Rgb> wanted;
  auto want = [&](pugi::xml_node color) {
    if (auto rgb = colors_.Resolve(color)) wanted.push_back(*rgb);
  };
  for (pugi::xml_node f : Children(FirstChild(styles_, "fonts"))) want(FirstChild(f, "color"));
  for (pugi::xml_node f : runFonts_.children()) want(FirstChild(f, "color"));
  for (pugi::xml_node f : fills_)
    for (const char* which : {"fgColor", "bgColor"}) want(FirstChild(FirstChild(f, "patternFill"), which));
  for (pugi::xml_node b : borders_)
    for (pugi::xml_node edge : Children(b)) want(FirstChild(edge, "color"));
  for (pugi::xml_node dxf : Children(FirstChild(styles_, "dxfs"))) {  // conditional formats' colours
    want(FirstChild(FirstChild(dxf, "font"), "color"));
    for (const char* which : {"fgColor", "bgColor"}) want(FirstChild(FirstChild(FirstChild(dxf, "fill"), "patternFill"), which));
    for (pugi::xml_node edge : Children(FirstChild(dxf, "border"))) want(FirstChild(edge, "color"));
  }
  // A workbook read from .xls keeps its cell formats and so its palette.
  const BiffRecord* kept = nullptr;
  if (src_)
    for (const BiffRecord& r : src_->globals)
      if (r.type == biff::kPalette) kept = &r;
  if (kept) palette_ = xls::Palette::FromRecord(kept->data);
  palette_.Fit(wanted, !src_);
  if (palette_.approximated())
    warnings_.insert(std::to_string(palette_.approximated()) +
                     " colours beyond what the 56-colour palette holds (each shown as its nearest palette colour)");
}

std::string Writing::FontRecord(pugi::xml_node f) {
  std::string d;
  const double size = FirstChild(f, "sz").attribute("val").as_double(11);
  Append16(d, static_cast<std::uint16_t>(std::lround(size * 20)));
  // <b/> is on, <b val="0"/> off.
  auto flag = [&](const char* name) { return FirstChild(f, name) && ParseXmlBool(FirstChild(f, name).attribute("val").value(), true); };
  // Bit 0 repeats the weight's boldness for readers that look there.
  Append16(d, static_cast<std::uint16_t>((flag("b") ? 1 : 0) | (flag("i") ? 2 : 0) | (flag("strike") ? 8 : 0)));
  Append16(d, palette_.Index(colors_.Resolve(FirstChild(f, "color")), xls::kAutoFont));
  Append16(d, flag("b") ? 700 : 400);
  const std::string_view position = FirstChild(f, "vertAlign").attribute("val").value();
  Append16(d, position == "superscript" ? 1 : position == "subscript" ? 2 : 0);
  pugi::xml_node u = FirstChild(f, "u");
  const std::string_view uname = *u.attribute("val").value() ? u.attribute("val").value() : "single";
  const auto underline = std::find_if(xls::kUnderlineNames.begin(), xls::kUnderlineNames.end(),
                                      [&](const xls::UnderlineName& k) { return k.name == uname; });
  d += static_cast<char>(u && underline != xls::kUnderlineNames.end() ? underline->code : 0);
  d += static_cast<char>(std::min(FirstChild(f, "family").attribute("val").as_uint(0), 255u));
  d += static_cast<char>(std::min(FirstChild(f, "charset").attribute("val").as_uint(1), 255u));  // 1: the default set
  d += '\0';
  const char* name = FirstChild(f, FirstChild(f, "rFont") ? "rFont" : "name").attribute("val").value();
  AppendUnicodeString(d, *name ? name : "Arial", true);
  return d;
}

std::string& Writing::RunsOf(std::uint32_t item) {
  if (stringRuns_.size() <= item) stringRuns_.resize(item + 1);
  return stringRuns_[item];
}

std::string Writing::RunsOfRichText(std::string_view itemXml) {
  pugi::xml_document item;
  const std::string xml = "<si>" + std::string(itemXml) + "</si>";
  if (!item.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata)) return {};
  // FONT records are indexed past 4, which is never used.
  const std::size_t firstRunFont = std::max<std::size_t>(Children(FirstChild(styles_, "fonts")).size(), 4) + 1;
  std::string runs;
  std::size_t at = 0;  // UTF-16 units so far
  for (pugi::xml_node run : item.document_element().children()) {
    if (LocalName(run) != "r" && LocalName(run) != "t") continue;
    const pugi::xml_node t = LocalName(run) == "t" ? run : FirstChild(run, "t");
    std::ostringstream raw;
    t.print(raw, "", pugi::format_raw);
    const std::size_t length = xls::Utf16FromUtf8(StringItemText(raw.str())).size();
    const pugi::xml_node properties = FirstChild(run, "rPr");
    // Before the first run with properties the cell's own font holds.
    if (length > 0 && (properties || at > 0) && at < 32767) {
      std::uint16_t font = 0;  // a later run without properties: the default font
      if (properties) {
        std::ostringstream key;
        properties.print(key, "", pugi::format_raw);
        auto [it, added] =
            runFontIndex_.emplace(key.str(), static_cast<std::uint16_t>(firstRunFont + runFontIndex_.size()));
        if (added) runFonts_.append_copy(properties);
        font = it->second;
      }
      Append16(runs, static_cast<std::uint16_t>(at));
      Append16(runs, font);
    }
    at += length;
  }
  return runs;
}

void Writing::CollectStringRuns() {
  // Only items read from a file can have runs: the list ends at the last
  // of them, not at the texts a fill added.
  const SharedStrings& shared = book_.sharedStrings();
  for (std::uint32_t i = 0; i < shared.size(); ++i) {
    if (src_ && i < src_->stringRunCounts.size() && src_->stringRunCounts[i] > 0)
      RunsOf(i) = src_->stringRuns[i];
    else if (shared.IsRich(i))
      if (std::string runs = RunsOfRichText(shared.RawXml(i)); !runs.empty()) RunsOf(i) = std::move(runs);
  }
}

void Writing::StyleRecords(std::string& out) {
  std::vector<pugi::xml_node> fonts = Children(FirstChild(styles_, "fonts"));
  const std::size_t keptFonts = src_ ? src_->fontRecords.size() : 0;
  for (std::size_t i = 0; i < std::max<std::size_t>(fonts.size(), 4); ++i) {
    if (i < keptFonts) {
      WriteRecord(out, biff::kFont, src_->fontRecords[i]);
      continue;
    }
    pugi::xml_node f = i < fonts.size() ? fonts[i] : (fonts.empty() ? pugi::xml_node() : fonts[0]);
    WriteRecord(out, biff::kFont, FontRecord(f));
  }
  for (pugi::xml_node f : runFonts_.children()) WriteRecord(out, biff::kFont, FontRecord(f));
  for (pugi::xml_node fmt : Children(FirstChild(styles_, "numFmts"))) {
    std::string d;
    Append16(d, static_cast<std::uint16_t>(fmt.attribute("numFmtId").as_uint()));
    AppendUnicodeString(d, fmt.attribute("formatCode").value(), false);
    WriteRecord(out, biff::kFormat, d);
  }
  std::vector<pugi::xml_node> xfs = Children(FirstChild(styles_, "cellXfs"));
  if (!src_) {
    // Style formats 0-14 come before the cell formats in every .xls workbook.
    pugi::xml_node base = xfs.empty() ? pugi::xml_node() : xfs[0];
    for (int i = 0; i < 15; ++i) WriteRecord(out, biff::kXf, XfRecord(base, true));
  }
  if (xfs.empty()) WriteRecord(out, biff::kXf, XfRecord({}, false));
  for (std::size_t i = 0; i < xfs.size(); ++i) {
    if (src_ && i < src_->xfRecords.size()) WriteRecord(out, biff::kXf, src_->xfRecords[i]);
    else WriteRecord(out, biff::kXf, XfRecord(xfs[i], false));
  }
  if (!src_) {
    std::string d;
    Append16(d, 0x8000);  // built-in style 0 (Normal) on format 0
    d += '\0';
    d += static_cast<char>(0xFF);
    WriteRecord(out, biff::kStyle, d);
    if (palette_.changed()) WriteRecord(out, biff::kPalette, palette_.Record());
  }
}

void Writing::ColumnRecords(std::string& out, Sheet& sheet) {
  for (pugi::xml_node col : Children(FirstChild(SheetXml(sheet).document_element(), "cols"))) {
    const unsigned first = col.attribute("min").as_uint(1), last = std::min(col.attribute("max").as_uint(first), 257u);
    if (first < 1 || first > 256 || first > last) continue;
    std::string d;
    Append16(d, static_cast<std::uint16_t>(first - 1));
    Append16(d, static_cast<std::uint16_t>(last - 1));
    Append16(d, static_cast<std::uint16_t>(std::lround(std::clamp(col.attribute("width").as_double(8.43), 0.0, 255.0) * 256)));
    Append16(d, static_cast<std::uint16_t>(Xf(col.attribute("style").as_uint(0))));
    const unsigned level = std::min(col.attribute("outlineLevel").as_uint(0), 7u);
    Append16(d, static_cast<std::uint16_t>((ParseXmlBool(col.attribute("hidden").value()) ? 1 : 0) |
                                           (ParseXmlBool(col.attribute("customWidth").value()) ? 2 : 0) | level << 8 |
                                           (ParseXmlBool(col.attribute("collapsed").value()) ? 0x1000 : 0)));
    Append16(d, 0);
    WriteRecord(out, biff::kColInfo, d);
  }
}

void Writing::MergeRecords(std::string& out, Sheet& sheet) {
  std::vector<CellRange> ranges;
  for (const std::string& text : sheet.MergedRanges())
    if (auto r = ParseCellRange(text); r && r->last.row <= 65536 && r->last.col <= 256) ranges.push_back(*r);
  for (std::size_t i = 0; i < ranges.size(); i += 1026) {
    const std::size_t n = std::min<std::size_t>(1026, ranges.size() - i);
    std::string d;
    Append16(d, static_cast<std::uint16_t>(n));
    for (std::size_t k = i; k < i + n; ++k) {
      Append16(d, static_cast<std::uint16_t>(ranges[k].first.row - 1));
      Append16(d, static_cast<std::uint16_t>(ranges[k].last.row - 1));
      Append16(d, static_cast<std::uint16_t>(ranges[k].first.col - 1));
      Append16(d, static_cast<std::uint16_t>(ranges[k].last.col - 1));
    }
    WriteRecord(out, biff::kMergedCells, d);
  }
}

std::vector<std::uint8_t> Ptg(std::string_view bytes) { return {bytes.begin(), bytes.end()}; }

void Writing::FormulaRecords(std::string& out, const std::string& cellHead, const CellContent& v, std::uint16_t flags,
                             const std::vector<std::uint8_t>& rgce, const std::vector<std::uint8_t>& extra) {
  std::string d = cellHead;
  bool text = false;
  switch (v.type) {
    case CellType::Number: AppendDouble(d, v.number); break;
    case CellType::Boolean:
    case CellType::Error:
      d += static_cast<char>(v.type == CellType::Boolean ? 1 : 2);
      d += '\0';
      d += static_cast<char>(v.type == CellType::Boolean ? (v.boolean ? 1 : 0) : ErrorCode(v.text));
      d += std::string("\0\0\0\xFF\xFF", 5);
      break;
    default:
      text = v.type != CellType::Blank && !v.text.empty();
      d += static_cast<char>(text ? 0 : 3);
      d += std::string("\0\0\0\0\0\xFF\xFF", 7);
  }
  Append16(d, static_cast<std::uint16_t>(recalcOnLoad_ ? flags | 0x0001 : flags));  // fAlwaysCalc
  Append32(d, 0);
  Append16(d, static_cast<std::uint16_t>(rgce.size()));
  d.append(rgce.begin(), rgce.end());
  d.append(extra.begin(), extra.end());
  WriteRecord(out, biff::kFormula, d);
  if (text) {
    std::string s;
    AppendUnicodeString(s, v.text, false);
    WriteRecord(out, biff::kString, s);
  }
}

bool Writing::WriteFormula(std::string& out, Sheet& sheet, const Row& row, const Cell& cell, const std::string& head,
                           const CellContent& v, const XlsSheetSource* kept) {
  const auto r0 = row.number - 1, c0 = cell.col - 1;
  const CellAddress base{static_cast<int>(row.number), static_cast<int>(cell.col)};
  std::string ptgExp("\x01", 1);
  if (cell.formula == kNoIndex) {
    auto member = arrayMembers_.find({r0, c0});
    if (member == arrayMembers_.end()) return false;
    Append16(ptgExp, static_cast<std::uint16_t>(member->second.row - 1));
    Append16(ptgExp, static_cast<std::uint16_t>(member->second.col - 1));
    FormulaRecords(out, head, v, 0, Ptg(ptgExp), {});
    return true;
  }
  const Formula& f = sheet.formulas()[cell.formula];
  const auto text = sheet.FormulaText(static_cast<int>(row.number), static_cast<int>(cell.col));
  if (!text) return false;
  if (kept) {
    auto it = kept->formulas.find({r0, c0});
    if (it != kept->formulas.end() && it->second.text == *text) {
      // Unchanged: its own tokens go back as they came (a cell pointing to a
      // shared formula gets tokens of its own, as the group is not kept).
      const std::string& d = it->second.formula.data;
      const std::size_t cce = Read16(d, 20);
      const auto rgce = Ptg(std::string_view(d).substr(22, cce));
      if (!xls::FindFormulaLink(rgce)) {
        FormulaRecords(out, head, v, Read16(d, 14), rgce, Ptg(std::string_view(d).substr(22 + cce)));
        return true;
      }
    }
  }
  try {
    context_.sheet = static_cast<int>(std::find(sheets_.begin(), sheets_.end(), &sheet) - sheets_.begin());
    if (f.kind == FormulaKind::Array && !f.ref.empty()) {
      const auto range = ParseCellRange(f.ref);
      if (!range) return false;
      const xls::EncodedFormula e = xls::EncodeFormula(*text, xls::FormulaUse::Array, base, context_);
      Append16(ptgExp, static_cast<std::uint16_t>(r0));
      Append16(ptgExp, static_cast<std::uint16_t>(c0));
      FormulaRecords(out, head, v, 0, Ptg(ptgExp), {});
      std::string a;
      Append16(a, static_cast<std::uint16_t>(range->first.row - 1));
      Append16(a, static_cast<std::uint16_t>(range->last.row - 1));
      a += static_cast<char>(range->first.col - 1);
      a += static_cast<char>(range->last.col - 1);
      Append16(a, 0);
      Append32(a, 0);
      Append16(a, static_cast<std::uint16_t>(e.rgce.size()));
      a.append(e.rgce.begin(), e.rgce.end());
      a.append(e.extra.begin(), e.extra.end());
      WriteRecord(out, biff::kArray, a);
      return true;
    }
    const xls::EncodedFormula e = xls::EncodeFormula(*text, xls::FormulaUse::Cell, base, context_);
    FormulaRecords(out, head, v, 0, e.rgce, e.extra);
    return true;
  } catch (const WorkbookError& e) {
    warnings_.insert(std::string("formulas .xls cannot hold (their values are saved instead), such as ") + e.what());
    return false;
  }
}

CellContent Writing::Computed(const Sheet& sheet, int row, int col, CellContent cached) {
  if (!values_) values_.emplace(book_, WorkbookValues::Constants::KeepCached);
  try {
    return ContentOf(values_->Get(sheet, row, col));
  } catch (const CannotCompute&) {
    return cached;
  }
}

std::vector<std::string> Writing::NameRecords() {
  std::vector<std::string> out;
  const std::vector<DefinedName> model = book_.DefinedNames();
  auto encode = [&](const std::string& text, int scope) {
    context_.sheet = scope - 1;
    return xls::EncodeFormula(text, xls::FormulaUse::Name, CellAddress{1, 1}, context_);
  };
  if (!src_) {
    for (const DefinedName& n : model) {
      try {
        const xls::EncodedFormula e = encode(n.text, n.localSheetId + 1);
        out.push_back(NameRecordData({n.name, n.localSheetId + 1, n.hidden, false, e.rgce, e.extra}));
      } catch (const WorkbookError& error) {
        warnings_.insert(std::string("defined names .xls cannot hold, such as ") + n.name + " (" + error.what() + ")");
      }
    }
    return out;
  }
  // A name spelled out beside its built-in twin stays ordinary (two
  // built-in print areas would print twice); spelled out alone, it is the
  // built-in name the model holds.
  const std::set<std::pair<std::string, int>> builtin = BuiltinNames(src_->names);
  for (const NameRecord& n : src_->names) {
    std::string data;
    for (const DefinedName& m : model) {
      if (m.name != n.name || m.localSheetId + 1 != n.sheetScope) continue;
      try {
        context_.sheet = n.sheetScope - 1;
        if (xls::DecodeFormula(n.rgce, n.extra, xls::FormulaUse::Name, CellAddress{1, 1}, context_) == m.text) break;
        const xls::EncodedFormula e = encode(m.text, n.sheetScope);
        const bool spelled = n.spelled && builtin.count({n.name, n.sheetScope});
        data = NameRecordData({n.name, n.sheetScope, m.hidden, spelled, e.rgce, e.extra});
      } catch (const WorkbookError&) {
        // Kept as read.
      }
      break;
    }
    out.push_back(std::move(data));  // empty: the record as read
  }
  return out;
}

bool Writing::LinksChanged() const {
  if (!src_) return !context_.xti.empty();
  if (context_.xti.size() != src_->context.xti.size() || context_.supbooks.size() != src_->context.supbooks.size()) return true;
  for (std::size_t i = 0; i < context_.supbooks.size(); ++i)
    if (context_.supbooks[i].externNames.size() != src_->context.supbooks[i].externNames.size()) return true;
  return false;
}

// The formula record kept for a cell still shows the value the cell holds.
bool StillShows(const BiffRecord& f, const Cell& cell, std::string_view text) {
  const std::string& d = f.data;
  if (Read16(d, 12) != 0xFFFF) return cell.type == CellType::Number && cell.number == ReadDouble(d, 6);
  switch (d[6]) {
    case 0: case 3: return cell.type == CellType::String || (cell.type == CellType::SharedString && !text.empty());
    case 1: return cell.type == CellType::Boolean && (cell.number != 0) == (d[8] != 0);
    case 2: return cell.type == CellType::Error;
    default: return false;
  }
}

void Writing::CellTable(StreamSink& sink, Sheet& sheet, const XlsSheetSource* kept, std::vector<std::size_t>& dbcellAt) {
  std::string& out = sink.buffer;
  const bool counting = !sink.to;
  const auto& rows = sheet.rows();
  std::uint32_t firstRow = UINT32_MAX, lastRow = 0, firstCol = UINT32_MAX, lastCol = 0;
  for (const Row& r : rows) {
    if (r.number > 65536) { warnings_.insert("rows beyond row 65536"); continue; }
    firstRow = std::min(firstRow, r.number - 1);
    lastRow = std::max(lastRow, r.number);
    for (const Cell& c : r.cells)
      if (c.col <= 256) firstCol = std::min(firstCol, c.col - 1), lastCol = std::max(lastCol, c.col);
  }
  std::string dim;
  Append32(dim, firstRow == UINT32_MAX ? 0 : firstRow);
  Append32(dim, lastRow);
  Append16(dim, static_cast<std::uint16_t>(firstCol == UINT32_MAX ? 0 : firstCol));
  Append16(dim, static_cast<std::uint16_t>(lastCol));
  Append16(dim, 0);
  WriteRecord(out, biff::kDimensions, dim);

  arrayMembers_.clear();
  for (const Row& r : rows)
    for (const Cell& c : r.cells)
      if (c.formula != kNoIndex && sheet.formulas()[c.formula].kind == FormulaKind::Array)
        if (auto range = ParseCellRange(sheet.formulas()[c.formula].ref))
          for (int rr = range->first.row; rr <= std::min(range->last.row, 65536); ++rr)
            for (int cc = range->first.col; cc <= std::min(range->last.col, 256); ++cc)
              if (rr != static_cast<int>(r.number) || cc != static_cast<int>(c.col))
                arrayMembers_[{static_cast<std::uint32_t>(rr - 1), static_cast<std::uint32_t>(cc - 1)}] = {static_cast<int>(r.number), static_cast<int>(c.col)};
  for (std::size_t blockStart = 0; blockStart < rows.size();) {
    // A block holds the rows of one group of 32 row numbers.
    const std::uint32_t group = (rows[blockStart].number - 1) / 32;
    std::size_t blockEnd = blockStart;
    while (blockEnd < rows.size() && (rows[blockEnd].number - 1) / 32 == group && rows[blockEnd].number <= 65536) ++blockEnd;
    if (blockEnd == blockStart) break;  // rows past the .xls limit
    const std::size_t firstRowRecord = sink.size();
    for (std::size_t i = blockStart; i < blockEnd; ++i) {
      const Row& r = rows[i];
      std::uint16_t colMic = 0, colMac = 0;
      if (!r.cells.empty()) colMic = static_cast<std::uint16_t>(std::min<std::uint32_t>(r.cells.front().col - 1, 255)),
                            colMac = static_cast<std::uint16_t>(std::min<std::uint32_t>(r.cells.back().col, 256));
      std::string d;
      Append16(d, static_cast<std::uint16_t>(r.number - 1));
      Append16(d, colMic);
      Append16(d, colMac);
      Append16(d, r.hasHeight ? static_cast<std::uint16_t>(std::lround(std::clamp(r.height, 0.0, 409.0) * 20))
                              : kept ? kept->defaultRowHeightField : 0x80FF);
      Append32(d, 0);
      Append16(d, static_cast<std::uint16_t>((r.outlineLevel & 7) | (r.collapsed ? 0x10 : 0) | (r.hidden ? 0x20 : 0) |
                                             (r.customHeight ? 0x40 : 0) | (r.hasStyle && r.customFormat ? 0x80 : 0) | 0x100));
      Append16(d, static_cast<std::uint16_t>((r.hasStyle ? Xf(r.style) : 15) & 0x0FFF));
      WriteRecord(out, biff::kRow, d);
    }
    std::string db;
    std::size_t previousFirstCell = firstRowRecord + 24;  // where the second ROW record starts
    for (std::size_t i = blockStart; i < blockEnd; ++i) {
      const Row& r = rows[i];
      const std::size_t rowStart = sink.size();
      for (const Cell& c : r.cells) {
        if (c.col > 256) { warnings_.insert("columns beyond column IV"); continue; }
        const auto rw = static_cast<std::uint16_t>(r.number - 1), col = static_cast<std::uint16_t>(c.col - 1);
        std::string d;
        Append16(d, rw);
        Append16(d, col);
        Append16(d, static_cast<std::uint16_t>(Xf(c.style)));
        CellContent v = sheet.GetValue(static_cast<int>(r.number), static_cast<int>(c.col));
        if (computeResults_ && c.formula != kNoIndex)
          v = Computed(sheet, static_cast<int>(r.number), static_cast<int>(c.col), std::move(v));
        if (WriteFormula(out, sheet, r, c, d, v, kept)) continue;
        if (kept) {
          auto it = kept->formulas.find({rw, col});
          if (it != kept->formulas.end() && c.formula == kNoIndex && StillShows(it->second.formula, c, v.text)) {
            BiffRecord f = it->second.formula;
            Patch16(f.data, 4, static_cast<std::uint16_t>(Xf(c.style)));
            WriteRecord(out, f);
            for (const BiffRecord& follower : it->second.followers) WriteRecord(out, follower);
            if (Read16(f.data, 12) == 0xFFFF && f.data[6] == 0) {
              std::string s;
              AppendUnicodeString(s, v.text, false);
              WriteRecord(out, biff::kString, s);
            }
            continue;
          }
        }
        switch (v.type) {
          case CellType::Blank: WriteRecord(out, biff::kBlank, d); break;
          case CellType::Number:
            AppendDouble(d, v.number);
            WriteRecord(out, biff::kNumber, d);
            break;
          case CellType::Boolean:
          case CellType::Error:
            d += static_cast<char>(v.type == CellType::Boolean ? (v.boolean ? 1 : 0) : ErrorCode(v.text));
            d += static_cast<char>(v.type == CellType::Error ? 1 : 0);
            WriteRecord(out, biff::kBoolErr, d);
            break;
          default: {
            if (counting) ++strings_.references;
            const std::uint32_t item = c.type == CellType::SharedString ? c.text : strings_.Add(v.text);
            // An inline string of rich text gets its runs as a shared one does.
            if (c.type == CellType::InlineString && (item >= stringRuns_.size() || stringRuns_[item].empty()) &&
                c.text < sheet.texts().size())
              if (std::string runs = RunsOfRichText(sheet.texts()[c.text]); !runs.empty()) RunsOf(item) = std::move(runs);
            Append32(d, item);
            WriteRecord(out, biff::kLabelSst, d);
          }
        }
      }
      Append16(db, static_cast<std::uint16_t>(rowStart - previousFirstCell));
      previousFirstCell = rowStart;
    }
    dbcellAt.push_back(sink.size());
    std::string head;
    Append32(head, static_cast<std::uint32_t>(sink.size() - firstRowRecord));
    WriteRecord(out, biff::kDbCell, head + db);
    if (out.size() >= (1u << 16)) sink.Flush();
    blockStart = blockEnd;
  }
}

SheetBytes Writing::SheetStream(Sheet& sheet, std::vector<std::size_t>& dbcellAt, std::size_t& indexAt) {
  const XlsSheetSource* kept = nullptr;
  if (src_)
    if (auto it = src_->sheets.find(sheet.partName()); it != src_->sheets.end()) kept = &it->second;
  if (kept) warnings_.insert(kept->dropped.begin(), kept->dropped.end());
  SheetBytes sheetBytes;
  sheetBytes.kept = kept;
  std::string& out = sheetBytes.bytes;
  const pugi::xml_node ws = SheetXml(sheet).document_element();
  std::vector<BiffRecord> generated;
  const std::vector<BiffRecord>* records = kept ? &kept->records : nullptr;
  if (!records) {
    generated.push_back({biff::kBof, Bof(0x0010), {}});
    for (const BiffRecord& r : ReadRecords(xls::PrintFlagRecords(ws), 0, false)) generated.push_back(r);
    // The height of rows that give none, so a reader lays them out as the
    // workbook did (flagged as differing from the default font's).
    const pugi::xml_node format = FirstChild(ws, "sheetFormatPr");
    if (const double height = format.attribute("defaultRowHeight").as_double(0); height > 0 && height < 410) {
      std::string d;
      Append16(d, 0x0001);
      Append16(d, static_cast<std::uint16_t>(std::lround(height * 20)));
      generated.push_back({biff::kDefaultRowHeight, d, {}});
    }
    std::string wsBool;
    const bool fit = ParseXmlBool(FirstChild(FirstChild(ws, "sheetPr"), "pageSetUpPr").attribute("fitToPage").value());
    Append16(wsBool, static_cast<std::uint16_t>(0x04C1 | (fit ? 0x0100 : 0)));
    generated.push_back({xls::kWsBool, wsBool, {}});
    generated.push_back({XlsSource::kPlaceholder, XlsSource::kPageMark, {}});
    std::string w;
    Append16(w, static_cast<std::uint16_t>(std::clamp(format.attribute("baseColWidth").as_int(8), 0, 255)));
    generated.push_back({biff::kDefColWidth, w, {}});
    // The default width itself, in 256ths of a digit: without it a reader
    // works it out from its own idea of the default font. A sheet that
    // gives none has 64-pixel columns (8 digits of 7 pixels and padding).
    std::string standard;
    Append16(standard, static_cast<std::uint16_t>(std::lround(std::clamp(DefaultColumnWidth(sheet, 64.0 / 7), 0.0, 255.0) * 256)));
    generated.push_back({kStandardWidth, standard, {}});
    generated.push_back({XlsSource::kPlaceholder, {}, {}});
    generated.push_back({XlsSource::kPlaceholder, XlsSource::kDrawingMark, {}});
    std::string win;
    Append16(win, static_cast<std::uint16_t>(0x06B6 | (&sheet == sheets_.front() ? 0x0600 : 0) | xls::FrozenWindowFlags(ws)));
    for (int k = 0; k < 4; ++k) Append16(win, 0);
    Append16(win, 64);
    for (int k = 0; k < 3; ++k) Append16(win, 0);
    generated.push_back({biff::kWindow2, win, {}});
    generated.push_back({XlsSource::kPlaceholder, XlsSource::kPaneMark, {}});
    generated.push_back({XlsSource::kPlaceholder, XlsSource::kConditionalFormatMark, {}});
    generated.push_back({XlsSource::kPlaceholder, XlsSource::kHyperlinkMark, {}});
    generated.push_back({XlsSource::kPlaceholder, XlsSource::kValidationMark, {}});
    generated.push_back({biff::kEof, {}, {}});
    records = &generated;
  }
  // Merges follow the sheet's own window records, before EOF and before
  // any custom view (whose window and selection records are the view's).
  std::size_t mergesAfter = records->size() - 1;
  for (std::size_t i = 0; i < records->size(); ++i) {
    std::uint16_t t = (*records)[i].type;
    if (t == kUserViewBegin) break;
    if (t == biff::kWindow2 || t == kPane || t == kSelection || t == kScl || t == kPlv ||
        (t == XlsSource::kPlaceholder && (*records)[i].data == XlsSource::kPaneMark))
      mergesAfter = i + 1;
  }
  if (mergesAfter >= records->size()) mergesAfter = records->size() - 1;
  for (std::size_t i = 0; i < records->size(); ++i) {
    const BiffRecord& r = (*records)[i];
    if (i == mergesAfter) MergeRecords(out, sheet);
    if (r.type == XlsSource::kPlaceholder && r.data == XlsSource::kPageMark) {
      out += xls::PageRecords(ws, kept ? kept->marginRecords : 0x0F);
    } else if (r.type == XlsSource::kPlaceholder && r.data == XlsSource::kPaneMark) {
      out += xls::PaneRecord(ws);
    } else if (r.type == XlsSource::kPlaceholder && r.data == XlsSource::kValidationMark) {
      context_.sheet = static_cast<int>(std::find(sheets_.begin(), sheets_.end(), &sheet) - sheets_.begin());
      out += xls::ValidationRecords(ws, context_, warnings_, kept ? &kept->validationTokens : nullptr);
    } else if (r.type == XlsSource::kPlaceholder && r.data == XlsSource::kConditionalFormatMark) {
      context_.sheet = static_cast<int>(std::find(sheets_.begin(), sheets_.end(), &sheet) - sheets_.begin());
      auto color = [this](pugi::xml_node c, std::uint16_t automatic) { return c ? palette_.Index(colors_.Resolve(c), automatic) : automatic; };
      out += xls::ConditionalFormatRecords(ws, FirstChild(styles_, "dxfs"), context_, color, *records, warnings_);
    } else if (r.type == XlsSource::kPlaceholder && r.data == XlsSource::kDrawingMark) {
      out += pictures_.SheetRecords(sheet, warnings_);
    } else if (r.type == XlsSource::kPlaceholder && r.data == XlsSource::kHyperlinkMark) {
      out += xls::HyperlinkRecords(ws, book_.RelationshipsOf(sheet.partName()), warnings_);
    }
    if (r.type == XlsSource::kPlaceholder && !r.data.empty()) continue;
    if (r.type == XlsSource::kPlaceholder) {
      ColumnRecords(out, sheet);
      StreamSink counter;
      counter.flushed = sheetBytes.cellsAt = out.size();
      CellTable(counter, sheet, kept, dbcellAt);
      counter.Flush();
      sheetBytes.cellBytes = counter.size() - sheetBytes.cellsAt;
      continue;
    }
    WriteRecord(out, r);
    if (i == 0) {
      // Filled in once the sheet's place in the stream is known; sized now
      // (one offset per block of 32 row numbers), as inserting it later
      // would copy the whole sheet.
      std::size_t blocks = 0;
      std::uint32_t lastGroup = UINT32_MAX;
      for (const Row& row : sheet.rows())
        if (row.number <= 65536 && (row.number - 1) / 32 != lastGroup) ++blocks, lastGroup = (row.number - 1) / 32;
      indexAt = out.size();
      WriteRecord(out, biff::kIndex, std::string(16 + 4 * blocks, '\0'));
    }
  }
  return sheetBytes;
}

std::vector<CompoundFile::Piece> Writing::Stream() {
  // The palette comes first: the sheets' conditional formats name its colours.
  fills_ = Children(FirstChild(styles_, "fills"));
  borders_ = Children(FirstChild(styles_, "borders"));
  CollectStringRuns();
  ChoosePalette();
  std::vector<SheetBytes> sheetStreams;
  std::vector<std::vector<std::size_t>> dbcells;
  std::vector<std::size_t> indexes;
  std::vector<const XlsSheetSource*> whole;
  for (Sheet* sheet : sheets_) {
    const XlsSheetSource* kept = nullptr;
    if (src_)
      if (auto it = src_->sheets.find(sheet->partName()); it != src_->sheets.end()) kept = &it->second;
    std::vector<std::size_t> at;
    std::size_t indexAt = std::string::npos;
    SheetBytes s;
    if (kept && !kept->worksheet) {
      for (const BiffRecord& r : kept->records) WriteRecord(s.bytes, r);
      s.cellsAt = s.bytes.size();
    } else {
      s = SheetStream(*sheet, at, indexAt);
    }
    if (indexAt != std::string::npos && Read16(s.bytes, indexAt + 2) != 16 + 4 * at.size())
      throw std::logic_error("the .xls index record was sized for another number of row blocks");
    whole.push_back(kept);
    sheetStreams.push_back(std::move(s));
    dbcells.push_back(std::move(at));
    indexes.push_back(indexAt);
  }

  std::string out;
  std::vector<std::size_t> boundSheetAt;
  auto boundSheets = [&] {
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
      std::string d(4, '\0');
      const SheetVisibility v = sheets_[i]->visibility();
      d += static_cast<char>(v == SheetVisibility::Hidden ? 1 : v == SheetVisibility::VeryHidden ? 2 : 0);
      d += static_cast<char>(whole[i] ? whole[i]->sheetType : 0);
      AppendUnicodeString(d, sheets_[i]->name(), true);
      boundSheetAt.push_back(out.size() + 4);
      WriteRecord(out, biff::kBoundSheet, d);
    }
  };
  std::vector<BiffRecord> generated;
  const std::vector<BiffRecord>* globals = src_ ? &src_->globals : nullptr;
  if (!globals) {
    generated.push_back({biff::kBof, Bof(0x0005), {}});
    std::string cp;
    Append16(cp, 1200);
    generated.push_back({biff::kCodePage, cp, {}});
    std::string win;
    for (std::uint16_t v : {0x0000, 0x0000, 0x4000, 0x2000, 0x0038, 0x0000, 0x0000, 0x0001, 0x0258}) Append16(win, v);
    generated.push_back({biff::kWindow1, win, {}});
    std::string dm;
    Append16(dm, book_.date1904() ? 1 : 0);
    generated.push_back({biff::kDateMode, dm, {}});
    generated.push_back({XlsSource::kPlaceholder, {}, {}});
    generated.push_back({XlsSource::kPlaceholder, {}, {}});
    generated.push_back({biff::kEof, {}, {}});
    globals = &generated;
  }
  const std::vector<std::string> names = NameRecords();
  const bool links = LinksChanged();
  bool linksWritten = false;
  auto writeLinks = [&] {
    if (linksWritten) return;
    if (links) out += WriteLinkRecords(context_);
    linksWritten = true;
    if (!src_)
      for (const std::string& n : names) WriteRecord(out, biff::kName, n);
  };
  int placeholders = 0;
  std::size_t nameIndex = 0;
  // The string table: where it stood, else before the globals' EOF.
  std::size_t sstAt = 0, sstBytes = 0;
  auto countStrings = [&] {
    if (sstBytes) return;
    StreamSink counter;
    counter.flushed = sstAt = out.size();
    WriteStringTable(counter, strings_, src_, stringRuns_);
    counter.Flush();
    sstBytes = counter.size() - sstAt;
  };
  for (std::size_t i = 0; i < globals->size(); ++i) {
    const BiffRecord& r = (*globals)[i];
    if (r.type == XlsSource::kPlaceholder && r.data == XlsSource::kStringsMark) {
      countStrings();
      continue;
    }
    if (r.type == XlsSource::kPlaceholder) {
      if (placeholders++ == 0) {
        StyleRecords(out);
      } else {
        boundSheets();
        if (!src_) writeLinks();
      }
      continue;
    }
    const bool link = r.type == biff::kSupBook || r.type == biff::kExternName || r.type == biff::kExternSheet;
    if (link && links) {
      writeLinks();
      continue;
    }
    if (r.type == biff::kName) {
      writeLinks();
      const std::string& replaced = nameIndex < names.size() ? names[nameIndex] : std::string();
      ++nameIndex;
      if (!replaced.empty()) {
        WriteRecord(out, biff::kName, replaced);
        continue;
      }
    }
    if (r.type == biff::kEof && i + 1 == globals->size()) {
      writeLinks();
      out += pictures_.GroupRecord();  // pictures of sheets made from .xlsx; a workbook read from .xls keeps its own
      countStrings();
    }
    WriteRecord(out, r);
  }

  std::size_t start = out.size() + sstBytes;
  for (std::size_t i = 0; i < sheetStreams.size(); ++i) {
    Patch32(out, boundSheetAt[i], static_cast<std::uint32_t>(start));
    std::string& s = sheetStreams[i].bytes;
    if (indexes[i] != std::string::npos) {
      const std::size_t at = indexes[i] + 4;
      const Sheet& sheet = *sheets_[i];
      std::uint32_t first = 0, last = 0;
      if (!sheet.rows().empty()) first = sheet.rows().front().number - 1, last = std::min<std::uint32_t>(sheet.rows().back().number, 65536);
      Patch32(s, at + 4, first);
      Patch32(s, at + 8, last);
      for (std::size_t k = 0; k < dbcells[i].size(); ++k) Patch32(s, at + 16 + 4 * k, static_cast<std::uint32_t>(start + dbcells[i][k]));
    }
    start += s.size() + sheetStreams[i].cellBytes;
  }
  // Both passes write the same bytes: the model does not change in between.
  auto checked = [](StreamSink& sink, std::size_t at, std::size_t bytes) {
    sink.Flush();
    if (sink.size() - at != bytes) throw std::logic_error("a part of an .xls stream came out another size than counted");
  };
  std::vector<CompoundFile::Piece> pieces;
  if (sstBytes) {  // globals without their EOF (a damaged file) have no place for it
    pieces.push_back({out.substr(0, sstAt), 0, {}});
    pieces.push_back({{}, sstBytes, [this, at = sstAt, bytes = sstBytes, checked](std::ostream& to) {
                        StreamSink sink;
                        sink.flushed = at;
                        sink.to = &to;
                        WriteStringTable(sink, strings_, src_, stringRuns_);
                        checked(sink, at, bytes);
                      }});
    out.erase(0, sstAt);
  }
  pieces.push_back({std::move(out), 0, {}});
  for (std::size_t i = 0; i < sheetStreams.size(); ++i) {
    SheetBytes& s = sheetStreams[i];
    std::string rest = s.bytes.substr(s.cellsAt);
    s.bytes.resize(s.cellsAt);
    pieces.push_back({std::move(s.bytes), 0, {}});
    if (s.cellBytes) {
      pieces.push_back({{}, s.cellBytes, [this, &sheet = *sheets_[i], kept = s.kept, at = s.cellsAt, bytes = s.cellBytes, checked](std::ostream& to) {
                          StreamSink sink;
                          sink.flushed = at;
                          sink.to = &to;
                          std::vector<std::size_t> dbcells;
                          CellTable(sink, sheet, kept, dbcells);
                          checked(sink, at, bytes);
                        }});
    }
    pieces.push_back({std::move(rest), 0, {}});
  }
  return pieces;
}

}  // namespace

std::set<std::string> XlsOnlyContent(const Workbook& book) {
  static const std::map<std::uint16_t, const char*> kinds{
      // Conditional formats and hyperlinks the model holds are no longer records.
      {0x0041, "split panes"},
      {0x01B0, "conditional formats with number formats, alignment, font names, diagonal borders or formulas it cannot read"},
      {0x0879, "conditional formats of the newer kinds"},
      {0x01B8, "hyperlinks of kinds other than web, mail, file and workbook links"}, {0x001C, "notes"}};
  std::set<std::string> found;
  if (!book.xlsSource_) return found;
  for (const auto& [part, sheet] : book.xlsSource_->sheets)
    if (!sheet.worksheet) found.insert("chart sheets (written empty)");
  for (const auto& [part, sheet] : book.xlsSource_->sheets)
    for (const BiffRecord& r : sheet.records)
      if (auto it = kinds.find(r.type); it != kinds.end()) found.insert(it->second);
  return found;
}

void XlsWriter::Write(const std::filesystem::path& path) {
  warnings_.clear();
  std::vector<Sheet*> sheets;
  for (auto& sheet : book_.sheets_) {
    if (sheet->kind() != SheetKind::Worksheet && !(book_.xlsSource_ && book_.xlsSource_->sheets.count(sheet->partName()))) {
      warnings_.insert("chart sheets and other non-worksheet sheets (\"" + sheet->name() + "\")");
      continue;
    }
    sheets.push_back(sheet.get());
  }
  if (sheets.empty()) throw WorkbookError("cannot save as .xls: the workbook has no worksheet to write");
  if (!book_.xlsSource_) {
    for (const std::string& part : book_.PartNames())
      if (part.find("comments") != std::string::npos) warnings_.insert("notes");
  }
  pugi::xml_node styles = book_.stylesDoc_->document_element();
  Writing writing(book_, styles, sheets, warnings_, book_.xlsSource_.get());
  CompoundFile file = book_.xlsSource_ ? book_.xlsSource_->container : CompoundFile::Empty();
  file.PutStream("Workbook", {}, writing.Stream());
  if (!warnings_.empty()) {
    std::string list;
    for (const std::string& w : warnings_) list += (list.empty() ? "" : ", ") + w;
    std::cerr << "warning: saving " << path.string() << " as .xls leaves out what that format cannot hold yet: " << list
              << "; save as .xlsx to keep them\n";
  }
  std::filesystem::path temp = path;
  temp += ".partial";
  try {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    file.Write(out);
    out.close();
    if (!out) throw WorkbookError("cannot write " + temp.string() + ": check that the folder exists and is writable");
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) throw WorkbookError("cannot replace " + path.string() + ": " + ec.message());
}

}  // namespace vemo::wb
