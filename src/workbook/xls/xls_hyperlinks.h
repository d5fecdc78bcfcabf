// Hyperlinks between the HLINK and HLINKTOOLTIP records of an .xls sheet and
// the model: <hyperlinks> in the worksheet XML, an external target (a web
// address, a file) as a relationship of the sheet's part, a place in the
// workbook as `location`, with the text shown and the tooltip (the window a
// link names to open in is not kept). A link of another kind (a moniker this
// reader does not know) stays kept as its records.
#pragma once
#include <set>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "workbook/xls/biff_records.h"

namespace vemo::wb {
struct Relationship;
}

namespace vemo::wb::xls {

inline constexpr std::uint16_t kHlink = 0x01B8, kHlinkTooltip = 0x0800;

class HyperlinkReader {
 public:
  // Takes an HLINK, or the HLINKTOOLTIP after one taken; false when the
  // record stays kept.
  bool Take(const BiffRecord& r);
  // The <hyperlinks> element, "" when none was taken.
  std::string Xml() const;
  // The sheet's relationships part, "" when no link has an external target.
  std::string Relationships() const;

 private:
  struct Link {
    std::string ref, target, location, display, tooltip;
  };
  std::vector<Link> links_;
  bool lastTaken_ = false;
};

// HLINK and HLINKTOOLTIP records for the hyperlinks of `worksheet`, external
// targets found in `relationships` (the sheet part's); links .xls cannot
// hold are named in `warnings`.
std::string HyperlinkRecords(pugi::xml_node worksheet, const std::vector<Relationship>& relationships,
                             std::set<std::string>& warnings);

}  // namespace vemo::wb::xls
