#include "host/components/qr_code.h"

#include <qrencode.h>

#include <memory>

#include "foundation/utf8_text.h"
#include "host/components/database_components.h"

namespace vemo::host {

RgbImage QrPicture::Paint(int sizePx, int quietZoneModules) const {
  if (sizePx <= 0) throw HostError("a QR picture needs a positive size in pixels");
  if (quietZoneModules < 0) quietZoneModules = 0;
  RgbImage image = SolidImage(sizePx, sizePx, {255, 255, 255});
  const double total = modules_ + 2.0 * quietZoneModules;
  const double modulePx = sizePx / total;
  for (int y = 0; y < sizePx; ++y) {
    int my = static_cast<int>((y + 0.5) / modulePx) - quietZoneModules;
    if (my < 0 || my >= modules_) continue;
    for (int x = 0; x < sizePx; ++x) {
      int mx = static_cast<int>((x + 0.5) / modulePx) - quietZoneModules;
      if (mx >= 0 && mx < modules_ && IsDark(mx, my)) image.at(x, y) = {0, 0, 0};
    }
  }
  return image;
}

void QrPicture::SaveBitmap(const std::filesystem::path& path, int sizePx, int quietZoneModules) const {
  WriteFileBytes(path, EncodeBmp(Paint(sizePx, quietZoneModules)));
}

namespace {

class LibQrEncoder : public IQrEncoder {
 public:
  std::string TypeName() const override { return "QrEncoder"; }
  std::shared_ptr<QrPicture> Encode(std::string_view text, std::string_view encoding) override {
    std::string name = ToUpperAscii(ReplaceAll(encoding, "-", ""));
    if (name != "UTF8")
      throw HostError("the QR encoder writes UTF-8 only; \"" + std::string(encoding) + "\" is not supported");
    if (text.empty()) throw HostError("there is no text to put into a QR code");
    std::string data(text);
    // 8-bit mode keeps the UTF-8 bytes exactly; level M as printed labels
    // use. Text beyond ASCII carries the UTF-8 ECI marker (26) so readers do
    // not guess another character set; plain ASCII stays marker-free for the
    // oldest readers.
    std::unique_ptr<QRinput, void (*)(QRinput*)> input(QRinput_new2(0, QR_ECLEVEL_M), QRinput_free);
    if (!input) throw HostError("the QR encoder is out of memory");
    bool ascii = true;
    for (unsigned char c : data) ascii = ascii && c < 0x80;
    if (!ascii && QRinput_appendECIheader(input.get(), 26) != 0) throw HostError("the QR encoder refused the UTF-8 marker");
    if (QRinput_append(input.get(), QR_MODE_8, static_cast<int>(data.size()), reinterpret_cast<const unsigned char*>(data.data())) != 0)
      throw HostError("the text (" + std::to_string(data.size()) + " bytes) cannot be put into a QR code");
    std::unique_ptr<QRcode, void (*)(QRcode*)> code(QRcode_encodeInput(input.get()), QRcode_free);
    if (!code) throw HostError("the text (" + std::to_string(data.size()) + " bytes) cannot be put into a QR code; it is too long");
    std::vector<bool> dark(static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width));
    for (std::size_t i = 0; i < dark.size(); ++i) dark[i] = (code->data[i] & 1) != 0;
    return std::make_shared<QrPicture>(code->width, std::move(dark));
  }
};

}  // namespace

ObjectRef MakeQrEncoder() { return std::make_shared<LibQrEncoder>(); }

}  // namespace vemo::host
