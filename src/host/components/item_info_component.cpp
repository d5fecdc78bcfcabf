// VemoEBSGLItem.ItemInfo over the company database: photos are stored as
// BLOBs and handed out as files in the account's picture cache.
#include <fstream>

#include "foundation/utf8_text.h"
#include "host/components/bitmap_file.h"
#include "host/components/database_components.h"
#include "host/components/item_info.h"
#include "host/database/account_location.h"
#include "host/database/company_database.h"

namespace vemo::host {

namespace {

bool SameFileContents(const std::filesystem::path& path, const Bytes& bytes) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) || std::filesystem::file_size(path, ec) != bytes.size()) return false;
  std::ifstream in(path, std::ios::binary);
  Bytes existing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return existing == bytes;
}

class DatabaseItemInfo : public IItemInfo {
 public:
  std::string TypeName() const override { return "DatabaseItemInfo"; }

  std::string GetItemPicture(std::string_view props, std::string_view itemId, std::string_view kind) override {
    double id = 0;
    if (!TryStrictNumber(itemId, id)) return {};  // no record has a non-numeric id
    auto db = OpenAccountDatabase(props);
    auto photo = db->Prepare("SELECT FFileName, FData FROM t_ItemPhoto WHERE FItemID = ? AND FKind = ?");
    photo.Bind(1, static_cast<std::int64_t>(id)).Bind(2, kind);
    if (!photo.Step()) return {};
    std::string extension = std::filesystem::path(photo.Text(0)).extension().string();
    Bytes data = photo.Blob(1);
    auto folder = PictureCacheFolder(AccountName(props));
    std::filesystem::create_directories(folder);
    // One file per record and kind; rewritten only when the stored photo
    // changed, so a path handed out earlier stays valid.
    auto path = folder / ("Item_" + std::to_string(static_cast<std::int64_t>(id)) + "_" + ToLowerAscii(kind) + extension);
    if (!SameFileContents(path, data)) WriteFileBytes(path, data);
    return path.string();
  }
};

}  // namespace

ObjectRef MakeDatabaseItemInfo() { return std::make_shared<DatabaseItemInfo>(); }

}  // namespace vemo::host
