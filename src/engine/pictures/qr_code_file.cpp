// GetQRCodePictureInfo: a QR code picture file of an item's matrix code.
#include <exception>

#include "context/file_utils.h"
#include "context/login.h"
#include "context/path_mapping.h"
#include "context/settings.h"
#include "engine/pictures/debug_log.h"
#include "engine/pictures/pictures.h"
#include "foundation/creation_service.h"
#include "host/components/class_info.h"
#include "host/components/prog_ids.h"
#include "host/components/qr_code.h"

namespace vemo::engine {

namespace {

// The matrix code stored with the item; "" when the item has none.
std::string StoredMatrixCode(const std::string& itemId) {
  auto classInfo = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo);
  auto rows = classInfo->GetData(context::GetPropsString(),
                                 " select top 1 ISNULL(FMatrixCode, '') AS FMatrixCode from T_ICItem where FItemID = " + itemId);
  if (!rows || (rows->Bof() && rows->Eof())) return {};
  return rows->Field("FMatrixCode").ToText();
}

}  // namespace

std::string GetQRCodePictureInfo(const std::string& itemId, std::string qrCode, std::string picturePath) {
  // The step numbers are the ones the debug log reports as "Erl".
  int step = 1;
  try {
    if (qrCode.empty()) qrCode = StoredMatrixCode(itemId);
    step = 2;
    if (qrCode.empty()) return {};
    step = 3;
    if (picturePath.empty()) {
      const std::string folder = context::GetPictureFolder();
      context::EnsureFolder(folder);  // a fresh machine has no picture folder yet
      picturePath = context::JoinPath(folder, "QRCode_" + itemId + ".bmp");
    }
    step = 4;
    auto encoder = CreateObjectAs<host::IQrEncoder>(host::progid::kQrEncoder);
    auto symbol = encoder->Encode(qrCode, "UTF-8");
    step = 5;
    symbol->SaveBitmap(context::ToHostPath(picturePath), kQrCodeSizePx, kQrQuietZoneModules);
    return picturePath;
  } catch (const std::exception& error) {
    WriteDrawingError("GetQRCodePictureInfo", step, error);
    return {};
  }
}

}  // namespace vemo::engine
