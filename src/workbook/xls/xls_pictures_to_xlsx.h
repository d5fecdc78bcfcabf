// The pictures of a workbook read from .xls carried into an .xlsx write: each
// picture frame of a worksheet's kept drawing records becomes a picture of a
// drawing part, anchored to the same cells. The records stay what the
// workbook holds (later insertions move them, an .xls save writes them
// back); the parts exist only for the one write.
#pragma once
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "workbook/xls/xls_blip_store.h"
#include "workbook/xlsx/package_pictures.h"

namespace vemo::wb {

class Sheet;
class Workbook;
struct XlsSource;

class XlsxPicturesOfXls {
 public:
  // Reads the frames and gives each sheet with pictures its drawing element
  // (taken away again when this goes), before the sheets are written.
  XlsxPicturesOfXls(Workbook& book, const XlsSource& source);
  ~XlsxPicturesOfXls();
  XlsxPicturesOfXls(const XlsxPicturesOfXls&) = delete;
  XlsxPicturesOfXls& operator=(const XlsxPicturesOfXls&) = delete;

  // What the drawings hold that is not carried, one phrase each.
  const std::set<std::string>& leftOut() const { return leftOut_; }
  // Puts the drawing and media parts into the package the sheets were
  // written into, until this goes.
  void PutParts(ZipPackage& package);

 private:
  struct SheetPictures {
    std::string part, relationshipId;
    std::vector<DrawingPicture> pictures;
    std::vector<std::size_t> blips;  // each picture's index in store_
    pugi::xml_node element;          // the drawing element added to the sheet
  };
  std::vector<xls::PictureFile> store_;
  std::vector<SheetPictures> sheets_;
  std::set<std::string> leftOut_;
  std::optional<PictureDrawings> drawings_;
};

}  // namespace vemo::wb
