#include "workbook/xls/xls_pictures_to_xlsx.h"

#include <algorithm>
#include <cmath>

#include "workbook/model/xml_access.h"
#include "workbook/xls/xls_picture_frames.h"
#include "workbook/xls/xls_sheet_grid.h"
#include "workbook/xls/xls_source.h"

namespace vemo::wb {
namespace {

constexpr const char* kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string FreeRelationshipId(const std::vector<Relationship>& rels) {
  for (int n = 1;; ++n) {
    const std::string id = "rId" + std::to_string(n);
    if (std::none_of(rels.begin(), rels.end(), [&](const Relationship& r) { return r.id == id; })) return id;
  }
}

DrawingPicture::Marker MarkerOf(const xls::SheetGrid& grid, int col, int dx, int row, int dy) {
  return {col, row, std::llround(grid.ColumnOffset(col, dx)), std::llround(grid.RowOffset(row, dy))};
}

}  // namespace

XlsxPicturesOfXls::XlsxPicturesOfXls(Workbook& book, const XlsSource& source) {
  for (std::size_t i = 0; i < book.SheetCount(); ++i) {
    Sheet& sheet = book.GetSheet(i);
    const auto kept = source.sheets.find(sheet.partName());
    if (sheet.kind() != SheetKind::Worksheet || kept == source.sheets.end() || !kept->second.worksheet) continue;
    const std::vector<xls::PictureFrame> frames = xls::ReadPictureFrames(kept->second.records, leftOut_);
    if (frames.empty()) continue;
    if (store_.empty()) store_ = xls::ReadBlipStore(source.globals);
    const xls::SheetGrid grid(sheet);
    SheetPictures pictures;
    for (const xls::PictureFrame& f : frames) {
      if (f.blip >= store_.size()) {
        leftOut_.insert("pictures missing from the picture store");
        continue;
      }
      if (store_[f.blip].bytes.empty()) {
        leftOut_.insert(store_[f.blip].problem);
        continue;
      }
      DrawingPicture p;
      p.from = MarkerOf(grid, f.col1, f.dx1, f.row1, f.dy1);
      p.to = MarkerOf(grid, f.col2, f.dx2, f.row2, f.dy2);
      p.editAs = f.follow == 2 ? "oneCell" : f.follow == 3 ? "absolute" : "";
      p.name = f.name;
      p.description = f.description;
      pictures.pictures.push_back(std::move(p));
      pictures.blips.push_back(f.blip);
    }
    pugi::xml_node root = SheetXml(sheet).document_element();
    if (pictures.pictures.empty() || FirstChild(root, "drawing")) continue;
    pictures.part = sheet.partName();
    pictures.relationshipId = FreeRelationshipId(book.RelationshipsOf(sheet.partName()));
    pictures.element = EnsureChildInOrder(root, "drawing", kWorksheetOrder, kWorksheetOrderSize);
    if (!root.attribute("xmlns:r")) pictures.element.append_attribute("xmlns:r") = kRelationships;
    pictures.element.append_attribute("r:id") = pictures.relationshipId.c_str();
    sheets_.push_back(std::move(pictures));
  }
}

XlsxPicturesOfXls::~XlsxPicturesOfXls() {
  for (SheetPictures& s : sheets_) s.element.parent().remove_child(s.element);
}

void XlsxPicturesOfXls::PutParts(ZipPackage& package) {
  if (sheets_.empty()) return;
  drawings_.emplace(package);
  for (SheetPictures& s : sheets_) {
    for (std::size_t i = 0; i < s.pictures.size(); ++i) {
      const xls::PictureFile& file = store_[s.blips[i]];
      s.pictures[i].media = drawings_->Media(file.bytes, file.extension);
    }
    drawings_->AddDrawing(s.part, s.relationshipId, s.pictures);
  }
  drawings_->Finish();
}

}  // namespace vemo::wb
