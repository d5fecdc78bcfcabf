#include "workbook/xls/xls_kept_shift.h"

#include <optional>

#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/xls_source.h"

namespace vemo::wb {

namespace {

enum : std::uint16_t {
  kNote = 0x001C, kObj = 0x005D, kMsoDrawing = 0x00EC, kCondFmt = 0x01B0, kCf = 0x01B1, kHlink = 0x01B8, kHlinkTooltip = 0x0800,
  kCondFmt12 = 0x0879, kCf12 = 0x087A,
};
constexpr std::uint16_t kClientAnchor = 0xF010;

class KeptShift {
 public:
  KeptShift(XlsSheetSource& sheet, const LineInsertion& ins, const xls::FormulaContext& context)
      : sheet_(sheet), ins_(ins), context_(context), rows_(ins.axis == LineInsertion::Axis::Rows) {}

  void Run() {
    std::vector<BiffRecord> kept;
    std::vector<DrawingPart> drawing;
    std::size_t drawingSize = 0;
    int depth = 0;
    bool dropFormats = false;  // the CF records after a dropped CONDFMT go too
    for (BiffRecord& r : sheet_.records) {
      if (r.type == biff::kBof) ++depth;
      const bool nested = depth > 1;
      if (r.type == biff::kEof) --depth;
      if (nested) {
        kept.push_back(std::move(r));
        continue;
      }
      bool keep = true;
      switch (r.type) {
        case kHlink: keep = Range(r.data, 0); break;
        case kHlinkTooltip: keep = r.data.size() < 10 || Range(r.data, 2); break;
        case kNote: keep = Cell(r.data, 0); break;
        case kCondFmt: dropFormats = !ConditionalFormat(r); keep = !dropFormats; break;
        case kCf: keep = !dropFormats; break;
        case kCondFmt12: case kCf12:
          keep = false;
          sheet_.dropped.insert("conditional formats of the newer kind on an edited sheet");
          break;
        case kMsoDrawing:
          drawing.push_back({kept.size(), drawingSize, 0});
          drawingSize += r.data.size();
          break;
        case kObj:
          // A drawing too long for its record goes on in CONTINUE records
          // after the object record, joined to it here.
          if (!r.joints.empty() && !drawing.empty()) {
            drawing.push_back({kept.size(), drawingSize, r.joints.front()});
            drawingSize += r.data.size() - r.joints.front();
          }
          break;
        default: break;
      }
      if (keep) kept.push_back(std::move(r));
    }
    sheet_.records = std::move(kept);
    ShiftAnchors(drawing, drawingSize);
  }

 private:
  // The position after the insertion (0-based), nullopt past the last line.
  std::optional<std::uint32_t> Moved(std::uint32_t p, bool row) const {
    if (row != rows_ || static_cast<int>(p) < ins_.at - 1) return p;
    const std::uint32_t to = p + static_cast<std::uint32_t>(ins_.count);
    return to <= (row ? 65535u : 255u) ? std::optional(to) : std::nullopt;
  }

  bool Patch(std::string& d, std::size_t at, bool row) {
    auto to = Moved(Read16(d, at), row);
    if (!to) return false;
    Patch16(d, at, static_cast<std::uint16_t>(*to));
    return true;
  }

  // A Ref8U rectangle: first row, last row, first column, last column.
  bool Range(std::string& d, std::size_t at) {
    if (d.size() < at + 8) return true;
    std::string copy = d;
    if (!Patch(copy, at, true) || !Patch(copy, at + 2, true) || !Patch(copy, at + 4, false) || !Patch(copy, at + 6, false)) {
      sheet_.dropped.insert("hyperlinks pushed past the last row or column");
      return false;
    }
    d = std::move(copy);
    return true;
  }

  bool Cell(std::string& d, std::size_t at) {
    if (d.size() < at + 4) return true;
    std::string copy = d;
    if (!Patch(copy, at, true) || !Patch(copy, at + 2, false)) {
      sheet_.dropped.insert("notes pushed past the last row or column");
      return false;
    }
    d = std::move(copy);
    return true;
  }

  // A conditional format moves when its rules refer to no cells; rules that
  // do would need their references moved too, so the format is dropped.
  bool ConditionalFormat(BiffRecord& r) {
    const std::size_t at = &r - sheet_.records.data();
    for (std::size_t k = at + 1; k < sheet_.records.size() && sheet_.records[k].type == kCf; ++k)
      if (RefersToCells(sheet_.records[k].data)) {
        sheet_.dropped.insert("conditional formats whose rules refer to cells, on an edited sheet");
        return false;
      }
    std::string copy = r.data;
    bool fits = copy.size() >= 14 && Range(copy, 4);
    const std::size_t n = fits ? Read16(copy, 12) : 0;
    for (std::size_t k = 0; fits && k < n; ++k) fits = Range(copy, 14 + k * 8);
    if (!fits) {
      sheet_.dropped.insert("conditional formats pushed past the last row or column");
      return false;
    }
    r.data = std::move(copy);
    return true;
  }

  bool RefersToCells(const std::string& d) const {
    if (d.size() < 6) return false;
    const std::size_t cce1 = Read16(d, 2), cce2 = Read16(d, 4);
    if (cce1 + cce2 > d.size() - 6) return true;
    const auto* end = reinterpret_cast<const std::uint8_t*>(d.data()) + d.size();
    for (auto [from, n] : {std::pair{end - cce1 - cce2, cce1}, std::pair{end - cce2, cce2}}) {
      if (!n) continue;
      try {
        const std::string text = xls::DecodeFormula({from, n}, {}, xls::FormulaUse::ConditionalFormat, {1, 1}, context_);
        // Text that an insertion before everything changes holds a reference.
        if (ShiftFormula(text, "S", "S", {LineInsertion::Axis::Rows, 1, 1}) != text ||
            ShiftFormula(text, "S", "S", {LineInsertion::Axis::Columns, 1, 1}) != text)
          return true;
      } catch (const WorkbookError&) {
        return true;
      }
    }
    return false;
  }

  // Anchors of pictures, charts, shapes and note boxes in the sheet's drawing,
  // which runs on across its MSODRAWING records.
  struct DrawingPart {
    std::size_t record, offset, from;  // index in the records, offset in the drawing, first byte in the record
  };

  void ShiftAnchors(const std::vector<DrawingPart>& parts, std::size_t size) {
    auto byteAt = [&](std::size_t offset) -> char* {
      for (std::size_t i = parts.size(); i-- > 0;)
        if (offset >= parts[i].offset) {
          std::string& d = sheet_.records[parts[i].record].data;
          const std::size_t at = parts[i].from + offset - parts[i].offset;
          return at < d.size() ? &d[at] : nullptr;
        }
      return nullptr;
    };
    auto read16 = [&](std::size_t at) {
      char* lo = byteAt(at);
      char* hi = byteAt(at + 1);
      return static_cast<std::uint16_t>((lo ? static_cast<std::uint8_t>(*lo) : 0) | (hi ? static_cast<std::uint8_t>(*hi) : 0) << 8);
    };
    auto write16 = [&](std::size_t at, std::uint16_t v) {
      if (char* lo = byteAt(at)) *lo = static_cast<char>(v & 0xFF);
      if (char* hi = byteAt(at + 1)) *hi = static_cast<char>(v >> 8);
    };
    for (std::size_t at = 0; at + 8 <= size;) {
      const std::uint16_t verInstance = read16(at), type = read16(at + 2);
      const std::uint32_t length = read16(at + 4) | static_cast<std::uint32_t>(read16(at + 6)) << 16;
      // A container (some writers give the drawing's version 0): its children follow.
      if ((verInstance & 0xF) == 0xF || (type >= 0xF000 && type <= 0xF005)) {
        at += 8;
        continue;
      }
      if (type == kClientAnchor && length >= 18) {
        // col1, dx1, row1, dy1, col2, dx2, row2, dy2 after the flags
        for (std::size_t field : {2u, 6u, 10u, 14u}) {
          const bool row = field == 6 || field == 14;
          const std::uint16_t v = read16(at + 8 + field);
          // A right or bottom edge at the very start of the first line
          // inserted ends before it: the shape does not grow.
          if (field >= 10 && row == rows_ && v == ins_.at - 1 && read16(at + 10 + field) == 0) continue;
          // An anchor pushed past the last line stays on it.
          write16(at + 8 + field, static_cast<std::uint16_t>(Moved(v, row).value_or(row ? 65535u : 255u)));
        }
      }
      at += 8 + length;
    }
  }

  XlsSheetSource& sheet_;
  const LineInsertion& ins_;
  const xls::FormulaContext& context_;
  bool rows_;
};

}  // namespace

void ShiftKeptXlsRecords(Workbook& book, const Sheet& sheet, const LineInsertion& insertion) {
  if (!book.xlsSource_) return;
  auto it = book.xlsSource_->sheets.find(sheet.partName());
  if (it == book.xlsSource_->sheets.end() || !it->second.worksheet) return;
  KeptShift(it->second, insertion, book.xlsSource_->context).Run();
}

}  // namespace vemo::wb
