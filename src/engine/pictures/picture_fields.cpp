#include "engine/pictures/picture_fields.h"

#include <algorithm>
#include <array>

#include "context/file_utils.h"
#include "context/settings.h"
#include "engine/pictures/pictures.h"
#include "foundation/utf8_text.h"

namespace vemo::engine {

namespace {

struct KeywordName {
  std::string_view name;
  PictureKeyword keyword;
};
constexpr std::array<KeywordName, 4> kNames = {{{"FCustOrSupplyPicture", PictureKeyword::CustOrSupplyPicture},
                                                {"FICItemPicture", PictureKeyword::ItemPicture},
                                                {"FICItemBarCodePicture", PictureKeyword::ItemBarCodePicture},
                                                {"FICItemQRCodePicture", PictureKeyword::ItemQRCodePicture}}};

// Class types whose partner is a customer.
constexpr std::array<std::int32_t, 7> kCustomerClassTypes = {1030001, 1030002, 1030003, 1030004,
                                                             1050001, 1050004, 1080002};

}  // namespace

std::optional<PictureKeyword> PictureKeywordOf(std::string_view name) {
  for (const auto& entry : kNames)
    if (EqualsIgnoreCase(entry.name, name)) return entry.keyword;
  return std::nullopt;
}

std::string PictureFieldKey(PictureKeyword keyword, std::int32_t classTypeId) {
  switch (keyword) {
    case PictureKeyword::CustOrSupplyPicture:
      return std::find(kCustomerClassTypes.begin(), kCustomerClassTypes.end(), classTypeId) != kCustomerClassTypes.end()
                 ? "FCustID"
                 : "FSupplyId";
    case PictureKeyword::ItemPicture:
    case PictureKeyword::ItemQRCodePicture:
      return "FItemID";
    case PictureKeyword::ItemBarCodePicture:
      return "FBarCode";
  }
  return {};
}

std::string PicturePathFor(PictureKeyword keyword, const std::string& fieldValue) {
  switch (keyword) {
    case PictureKeyword::CustOrSupplyPicture:
    case PictureKeyword::ItemPicture:
      return GetPictureFile(fieldValue);
    case PictureKeyword::ItemBarCodePicture: {
      if (fieldValue.empty()) return {};
      const std::string folder = context::GetInstallPath(3) + "Graphics\\ItemPhotos\\";
      // A fresh installation on this platform may not have the folder yet;
      // without it the drawing could only fail into the debug log.
      context::EnsureFolder(folder);
      const std::string path = folder + "Barcode_" + fieldValue + ".bmp";
      CreateBarCode(fieldValue, path);
      return path;
    }
    case PictureKeyword::ItemQRCodePicture:
      return GetQRCodePictureInfo(fieldValue);
  }
  return {};
}

std::string PictureFieldKey(std::string_view keywordName, std::int32_t classTypeId) {
  auto keyword = PictureKeywordOf(keywordName);
  return keyword ? PictureFieldKey(*keyword, classTypeId) : std::string();
}

std::string PicturePathFor(std::string_view keywordName, const std::string& fieldValue) {
  auto keyword = PictureKeywordOf(keywordName);
  return keyword ? PicturePathFor(*keyword, fieldValue) : std::string();
}

}  // namespace vemo::engine
