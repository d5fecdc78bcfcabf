// The pictures anchored to a worksheet's cells, read from its drawing part.
// Anything else a drawing holds (charts, shapes, groups) declines the sheet.
#pragma once
#include <vector>

#include "render/picture_decode.h"

namespace vemo::wb {
class Sheet;
class Workbook;
}  // namespace vemo::wb

namespace vemo::render {

// A corner of a picture: a 1-based cell plus an offset into it in points.
struct CellPoint {
  int row = 1, col = 1;
  double dx = 0, dy = 0;
};

struct SheetPicture {
  CellPoint from;
  // The far corner as a cell point (two-cell anchors) or a size in points
  // (one-cell anchors: `to.row` is 0 then and dx/dy hold the size).
  CellPoint to;
  Surface image;
};

// Throws RenderDeclined for drawing content other than pictures, and for a
// picture whose format it cannot read.
std::vector<SheetPicture> ReadSheetPictures(wb::Workbook& book, const wb::Sheet& sheet);

}  // namespace vemo::render
