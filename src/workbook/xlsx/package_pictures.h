// Pictures stored in a package: media parts and their content types, and
// drawing parts placing pictures on a sheet's cells.
#pragma once
#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "workbook/zip/zip_package.h"

namespace vemo::wb {

// The content type of a picture file by its extension ("png"), null for one
// not known.
const char* PictureContentType(std::string_view extension);
// Adds to the content types element a Default for each of `extensions` it
// does not type yet; answers whether it added one.
bool AddPictureDefaults(pugi::xml_node types, const std::set<std::string>& extensions);
// "xl/media/Image1.PNG" -> "xl/media/image1": part names compare without case or extension.
std::string PartStem(const std::string& partName);

struct DrawingPicture {
  struct Marker {
    int col = 0, row = 0;  // 0-based
    std::int64_t colOff = 0, rowOff = 0;  // EMU
  };
  Marker from, to;
  std::string editAs;  // empty: moves and sizes with its cells; "oneCell" or "absolute"
  std::string name, description;
  std::string media;  // the media part holding the picture
};

// Drawing parts added to a package for one write: every entry they add or
// change is put back as it was when this goes, so the package (and the
// workbook holding it) is what it was before.
class PictureDrawings {
 public:
  explicit PictureDrawings(ZipPackage& package);
  ~PictureDrawings();
  PictureDrawings(const PictureDrawings&) = delete;
  PictureDrawings& operator=(const PictureDrawings&) = delete;

  // The media part holding `bytes`, added on first use (imageN.<extension>).
  std::string Media(std::string bytes, const std::string& extension);
  // A drawing part of `pictures` for `sheetPart`, related to it as
  // `relationshipId` (the id the sheet's drawing element names).
  void AddDrawing(const std::string& sheetPart, const std::string& relationshipId,
                  const std::vector<DrawingPicture>& pictures);
  // The content types of the parts added; called after the last AddDrawing.
  void Finish();

 private:
  void Put(const std::string& name, std::string bytes);
  std::string FreeName(const std::string& stemPrefix);

  ZipPackage& package_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;  // entry -> its bytes before
  std::set<std::string> taken_;  // PartStem() of every part name
  std::map<std::string, std::string> mediaOf_;  // picture bytes -> media part
  std::set<std::string> extensions_;
  std::vector<std::string> drawings_;
};

}  // namespace vemo::wb
