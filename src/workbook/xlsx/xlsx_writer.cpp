#include "workbook/xlsx/xlsx_writer.h"

#include <charconv>
#include <cstring>
#include <optional>

#include "workbook/package_parts.h"
#include "workbook/surface_support.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_values.h"
#include "workbook/xlsx/xlsx_reader.h"
#include "workbook/model/xml_access.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {

namespace {
constexpr std::string_view kMarker = "VEMO-SHEETDATA";

void AppendNumber(std::string& out, double value) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendUnsigned(std::string& out, std::uint64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendColumn(std::string& out, std::uint32_t col) {
  char letters[4];
  int n = 0;
  while (col > 0) {
    letters[n++] = static_cast<char>('A' + (col - 1) % 26);
    col = (col - 1) / 26;
  }
  while (n > 0) out += letters[--n];
}

class SheetDataWriter {
 public:
  // With a stream, `out` is its buffer and each row is handed over as written.
  // With `values`, formula cells are written with their results computed
  // again instead of the cached ones.
  SheetDataWriter(const Sheet& sheet, std::string& out, DeflateStream* stream, WorkbookValues* values)
      : sheet_(sheet), out_(out), stream_(stream), values_(values) {
    const std::string& p = sheet.prefix();
    rowOpen_ = "<" + p + "row r=\"";
    rowClose_ = "</" + p + "row>";
    cellOpen_ = "<" + p + "c r=\"";
    cellClose_ = "</" + p + "c>";
    vOpen_ = "<" + p + "v>";
    vClose_ = "</" + p + "v>";
    fOpen_ = "<" + p + "f";
    fClose_ = "</" + p + "f>";
    isOpen_ = "<" + p + "is>";
    isClose_ = "</" + p + "is>";
  }

  void Write() {
    for (const Row& row : sheet_.rows()) {
      WriteRow(row);
      if (stream_) stream_->Poll();
    }
  }

 private:
  void Flag(const char* name, bool on) {
    if (!on) return;
    out_ += ' ';
    out_ += name;
    out_ += "=\"1\"";
  }

  void WriteRow(const Row& row) {
    out_ += rowOpen_;
    AppendUnsigned(out_, row.number);
    out_ += '"';
    if (row.style != 0 || row.hasStyle) {
      out_ += " s=\"";
      AppendUnsigned(out_, row.style);
      out_ += '"';
    }
    Flag("customFormat", row.customFormat);
    if (row.hasHeight) {
      out_ += " ht=\"";
      AppendNumber(out_, row.height);
      out_ += '"';
    }
    Flag("hidden", row.hidden);
    Flag("customHeight", row.customHeight);
    if (row.outlineLevel) {
      out_ += " outlineLevel=\"";
      AppendUnsigned(out_, row.outlineLevel);
      out_ += '"';
    }
    Flag("collapsed", row.collapsed);
    Flag("thickTop", row.thickTop);
    Flag("thickBot", row.thickBot);
    if (row.extra != kNoIndex) out_ += sheet_.texts()[row.extra];
    if (row.cells.empty()) {
      out_ += "/>";
      return;
    }
    out_ += '>';
    for (const Cell& cell : row.cells) WriteCell(row.number, cell);
    out_ += rowClose_;
  }

  void WriteCell(std::uint32_t rowNumber, const Cell& cell) {
    out_ += cellOpen_;
    AppendColumn(out_, cell.col);
    AppendUnsigned(out_, rowNumber);
    out_ += '"';
    if (cell.style != 0) {
      out_ += " s=\"";
      AppendUnsigned(out_, cell.style);
      out_ += '"';
    }
    std::optional<CellContent> computed;
    if (cell.formula != kNoIndex && values_) {
      try {
        computed = ContentOf(values_->Get(sheet_, static_cast<int>(rowNumber), static_cast<int>(cell.col)));
      } catch (const CannotCompute&) {
        // The cached result stays; the reader computes it (fullCalcOnLoad).
      }
    }
    switch (computed ? computed->type : cell.type) {
      case CellType::SharedString: out_ += " t=\"s\""; break;
      case CellType::InlineString: out_ += " t=\"inlineStr\""; break;
      case CellType::Boolean: out_ += " t=\"b\""; break;
      case CellType::Error: out_ += " t=\"e\""; break;
      case CellType::String: out_ += " t=\"str\""; break;
      case CellType::Date: out_ += " t=\"d\""; break;
      case CellType::Blank:
      case CellType::Number: break;
    }
    if (cell.extra != kNoIndex) out_ += sheet_.texts()[cell.extra];
    bool hasValue = computed ? computed->type != CellType::Blank
                             : cell.type != CellType::Blank &&
                                   !(cell.text == kNoIndex && (cell.type == CellType::String ||
                                                               cell.type == CellType::Error || cell.type == CellType::Date));
    if (cell.formula == kNoIndex && !hasValue) {
      out_ += "/>";
      return;
    }
    out_ += '>';
    if (cell.formula != kNoIndex) WriteFormula(sheet_.formulas()[cell.formula]);
    if (hasValue && computed) WriteComputed(*computed);
    else if (hasValue) WriteValue(cell);
    out_ += cellClose_;
  }

  void WriteComputed(const CellContent& value) {
    out_ += vOpen_;
    switch (value.type) {
      case CellType::Number: AppendNumber(out_, value.number); break;
      case CellType::Boolean: out_ += value.boolean ? '1' : '0'; break;
      default: AppendCellText(out_, value.text); break;
    }
    out_ += vClose_;
  }

  void WriteFormula(const Formula& f) {
    out_ += fOpen_;
    switch (f.kind) {
      case FormulaKind::Shared: out_ += " t=\"shared\""; break;
      case FormulaKind::Array: out_ += " t=\"array\""; break;
      case FormulaKind::DataTable: out_ += " t=\"dataTable\""; break;
      case FormulaKind::Normal: break;
    }
    if (!f.ref.empty()) {
      out_ += " ref=\"";
      AppendEscaped(out_, f.ref, true);
      out_ += '"';
    }
    if (f.sharedIndex >= 0) {
      out_ += " si=\"";
      AppendUnsigned(out_, static_cast<std::uint64_t>(f.sharedIndex));
      out_ += '"';
    }
    out_ += f.extraAttributes;
    if (f.text.empty()) {
      out_ += "/>";
      return;
    }
    out_ += '>';
    AppendCellText(out_, f.text);
    out_ += fClose_;
  }

  void WriteValue(const Cell& cell) {
    if (cell.type == CellType::InlineString) {
      out_ += isOpen_;
      out_ += sheet_.texts()[cell.text];
      out_ += isClose_;
      return;
    }
    out_ += vOpen_;
    switch (cell.type) {
      case CellType::Number:
        if (cell.text != kNoIndex) AppendEscaped(out_, sheet_.texts()[cell.text], false);
        else AppendNumber(out_, cell.number);
        break;
      case CellType::SharedString: AppendUnsigned(out_, cell.text); break;
      case CellType::Boolean: out_ += cell.number != 0 ? '1' : '0'; break;
      default: AppendCellText(out_, sheet_.texts()[cell.text]); break;
    }
    out_ += vClose_;
  }

  const Sheet& sheet_;
  std::string& out_;
  DeflateStream* stream_;
  WorkbookValues* values_;
  std::string rowOpen_, rowClose_, cellOpen_, cellClose_, vOpen_, vClose_, fOpen_, fClose_, isOpen_, isClose_;
};

// The kept XML of the sheet with its cells written in place of sheetData,
// into `out` (a stream's buffer when `stream` is given).
void WriteWorksheetInto(Sheet& sheet, std::string& out, DeflateStream* stream) {
  pugi::xml_node root = SheetXml(sheet).document_element();
  auto used = sheet.UsedRange();
  pugi::xml_node dimension = FirstChild(root, "dimension");
  if (!dimension && used) dimension = EnsureChildInOrder(root, "dimension", kWorksheetOrder, kWorksheetOrderSize);
  // An unchanged sheet keeps the dimension its producer wrote (some count formatted empty rows).
  if (dimension && (sheet.cellsChanged() || !dimension.attribute("ref"))) {
    std::string ref = used ? FormatCellRange(*used) : "A1";
    if (pugi::xml_attribute a = dimension.attribute("ref")) a = ref.c_str();
    else dimension.append_attribute("ref") = ref.c_str();
  }
  pugi::xml_node sheetData = FirstChild(root, "sheetData");
  pugi::xml_node marker = sheetData.append_child(pugi::node_comment);
  marker.set_value(std::string(kMarker).c_str());
  std::string shell = WriteXmlPart(SheetXml(sheet));
  sheetData.remove_child(marker);

  std::string markerText = "<!--" + std::string(kMarker) + "-->";
  auto at = shell.find(markerText);
  if (at == std::string::npos) throw WorkbookError("internal error writing " + sheet.partName());
  out.append(shell, 0, at);
  std::optional<WorkbookValues> values;
  if (ResultsToComputeOnSave(sheet.book())) values.emplace(sheet.book(), WorkbookValues::Constants::KeepCached);
  SheetDataWriter(sheet, out, stream, values ? &*values : nullptr).Write();
  out.append(shell, at + markerText.size());
}

}  // namespace

std::string XlsxWriter::WriteWorksheet(Sheet& sheet) {
  std::string out;
  std::size_t cells = 0;
  for (const Row& row : sheet.rows()) cells += row.cells.size();
  out.reserve(sheet.rows().size() * 40 + cells * 48 + 4096);
  WriteWorksheetInto(sheet, out, nullptr);
  return out;
}

DeflatedBytes XlsxWriter::WriteWorksheetDeflated(Sheet& sheet, unsigned threads) {
  DeflateStream stream(threads);
  WriteWorksheetInto(sheet, stream.buffer(), &stream);
  return stream.Finish();
}

void XlsxWriter::DropCalcChain() {
  Workbook& b = book_;
  for (const Relationship& rel : b.RelationshipsOf(b.workbookPart_)) {
    if (RelationshipKind(rel.type) != "calcChain") continue;
    RemoveRelationship(b, b.workbookPart_, rel.id);
    b.RemovePart(rel.target);
  }
}

std::future<DeflatedBytes> XlsxWriter::StartSharedStrings() {
  Workbook& b = book_;
  if (!b.sharedStrings_.changed()) return {};
  if (b.sharedStringsPart_.empty()) {
    std::string dir = b.workbookPart_.substr(0, b.workbookPart_.rfind('/') + 1);
    b.sharedStringsPart_ = dir + "sharedStrings.xml";
    AddRelationship(b, b.workbookPart_,
                    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings",
                    "sharedStrings.xml");
    AddContentTypeOverride(b, b.sharedStringsPart_,
                           "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
  }
  std::uint64_t references = 0;
  for (const auto& sheet : b.sheets_)
    for (const Row& row : sheet->rows())
      for (const Cell& cell : row.cells)
        if (cell.type == CellType::SharedString) ++references;
  const ZipPackage::Entry* kept = b.package_->Find(b.sharedStringsPart_);
  if (kept && kept->stored) {
    b.package_->Put(b.sharedStringsPart_, b.sharedStrings_.Write(references));
    return {};
  }
  // A small table is written here: a thread costs more than it saves.
  constexpr std::size_t kItemsWorthAThread = 1000;
  if (b.sharedStrings_.size() < kItemsWorthAThread) {
    b.package_->PutDeflated(b.sharedStringsPart_, b.sharedStrings_.WriteDeflated(references));
    return {};
  }
  // The entry takes its place in the package now, its bytes when they are done.
  if (!kept) b.package_->Put(b.sharedStringsPart_, std::string());
  const SharedStrings& strings = b.sharedStrings_;
  return std::async(std::launch::async, [&strings, references] { return strings.WriteDeflated(references); });
}

void XlsxWriter::Write(const std::filesystem::path& path) {
  PutParts();
  book_.package_->WriteFile(path);
}

void XlsxWriter::PutParts() {
  Workbook& b = book_;
  bool cellsChanged = b.structureChanged_;
  for (const auto& sheet : b.sheets_) cellsChanged = cellsChanged || sheet->cellsChanged();
  if (cellsChanged) DropCalcChain();
  // The string table is written on a thread of its own while the sheets are
  // written here: both only read the model, and a bill's table is several
  // megabytes of text.
  std::future<DeflatedBytes> strings = StartSharedStrings();
  if (b.styles_.changed()) b.package_->Put(b.stylesPart_, WriteXmlPart(*b.stylesDoc_));

  for (const auto& sheet : b.sheets_) {
    if (pugi::xml_node entry = NodeOf(sheet->entry_)) {
      entry.attribute("name").set_value(sheet->name().c_str());
      pugi::xml_attribute state = entry.attribute("state");
      const char* wanted = sheet->visibility() == SheetVisibility::Hidden       ? "hidden"
                           : sheet->visibility() == SheetVisibility::VeryHidden ? "veryHidden"
                                                                               : nullptr;
      if (wanted) {
        if (!state) state = entry.append_attribute("state");
        state.set_value(wanted);
      } else if (state) {
        entry.remove_attribute(state);
      }
    }
    if (sheet->kind() != SheetKind::Worksheet) continue;
    // The sheet part is deflated as it is written, never held whole; a part
    // its producer kept stored stays stored.
    const ZipPackage::Entry* kept = b.package_->Find(sheet->partName());
    if (kept && kept->stored) b.package_->Put(sheet->partName(), WriteWorksheet(*sheet));
    else b.package_->PutDeflated(sheet->partName(), WriteWorksheetDeflated(*sheet));
  }
  EditXmlPart(b, b.workbookPart_);  // sheet names and states live there
  for (auto& [name, part] : b.xmlParts_)
    if (part.edited) b.package_->Put(name, WriteXmlPart(*part.doc));
  if (strings.valid()) b.package_->PutDeflated(b.sharedStringsPart_, strings.get());
  for (const std::string& name : b.removedParts_) b.package_->Remove(name);
}

}  // namespace vemo::wb
