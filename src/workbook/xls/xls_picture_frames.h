// The picture frames of an .xls sheet's drawing, read from the records the
// sheet keeps (MSODRAWING, OBJ): which stored picture each shows and the
// cells it is anchored to, as the records are now (insertions included).
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "workbook/xls/biff_records.h"

namespace vemo::wb::xls {

struct PictureFrame {
  std::uint32_t blip = 0;  // the picture's 1-based index in the store
  // How the frame follows its cells: 0 moves and sizes with them, 2 moves
  // only, 3 neither (the anchor's flags).
  std::uint16_t follow = 0;
  // Top left and bottom right corners, 0-based cells; offsets in 1024ths of
  // the column's width and 256ths of the row's height.
  int col1 = 0, dx1 = 0, row1 = 0, dy1 = 0, col2 = 0, dx2 = 0, row2 = 0, dy2 = 0;
  std::string name, description;
};

// The frames anchored to cells, in drawing order. What else the drawing
// holds (charts, shapes and text boxes, form controls, embedded objects,
// pictures inside groups, frames with damaged anchors) is named in
// `others`, one phrase each; notes are left to the caller. Every length is
// checked against the records: damaged drawings give fewer frames, never a
// read past them.
std::vector<PictureFrame> ReadPictureFrames(const std::vector<BiffRecord>& records, std::set<std::string>& others);

}  // namespace vemo::wb::xls
