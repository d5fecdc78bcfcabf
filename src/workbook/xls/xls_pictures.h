// Pictures of a workbook made as .xlsx, written as .xls drawing records: one
// store of the picture data for the workbook (MSODRAWINGGROUP) and, on each
// sheet, a drawing of picture frames anchored to cells (MSODRAWING), each
// frame with its OBJ record.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vemo::wb {
class Sheet;
class Workbook;
}  // namespace vemo::wb

namespace vemo::wb::xls {

class PictureRecords {
 public:
  explicit PictureRecords(Workbook& book) : book_(book) {}
  // The MSODRAWING and OBJ records of the PNG and JPEG pictures on `sheet`,
  // empty when it has none. What else its drawing holds (charts, shapes,
  // pictures in other formats) is named in `warnings`.
  std::string SheetRecords(const Sheet& sheet, std::set<std::string>& warnings);
  // The MSODRAWINGGROUP record holding every picture the sheets so far
  // use; empty when there is none. Written after the sheets' records.
  std::string GroupRecord() const;

 private:
  struct Blip {
    std::string bytes;
    bool png;
    std::uint32_t uses = 0;
  };
  Workbook& book_;
  std::vector<Blip> blips_;
  std::map<std::string, std::size_t> blipOf_;  // picture bytes -> index in blips_
  std::vector<std::uint32_t> shapesPerDrawing_;  // frames + the group, per sheet with pictures
};

}  // namespace vemo::wb::xls
