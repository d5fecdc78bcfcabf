#include "workbook/xls/xls_picture_frames.h"

#include <string_view>

#include "workbook/xls/biff_formula_internal.h"
#include "workbook/xls/officeart_records.h"

namespace vemo::wb::xls {
namespace {

constexpr std::uint16_t kObj = 0x005D, kImageData = 0x007F, kMsoDrawing = 0x00EC;
constexpr std::uint16_t kSpContainer = 0xF004, kShape = 0xF00A, kOptions = 0xF00B, kChildAnchor = 0xF00F,
                        kClientAnchor = 0xF010;
constexpr std::uint16_t kPictureFrameShape = 75;
constexpr std::uint32_t kDeletedShape = 0x0008, kOleShape = 0x0010;
constexpr std::uint16_t kPictureProperty = 0x0104, kNameProperty = 0x0380, kDescriptionProperty = 0x0381;
// Containers nest a few levels (drawing, groups, shapes); deeper is damage.
constexpr int kMaxDepth = 32;

// What an object record (its ftCmo part) says the object is, for the warning.
const char* ObjectKind(const std::string& obj) {
  if (obj.size() < 6 || Read16(obj, 0) != 0x0015) return nullptr;
  switch (Read16(obj, 4)) {
    case 0x00: case 0x08: case 0x19: return nullptr;  // groups, pictures (read from the drawing), notes
    case 0x05: return "charts";
    case 0x07: case 0x0B: case 0x0C: case 0x0D: case 0x0E: case 0x0F: case 0x10: case 0x11: case 0x12: case 0x13:
    case 0x14: return "form controls";
    default: return "shapes and text boxes";
  }
}

class DrawingReader {
 public:
  DrawingReader(std::string_view s, std::set<std::string>& others) : s_(s), others_(others) {}

  std::vector<PictureFrame> Read() {
    Walk(0, s_.size(), 0);
    return std::move(frames_);
  }

 private:
  void Walk(std::size_t at, std::size_t end, int depth) {
    if (depth > kMaxDepth) return;
    for (auto r = ReadArtRecord(s_, at, end); r; r = ReadArtRecord(s_, r->end, end)) {
      if (r->type == kSpContainer) Shape(*r);
      else if (r->container()) Walk(r->body, r->end, depth + 1);
    }
  }

  void Shape(const ArtRecord& container) {
    std::uint16_t type = 0;
    std::uint32_t flags = 0;
    PictureFrame frame;
    std::optional<ArtRecord> anchor;
    bool child = false;
    for (auto r = ReadArtRecord(s_, container.body, container.end); r; r = ReadArtRecord(s_, r->end, container.end)) {
      if (r->type == kShape && r->end - r->body >= 8) type = r->instance, flags = Read32(s_, r->body + 4);
      else if (r->type == kOptions) Options(*r, frame);
      else if (r->type == kClientAnchor && r->end - r->body >= 18) anchor = r;
      else if (r->type == kChildAnchor) child = true;
    }
    if (type != kPictureFrameShape || frame.blip == 0 || (flags & kDeletedShape)) return;
    if (flags & kOleShape) return void(others_.insert("embedded objects"));
    if (!anchor) return void(others_.insert(child ? "pictures inside groups" : "pictures not anchored to cells"));
    const std::size_t a = anchor->body;
    frame.follow = Read16(s_, a) & 3;
    frame.col1 = Read16(s_, a + 2), frame.dx1 = Read16(s_, a + 4), frame.row1 = Read16(s_, a + 6), frame.dy1 = Read16(s_, a + 8);
    frame.col2 = Read16(s_, a + 10), frame.dx2 = Read16(s_, a + 12), frame.row2 = Read16(s_, a + 14), frame.dy2 = Read16(s_, a + 16);
    // Offsets past the cell's end are damage a reader clamps; a corner
    // beyond the sheet or a frame ending before it starts is left out.
    const bool fits = frame.col1 <= 255 && frame.col2 <= 255 &&
                      (frame.col2 > frame.col1 || (frame.col2 == frame.col1 && frame.dx2 >= frame.dx1)) &&
                      (frame.row2 > frame.row1 || (frame.row2 == frame.row1 && frame.dy2 >= frame.dy1));
    if (!fits) return void(others_.insert("pictures with damaged anchors"));
    frames_.push_back(std::move(frame));
  }

  // The properties of a shape: fixed 6-byte entries, then the data of the
  // complex ones (names) in the same order.
  void Options(const ArtRecord& r, PictureFrame& frame) {
    const std::size_t count = r.instance;
    if (count * 6 > r.end - r.body) return;
    std::size_t complex = r.body + count * 6;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint16_t id = Read16(s_, r.body + 6 * i);
      const std::uint32_t value = Read32(s_, r.body + 6 * i + 2);
      if (!(id & 0x8000)) {
        if ((id & 0x3FFF) == kPictureProperty) frame.blip = value;
        continue;
      }
      if (value > r.end - complex) return;
      const std::string_view data = s_.substr(complex, value);
      complex += value;
      if ((id & 0x3FFF) == kNameProperty) frame.name = Text(data);
      if ((id & 0x3FFF) == kDescriptionProperty) frame.description = Text(data);
    }
  }

  static std::string Text(std::string_view utf16) {
    std::size_t count = utf16.size() / 2;
    while (count > 0 && Read16(utf16, 2 * (count - 1)) == 0) --count;  // the terminating zero
    return Utf8FromBiff(reinterpret_cast<const std::uint8_t*>(utf16.data()), count, true);
  }

  std::string_view s_;
  std::set<std::string>& others_;
  std::vector<PictureFrame> frames_;
};

}  // namespace

std::vector<PictureFrame> ReadPictureFrames(const std::vector<BiffRecord>& records, std::set<std::string>& others) {
  // The drawing runs on across the sheet's MSODRAWING records, and across
  // CONTINUE records after an object record when too long for its own.
  std::string drawing;
  int depth = 0;
  for (const BiffRecord& r : records) {
    if (r.type == biff::kBof) ++depth;
    const bool nested = depth > 1;  // a chart's own records
    if (r.type == biff::kEof) --depth;
    if (nested) continue;
    if (r.type == kMsoDrawing) drawing += r.data;
    if (r.type == kImageData) others.insert("pictures stored the old way (IMDATA records)");
    if (r.type != kObj) continue;
    if (!r.joints.empty() && !drawing.empty()) drawing.append(r.data, r.joints.front());
    if (const char* kind = ObjectKind(r.data)) others.insert(kind);
  }
  return DrawingReader(drawing, others).Read();
}

}  // namespace vemo::wb::xls
