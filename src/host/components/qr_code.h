// Talvo_APGC.CQRCode: QR codes. Encode answers a picture object that can be
// painted at any size and saved as a bitmap file.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/components/bitmap_file.h"

namespace vemo::host {

// A QR symbol: a square of dark and light modules.
class QrPicture : public HostObject {
 public:
  QrPicture(int modules, std::vector<bool> dark) : modules_(modules), dark_(std::move(dark)) {}
  std::string TypeName() const override { return "QrPicture"; }

  int ModuleCount() const { return modules_; }
  bool IsDark(int x, int y) const {
    return dark_[static_cast<std::size_t>(y) * static_cast<std::size_t>(modules_) + static_cast<std::size_t>(x)];
  }
  // The symbol stretched over a square of sizePx pixels, with quietZone
  // light modules on every side: black on white, each module covering the
  // pixels whose centre falls inside it.
  RgbImage Paint(int sizePx, int quietZoneModules = 4) const;
  // Paint, then write a 24-bit bitmap file (create or overwrite).
  void SaveBitmap(const std::filesystem::path& path, int sizePx, int quietZoneModules = 4) const;

 private:
  int modules_;
  std::vector<bool> dark_;
};

class IQrEncoder : public HostObject {
 public:
  // encoding: "UTF-8" (the only one the system asks for; case and the hyphen
  // do not matter). Raises HostError on an empty text, another encoding or
  // a text too long for a QR symbol.
  virtual std::shared_ptr<QrPicture> Encode(std::string_view text, std::string_view encoding) = 0;
};

}  // namespace vemo::host
