// The four head-value keywords that put a picture path into a cell:
//   FCustOrSupplyPicture   the customer's or supplier's photo
//   FICItemPicture         the item's photo
//   FICItemBarCodePicture  the item's barcode picture
//   FICItemQRCodePicture   the item's QR code picture
// The engine asks PictureFieldKey which bill field to read, looks the field
// up for the row being filled (an absent field gives ""), and hands the
// value to PicturePathFor, whose answer becomes the cell's text.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vemo::engine {

enum class PictureKeyword { CustOrSupplyPicture, ItemPicture, ItemBarCodePicture, ItemQRCodePicture };

// The keyword of a name, compared without regard to case as the engine
// compares system variables; nullopt for every other name.
std::optional<PictureKeyword> PictureKeywordOf(std::string_view name);

// The field key to read: FCustID for the customer-side class types (sales
// documents and receipts: 1030001-1030004, 1050001, 1050004, 1080002),
// FSupplyId for every other class type; FItemID, FBarCode, FItemID for the
// other three keywords.
std::string PictureFieldKey(PictureKeyword keyword, std::int32_t classTypeId);

// The path for the field's value:
//   photos: GetPictureFile(value);
//   barcode: "" for an empty value; else GetInstallPath(3) +
//     "Graphics\ItemPhotos\Barcode_" + value + ".bmp" (Windows form), drawn
//     by CreateBarCode (its folder created first) and answered even when the
//     drawing failed, as the system has always done;
//   QR code: GetQRCodePictureInfo(value) (the item's stored matrix code).
std::string PicturePathFor(PictureKeyword keyword, const std::string& fieldValue);

// The same by keyword name; "" for a name that is no picture keyword.
std::string PictureFieldKey(std::string_view keywordName, std::int32_t classTypeId);
std::string PicturePathFor(std::string_view keywordName, const std::string& fieldValue);

}  // namespace vemo::engine
