// CreateBarCode: a barcode picture file for a bill or an item label.
//
// The system knows two barcode controls (control type 0 and 1). Both drew a
// Code 128 of 250 x 70 pixels with the text under it; on this platform one
// drawing (code128_picture.h) serves both, so the control type only decides
// whether anything is drawn at all.
#include <exception>

#include "context/file_utils.h"
#include "context/path_mapping.h"
#include "context/settings.h"
#include "engine/pictures/code128_picture.h"
#include "engine/pictures/debug_log.h"
#include "engine/pictures/pictures.h"

namespace vemo::engine {

bool CreateBarCode(const std::string& barCode, std::string picturePath) {
  // The step numbers are the ones the debug log reports as "Erl".
  int step = 1;
  try {
    if (picturePath.empty()) {
      const std::string folder = context::GetPictureFolder();
      context::EnsureFolder(folder);
      picturePath = context::JoinPath(folder, "Barcode_" + barCode + ".bmp");
    }
    step = 2;
    const int controlType = context::GetBarcodeControlType();
    if (controlType == 0 || controlType == 1) {
      step = controlType == 0 ? 3 : 4;
      host::RgbImage picture = DrawCode128(barCode, kBarcodeWidthPx, kBarcodeHeightPx);
      host::WriteFileBytes(context::ToHostPath(picturePath), host::EncodeBmp(picture));
    }
    return true;
  } catch (const std::exception& error) {
    WriteDrawingError("CreateBarCode", step, error);
    return false;
  }
}

}  // namespace vemo::engine
