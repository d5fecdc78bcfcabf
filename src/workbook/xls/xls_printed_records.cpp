// Workbook::PrintedContentNotInModel for a workbook read from .xls: what the
// sheet's kept records would put on paper. A page drawn from the model alone
// would leave these out, so a renderer must not draw the sheet by itself.
#include <cstdint>

#include "workbook/workbook.h"
#include "workbook/xls/xls_source.h"

namespace vemo::wb {
namespace {

enum : std::uint16_t { kObj = 0x005D, kCondFmt = 0x01B0, kCondFmt12 = 0x0879 };
// The common object data every OBJ record starts with: its object type and
// whether the object prints.
constexpr std::uint16_t kCommonObject = 0x0015, kPrints = 0x0010;
constexpr std::uint16_t kGroup = 0x00, kChart = 0x05, kPicture = 0x08, kNoteObject = 0x19;

std::uint16_t At(const std::string& d, std::size_t i) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(d[i]) | static_cast<std::uint8_t>(d[i + 1]) << 8);
}

// The phrase for a drawing object that prints, or null for one that does
// not (notes print only when asked for, filter buttons never).
const char* PrintedObject(const std::string& d) {
  if (d.size() < 10 || At(d, 0) != kCommonObject) return "a drawing object it cannot read";
  const std::uint16_t type = At(d, 4);
  if (type == kNoteObject || !(At(d, 8) & kPrints)) return nullptr;
  if (type == kPicture) return "a picture";
  if (type == kChart) return "a chart";
  return type == kGroup ? "a group of shapes" : "a shape or other drawing object";
}

}  // namespace

std::vector<std::string> Workbook::PrintedContentNotInModel(const Sheet& sheet) const {
  std::vector<std::string> found;
  auto add = [&found](const std::string& what) {
    for (const std::string& f : found)
      if (f == what) return;
    found.push_back(what);
  };
  if (!xlsSource_) return found;
  const auto kept = xlsSource_->sheets.find(sheet.partName());
  if (kept == xlsSource_->sheets.end()) return found;
  if (!kept->second.worksheet) add("a macro or dialog sheet");
  int depth = 0;  // an embedded chart's own records sit between BOF and EOF
  for (const BiffRecord& r : kept->second.records) {
    if (r.type == biff::kBof) ++depth;
    const bool nested = depth > 1;
    if (r.type == biff::kEof) --depth;
    if (nested) continue;
    if (r.type == kObj) {
      if (const char* what = PrintedObject(r.data)) add(what);
    } else if (r.type == kCondFmt || r.type == kCondFmt12) {
      add("conditional formats");
    }
  }
  return found;
}

}  // namespace vemo::wb
