#include "workbook/xls/xls_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "workbook/model/xml_access.h"
#include "workbook/sheet.h"
#include "workbook/surface_support.h"
#include "workbook/workbook.h"
#include "workbook/xls/biff_records.h"
#include "workbook/xls/xls_sheet_grid.h"

namespace vemo::wb::xls {
namespace {

constexpr std::uint16_t kMsoDrawing = 0x00EC, kMsoDrawingGroup = 0x00EB, kObj = 0x005D;
// Shape ids come in blocks of 1024 per drawing.
constexpr std::uint32_t kShapesPerBlock = 1024;

// An OfficeArt record header: version and instance, type, length.
void Header(std::string& out, std::uint16_t version, std::uint16_t instance, std::uint16_t type, std::size_t length) {
  Append16(out, static_cast<std::uint16_t>(version | instance << 4));
  Append16(out, type);
  Append32(out, static_cast<std::uint32_t>(length));
}

std::string Container(std::uint16_t type, std::uint16_t instance, const std::string& body) {
  std::string out;
  Header(out, 0xF, instance, type, body.size());
  return out + body;
}

// A stand-in for the 16-byte id the store gives each picture: two 64-bit
// FNV-1a hashes of its bytes. Readers only compare the ids.
std::string PictureId(const std::string& bytes) {
  std::string id;
  for (std::uint64_t seed : {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull}) {
    std::uint64_t h = seed;
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
    for (int k = 0; k < 8; ++k) id += static_cast<char>(h >> (8 * k) & 0xFF);
  }
  return id;
}

Corner ReadCorner(pugi::xml_node marker) {
  const auto number = [&](const char* name) { return std::atof(FirstChild(marker, name).text().get()); };
  return {static_cast<int>(number("col")), static_cast<int>(number("row")), number("colOff"), number("rowOff")};
}

std::string EmbeddedTarget(pugi::xml_node blip) {
  for (pugi::xml_attribute a : blip.attributes())
    if (std::string_view(a.name()).ends_with(":embed")) return a.value();
  return {};
}

// The OBJ record of picture frame `id`: a picture that prints, of no
// clipboard format in particular.
std::string PictureObject(std::uint16_t id) {
  std::string d;
  Append16(d, 0x0015), Append16(d, 0x0012), Append16(d, 0x0008), Append16(d, id), Append16(d, 0x6011);
  d.append(12, '\0');
  Append16(d, 0x0007), Append16(d, 0x0002), Append16(d, 0xFFFF);
  Append16(d, 0x0008), Append16(d, 0x0002), Append16(d, 0x0001);
  Append32(d, 0);
  return d;
}

}  // namespace

std::string PictureRecords::SheetRecords(const Sheet& sheet, std::set<std::string>& warnings) {
  std::string drawing;
  for (const Relationship& rel : book_.RelationshipsOf(sheet.partName()))
    if (rel.type.ends_with("/drawing") && !rel.external && book_.HasPart(rel.target)) drawing = rel.target;
  if (drawing.empty()) return {};
  const std::vector<Relationship> rels = book_.RelationshipsOf(drawing);
  const SheetGrid grid(sheet);
  struct Frame {
    Corner from, to;
    std::size_t blip;
  };
  std::vector<Frame> frames;
  for (pugi::xml_node anchor : ReadXmlPart(book_, drawing).document_element().children()) {
    const std::string_view kind = LocalName(anchor);
    if (kind != "twoCellAnchor" && kind != "oneCellAnchor" && kind != "absoluteAnchor") continue;
    const pugi::xml_node pic = FirstChild(anchor, "pic");
    if (!pic) {
      warnings.insert("charts and shapes");
      continue;
    }
    const std::string id = EmbeddedTarget(FirstChild(FirstChild(pic, "blipFill"), "blip"));
    const auto rel = std::find_if(rels.begin(), rels.end(), [&](const Relationship& r) { return r.id == id; });
    std::string bytes = rel != rels.end() && !rel->external && book_.HasPart(rel->target) ? book_.ReadRawPart(rel->target) : "";
    const bool png = bytes.starts_with("\x89PNG"), jpeg = bytes.starts_with("\xFF\xD8");
    if (!png && !jpeg) {
      warnings.insert("pictures in formats other than PNG and JPEG, and linked pictures");
      continue;
    }
    const pugi::xml_node ext = FirstChild(anchor, "ext");
    const double cx = ext.attribute("cx").as_double(), cy = ext.attribute("cy").as_double();
    Frame frame;
    if (kind == "absoluteAnchor") {
      const pugi::xml_node pos = FirstChild(anchor, "pos");
      frame.from = grid.Beyond({}, pos.attribute("x").as_double(), pos.attribute("y").as_double());
    } else {
      frame.from = ReadCorner(FirstChild(anchor, "from"));
    }
    frame.to = kind == "twoCellAnchor" ? ReadCorner(FirstChild(anchor, "to")) : grid.Beyond(frame.from, cx, cy);
    auto [it, added] = blipOf_.emplace(bytes, blips_.size());
    if (added) blips_.push_back({std::move(bytes), png});
    ++blips_[it->second].uses;
    frame.blip = it->second;
    frames.push_back(frame);
  }
  if (frames.empty()) return {};

  // The drawing: the group every frame belongs to, then one shape a frame.
  const auto drawingId = static_cast<std::uint16_t>(shapesPerDrawing_.size() + 1);
  const std::uint32_t firstShape = drawingId * kShapesPerBlock;
  const std::size_t count = std::min<std::size_t>(frames.size(), kShapesPerBlock - 2);
  shapesPerDrawing_.push_back(static_cast<std::uint32_t>(count + 1));
  std::string group;
  Header(group, 1, 0, 0xF009, 16);
  group.append(16, '\0');
  Header(group, 2, 0, 0xF00A, 8);
  Append32(group, firstShape), Append32(group, 0x0005);  // a group, the drawing's top one
  std::vector<std::string> shapes;
  for (std::size_t i = 0; i < count; ++i) {
    std::string s;
    Header(s, 2, 75, 0xF00A, 8);  // a picture frame
    Append32(s, firstShape + 1 + static_cast<std::uint32_t>(i)), Append32(s, 0x0A00);  // with an anchor and a type
    Header(s, 3, 1, 0xF00B, 6);
    Append16(s, 0x4104), Append32(s, static_cast<std::uint32_t>(frames[i].blip + 1));  // its picture, from 1
    Header(s, 0, 0, 0xF010, 18);
    Append16(s, 0);  // moved and sized with the cells
    grid.Append(s, frames[i].from, true), grid.Append(s, frames[i].from, false);
    grid.Append(s, frames[i].to, true), grid.Append(s, frames[i].to, false);
    Header(s, 0, 0, 0xF011, 0);
    shapes.push_back(Container(0xF004, 0, s));
  }
  std::size_t shapesLength = 0;
  for (const std::string& s : shapes) shapesLength += s.size();
  const std::string groupShape = Container(0xF004, 0, group);
  std::string first;
  Header(first, 0xF, 0, 0xF002, 16 + 8 + groupShape.size() + shapesLength);
  Header(first, 0, drawingId, 0xF008, 8);
  Append32(first, static_cast<std::uint32_t>(count + 1)), Append32(first, firstShape + static_cast<std::uint32_t>(count));
  Header(first, 0xF, 0, 0xF003, groupShape.size() + shapesLength);
  first += groupShape;
  // Each frame's shape ends a drawing record; its OBJ record follows.
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    WriteRecord(out, kMsoDrawing, i == 0 ? first + shapes[i] : shapes[i]);
    WriteRecord(out, kObj, PictureObject(static_cast<std::uint16_t>(i + 1)));
  }
  if (frames.size() > count) warnings.insert("pictures beyond the 1022nd on a sheet");
  return out;
}

std::string PictureRecords::GroupRecord() const {
  if (blips_.empty()) return {};
  std::string store;
  for (const Blip& blip : blips_) {
    const std::string id = PictureId(blip.bytes);
    std::string picture;
    Header(picture, 0, blip.png ? 0x6E0 : 0x46A, blip.png ? 0xF01E : 0xF01D, 17 + blip.bytes.size());
    picture += id;
    picture += '\xFF';
    picture += blip.bytes;
    const std::uint8_t type = blip.png ? 6 : 5;
    Header(store, 2, type, 0xF007, 36 + picture.size());
    store += static_cast<char>(type), store += static_cast<char>(type);
    store += id;
    Append16(store, 0x00FF);
    Append32(store, static_cast<std::uint32_t>(picture.size()));
    Append32(store, blip.uses), Append32(store, 0);
    store.append(4, '\0');
    store += picture;
  }
  std::uint32_t shapes = 0;
  for (std::uint32_t n : shapesPerDrawing_) shapes += n;
  std::string block;
  Header(block, 0, 0, 0xF006, 16 + 8 * shapesPerDrawing_.size());
  Append32(block, static_cast<std::uint32_t>(shapesPerDrawing_.size()) * kShapesPerBlock + shapesPerDrawing_.back());
  Append32(block, static_cast<std::uint32_t>(shapesPerDrawing_.size() + 1));
  Append32(block, shapes), Append32(block, static_cast<std::uint32_t>(shapesPerDrawing_.size()));
  for (std::size_t i = 0; i < shapesPerDrawing_.size(); ++i)
    Append32(block, static_cast<std::uint32_t>(i + 1)), Append32(block, shapesPerDrawing_[i] + 1);
  std::string out;
  WriteRecord(out, kMsoDrawingGroup,
              Container(0xF000, 0, block + Container(0xF001, static_cast<std::uint16_t>(blips_.size()), store)));
  return out;
}

}  // namespace vemo::wb::xls
