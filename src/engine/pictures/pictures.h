// The picture files a template shows: an item's or partner's photo, an item
// barcode and an item QR code. The engine never draws into the workbook; it
// hands the spreadsheet the full path of a file on disk. Paths are in the
// system's Windows form where the system names them ("C:\...\Barcode_1.bmp");
// the file utilities map them to host paths (context/path_mapping.h).
//
// These are the bodies of the engine members of the same names
// (LabelAndReportInputs::GetPictureFile...). Inside a member, call them
// qualified (vemo::engine::CreateBarCode), or the member finds itself.
// None of them throws.
#pragma once
#include <string>

namespace vemo::engine {

// Pixel sizes of the pictures. The barcode is the 250 x 70 the system asks
// for; the QR code fills the inside of a square box of 1695 twips, which is
// 113 pixels at 96 dpi (15 twips a pixel).
inline constexpr int kBarcodeWidthPx = 250;
inline constexpr int kBarcodeHeightPx = 70;
inline constexpr int kQrCodeSizePx = 113;
// Light modules kept around the QR symbol inside its square.
inline constexpr int kQrQuietZoneModules = 2;

// The host's small photo of a base-data record (item, customer or supplier
// id in decimal text): "VemoEBSGLItem.ItemInfo" GetItemPicture(props, id,
// "SmallPhoto"). "" when it has none or on any error.
std::string GetPictureFile(const std::string& itemId);

// Draws a Code 128 of `barCode` with its text under it into a 24-bit .bmp.
// An empty path means "Barcode_" + barCode + ".bmp" in the picture folder
// (created when missing). Barcode control types 0 and 1 draw (both the same
// way on this platform); any other type draws nothing and answers true.
// A failure is written to the debug log and answers false.
bool CreateBarCode(const std::string& barCode, std::string picturePath = "");

// Draws the QR code of `qrCode` (or, when empty, of the item's matrix code
// in the company database) into a 24-bit .bmp of kQrCodeSizePx square and
// answers its path. An empty path means "QRCode_" + itemId + ".bmp" in the
// picture folder. "" when there is nothing to draw (no file is written) and
// on failure (written to the debug log).
std::string GetQRCodePictureInfo(const std::string& itemId, std::string qrCode = "", std::string picturePath = "");

}  // namespace vemo::engine
