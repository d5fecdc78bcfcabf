#include "engine/pictures/code128_picture.h"


#include <algorithm>
#include <memory>
#include <vector>

#include "engine/pictures/caption_text.h"
#include "engine/pictures/picture_libraries.h"
#include "foundation/host_error.h"

namespace vemo::engine {

namespace {

struct SymbolDeleter {
  void operator()(zint_symbol* symbol) const { Zint().ZBarcode_Delete(symbol); }
};

// The module pattern of the symbol, dark = true, without quiet zone: zint
// rasterises at one pixel a module and we read one row back.
std::vector<bool> Code128Modules(std::string_view text) {
  if (text.empty()) throw HostError("there is no text to put into a barcode");
  std::unique_ptr<zint_symbol, SymbolDeleter> symbol(Zint().ZBarcode_Create());
  if (!symbol) throw HostError("the barcode encoder is out of memory");
  symbol->symbology = BARCODE_CODE128;
  symbol->input_mode = DATA_MODE;  // the bytes as given; UTF-8 stays UTF-8
  symbol->show_hrt = 0;            // the caption is ours (CJK-capable)
  symbol->scale = 0.5f;            // zint's raster scale 1 is two pixels a module
  symbol->height = 4;
  symbol->whitespace_width = 0;
  symbol->border_width = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  int status = Zint().ZBarcode_Encode(symbol.get(), data, static_cast<int>(text.size()));
  if (status >= ZINT_ERROR) throw HostError("the text cannot be put into a Code 128 barcode: " + std::string(symbol->errtxt));
  status = Zint().ZBarcode_Buffer(symbol.get(), 0);
  if (status >= ZINT_ERROR || symbol->bitmap == nullptr)
    throw HostError("the barcode could not be drawn: " + std::string(symbol->errtxt));
  if (symbol->bitmap_width != symbol->width)
    throw HostError("the barcode encoder drew " + std::to_string(symbol->bitmap_width) + " pixels for " +
                    std::to_string(symbol->width) + " modules; the zint library does not behave as expected");
  std::vector<bool> modules(static_cast<std::size_t>(symbol->width));
  for (int x = 0; x < symbol->width; ++x) modules[static_cast<std::size_t>(x)] = symbol->bitmap[x * 3] < 128;
  return modules;
}

}  // namespace

host::RgbImage DrawCode128(std::string_view text, int width, int height) {
  const std::vector<bool> modules = Code128Modules(text);
  const int count = static_cast<int>(modules.size());
  int modulePx = std::max(1, width / (count + 2 * kCode128QuietModules));
  if (count + 2 * kCode128MinQuietModules > width) width = count + 2 * kCode128QuietModules;

  // Bars above, a caption line below with a small gap.
  constexpr int kMargin = 2;
  const int captionTop = height - kMargin - kCaptionPixelSize - 2;
  const int barTop = kMargin;
  const int barBottom = captionTop - 2;
  if (barBottom - barTop < 10) throw HostError("a barcode picture of " + std::to_string(height) + " pixels is too low for bars and text");

  host::RgbImage image = host::SolidImage(width, height, {255, 255, 255});
  const int left = (width - count * modulePx) / 2;
  for (int m = 0; m < count; ++m) {
    if (!modules[static_cast<std::size_t>(m)]) continue;
    for (int x = left + m * modulePx; x < left + (m + 1) * modulePx; ++x)
      for (int y = barTop; y < barBottom; ++y) image.at(x, y) = {0, 0, 0};
  }
  DrawCaption(image, text, width / 2, captionTop);
  return image;
}

}  // namespace vemo::engine
