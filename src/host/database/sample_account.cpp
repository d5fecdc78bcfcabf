#include "host/database/sample_account.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "host/components/bitmap_file.h"
#include "host/database/company_database.h"

namespace vemo::host {

namespace {

struct BillType {
  int id;
  int billTypeId;
  const char* name;
  int entryPages;  // pages after the head page that are entry tables
};

// Class types of the bill screens, with the pages of their data: page 1 is
// the head, the next pages entry tables (the settlement bill has two).
constexpr BillType kBillTypes[] = {
    {1020001, 10, "销售订单", 1},   {1020002, 20, "销售发票", 1},   {1020003, 21, "销售退货单", 1},
    {1020004, 22, "销售返利单", 1}, {1030001, 30, "采购订单", 1},   {1030002, 31, "采购发票", 1},
    {1030003, 32, "采购退货单", 1}, {1030004, 33, "采购返利单", 1}, {1040001, 40, "其他入库单", 1},
    {1040002, 41, "其他出库单", 1}, {1040003, 42, "盘盈单", 1},     {1040004, 43, "盘亏单", 1},
    {1040005, 44, "组装单", 1},     {1040006, 45, "拆卸单", 1},     {1040007, 46, "调拨单", 1},
    {1040008, 47, "成本调价单", 1}, {1040009, 48, "委外加工单", 1}, {1050001, 50, "收款单", 1},
    {1050002, 51, "付款单", 1},     {1050003, 52, "核销单", 2},     {1050004, 53, "其他收款单", 1},
    {1050005, 54, "其他付款单", 1}, {1080001, 60, "销售费用单", 1}, {1080002, 61, "采购费用单", 1},
    {2000001, 70, "快递单", 1},     {2000002, 71, "快递单(其他来源)", 1},
};

struct Item {
  int id;
  const char* number;
  const char* name;
  const char* model;
  const char* unit;
  const char* barcode;
  const char* matrixCode;  // nullptr: none stored
  double salePrice;
  double retailPrice;
  const char* brand;
  const char* origin;
  Rgb photo;  // colour of its sample photo; black = no photo
};

constexpr Item kItems[] = {
    {1, "01.001", "特级龙井茶 250g", "LJ-250", "盒", "6901234567892", "https://shop.example.com/item/01.001", 168, 198,
     "西湖春", "浙江杭州", {46, 139, 87}},
    {2, "01.002", "云南普洱饼茶 357g", "PE-357", "饼", "6901234567908", "PE357|2019|勐海", 228, 268, "勐海山",
     "云南西双版纳", {139, 69, 19}},
    {3, "02.001", "景德镇青花瓷茶杯", "QH-01", "只", "6901234567915", "QH-01", 45.5, 59, "瓷都", "江西景德镇",
     {30, 90, 200}},
    {4, "02.002", "紫砂壶 300ml", "ZS-300", "把", "6901234567922", "", 380, 460, "宜兴", "江苏宜兴", {150, 60, 40}},
    {5, "03.001", "竹制茶盘", "CP-45", "个", "", nullptr, 120, 150, "竹韵", "福建安溪", {0, 0, 0}},
    {6, "03.002", "不锈钢烧水壶 1.2L", "SH-12", "台", "6901234567939", "SH-12/1.2L/220V", 89.9, 109, "暖家", "广东佛山",
     {200, 200, 210}},
};

struct Unit {
  int item;
  int entry;
  const char* name;
  const char* barcode;
  double coefficient;
  int isMain;
};

constexpr Unit kUnits[] = {
    {1, 1, "盒", "6901234567892", 1, 1}, {1, 2, "箱", "16901234567899", 20, 0}, {2, 1, "饼", "6901234567908", 1, 1},
    {2, 2, "提", "16901234567905", 7, 0}, {3, 1, "只", "6901234567915", 1, 1},  {4, 1, "把", "6901234567922", 1, 1},
    {5, 1, "个", "", 1, 1},               {6, 1, "台", "6901234567939", 1, 1},  {6, 2, "箱", "16901234567936", 6, 0},
};

struct Partner {
  int id;
  const char* kind;
  const char* number;
  const char* name;
  const char* address;
  const char* phone;
  const char* contact;
  Rgb picture;
};

// Customers and suppliers share the base-data id space with items.
constexpr Partner kPartners[] = {
    {1001, "Customer", "C001", "杭州明前茶庄", "杭州市西湖区龙井路18号", "0571-87960001", "王芳", {220, 180, 40}},
    {1002, "Customer", "C002", "上海静安茶艺馆", "上海市静安区南京西路1266号", "021-62880002", "陈磊", {0, 0, 0}},
    {2001, "Supplier", "S001", "勐海茶叶合作社", "云南省西双版纳州勐海县茶城大道8号", "0691-5120003", "岩罕",
     {90, 160, 60}},
    {2002, "Supplier", "S002", "宜兴紫砂工艺厂", "江苏省宜兴市丁蜀镇陶都路66号", "0510-87190004", "周建国", {0, 0, 0}},
};

struct Courier {
  int id;
  const char* code;
  const char* name;
  int isDefault;
  int isShown;
  const char* kdd100Code;
  const char* kdd100Address;
};

constexpr Courier kCouriers[] = {
    {1, "SF", "顺丰速运", 1, 1, "shunfeng", "https://www.kuaidi100.com/all/sf.shtml"},
    {2, "ZTO", "中通快递", 0, 1, "zhongtong", "https://www.kuaidi100.com/all/zt.shtml"},
    {3, "YTO", "圆通速递", 0, 1, "yuantong", "https://www.kuaidi100.com/all/yt.shtml"},
    {4, "YD", "韵达快递", 0, 1, "yunda", "https://www.kuaidi100.com/all/yd.shtml"},
    {5, "EMS", "EMS", 0, 1, "ems", "https://www.kuaidi100.com/all/ems.shtml"},
    {6, "STO", "申通快递", 0, 0, "shentong", "https://www.kuaidi100.com/all/st.shtml"},
};

constexpr const char* kProfile[][3] = {
    {"General", "CompanyName", "维默示范茶业贸易有限公司"},
    {"General", "CompanyAddress", "浙江省杭州市西湖区文三路398号"},
    {"General", "CompanyTax", "91330106MA2B3C4D5E"},
    {"General", "CompanyPhone", "0571-88886666"},
    {"General", "CompanyYHAccount", "中国工商银行杭州文三路支行 1202 0219 0900 1234 567"},
    {"General", "CompanyNameEn", "Vemo Sample Tea Trading Co., Ltd."},
    {"General", "CompanyAddressEn", "398 Wensan Road, Xihu District, Hangzhou, Zhejiang"},
    {"General", "CompanyContact", "刘经理"},
    {"General", "Fax", "0571-88886667"},
    {"General", "Email", "service@vemo-sample.example.com"},
    {"General", "CompanyWebsite", "https://www.vemo-sample.example.com"},
    {"General", "CompanyHSCode", "0902302000"},
    {"IC", "ThirdPrintCom", ""},
    {"Vemo", "SampleDataVersion", "1"},
};

// Price rights (subsystem 15, access type 32) the bill engine asks for.
constexpr int kPriceRights[] = {1200, 1120, 1130, 2000, 900, 2010, 2020, 1140, 1000, 1160, 1110, 1170, 1180, 1100, 1150};

// A small photo: a coloured square with a darker frame and a light centre
// mark, enough to see which item a label shows.
Bytes SamplePhoto(Rgb colour) {
  constexpr int kSize = 48;
  RgbImage image = SolidImage(kSize, kSize, colour);
  Rgb frame{static_cast<std::uint8_t>(colour.r / 2), static_cast<std::uint8_t>(colour.g / 2),
            static_cast<std::uint8_t>(colour.b / 2)};
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      if (x < 3 || y < 3 || x >= kSize - 3 || y >= kSize - 3) image.at(x, y) = frame;
      if (x >= 20 && x < 28 && y >= 20 && y < 28) image.at(x, y) = {255, 255, 255};
    }
  return EncodeBmp(image);
}

bool HasPhoto(Rgb colour) { return !(colour == Rgb{0, 0, 0}); }

// A preset written again over a company of the same id.
constexpr std::string_view kCourierUpdate =
    "FCode = excluded.FCode, FName = excluded.FName, FIsDefault = excluded.FIsDefault, FIsShow = excluded.FIsShow, "
    "FKdd100Code = excluded.FKdd100Code, FKdd100WebAddress = excluded.FKdd100WebAddress";

}  // namespace

void RestoreCourierPresets(Connection& db) {
  db.Exec("UPDATE t_Logistic SET FIsDefault = 0");
  // "WHERE true" lets SQLite tell the SELECT from the ON CONFLICT clause.
  db.Exec("INSERT INTO t_Logistic SELECT FID, FCode, FName, FIsDefault, FIsShow, FKdd100Code, FKdd100WebAddress "
          "FROM t_LogisticPreset WHERE true ON CONFLICT (FID) DO UPDATE SET " + std::string(kCourierUpdate));
}

namespace {

void SeedCouriers(Connection& db, bool restore) {
  auto preset = db.Prepare(
      "INSERT INTO t_LogisticPreset (FID, FCode, FName, FIsDefault, FIsShow, FKdd100Code, FKdd100WebAddress) "
      "VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (FID) DO UPDATE SET " + std::string(kCourierUpdate));
  for (const auto& c : kCouriers) {
    preset.Reset();
    preset.Bind(1, c.id).Bind(2, c.code).Bind(3, c.name).Bind(4, c.isDefault).Bind(5, c.isShown);
    preset.Bind(6, c.kdd100Code).Bind(7, c.kdd100Address).Run();
  }
  if (restore) {
    RestoreCourierPresets(db);
  } else {
    // Only into an empty list: a list the user edited has its own default.
    db.Exec("INSERT INTO t_Logistic SELECT FID, FCode, FName, FIsDefault, FIsShow, FKdd100Code, FKdd100WebAddress "
            "FROM t_LogisticPreset WHERE NOT EXISTS (SELECT 1 FROM t_Logistic)");
  }
}

void SeedRows(Connection& db) {
  auto type = db.Prepare("INSERT INTO t_ClassType (FID, FBillTypeID, FName) VALUES (?, ?, ?) ON CONFLICT DO NOTHING");
  auto page = db.Prepare("INSERT INTO t_ClassTypeEntry (FClassTypeID, FPage, FEntryType) VALUES (?, ?, ?) ON CONFLICT DO NOTHING");
  for (const auto& t : kBillTypes) {
    type.Reset();
    type.Bind(1, t.id).Bind(2, t.billTypeId).Bind(3, t.name).Run();
    for (int p = 1; p <= 1 + t.entryPages; ++p) {
      page.Reset();
      page.Bind(1, t.id).Bind(2, p).Bind(3, p == 1 ? 0 : 1).Run();
    }
  }

  auto item = db.Prepare(
      "INSERT INTO T_ICItem (FItemID, FNumber, FName, FModel, FUnitName, FBarCode, FMatrixCode, FSalePrice, "
      "FRetailPrice, FBrand, FOrigin) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING");
  auto photo = db.Prepare("INSERT INTO t_ItemPhoto (FItemID, FKind, FFileName, FData) VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING");
  for (const auto& i : kItems) {
    item.Reset();
    item.Bind(1, i.id).Bind(2, i.number).Bind(3, i.name).Bind(4, i.model).Bind(5, i.unit).Bind(6, i.barcode);
    if (i.matrixCode)
      item.Bind(7, i.matrixCode);
    else
      item.BindNull(7);
    item.Bind(8, i.salePrice).Bind(9, i.retailPrice).Bind(10, i.brand).Bind(11, i.origin).Run();
    if (HasPhoto(i.photo)) {
      photo.Reset();
      photo.Bind(1, i.id).Bind(2, "SmallPhoto").Bind(3, std::string(i.number) + ".bmp").Bind(4, SamplePhoto(i.photo)).Run();
    }
  }
  auto unit = db.Prepare(
      "INSERT INTO t_ICItemUnit (FSrcItemID, FEntryID, FShowUnitID, FBarcode, FCoefficient, FISMainUnit) "
      "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING");
  for (const auto& u : kUnits) {
    unit.Reset();
    unit.Bind(1, u.item).Bind(2, u.entry).Bind(3, u.name).Bind(4, u.barcode).Bind(5, u.coefficient).Bind(6, u.isMain).Run();
  }
  auto partner = db.Prepare(
      "INSERT INTO t_Organization (FItemID, FKind, FNumber, FName, FAddress, FPhone, FContact) "
      "VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING");
  for (const auto& p : kPartners) {
    partner.Reset();
    partner.Bind(1, p.id).Bind(2, p.kind).Bind(3, p.number).Bind(4, p.name).Bind(5, p.address).Bind(6, p.phone);
    partner.Bind(7, p.contact).Run();
    if (HasPhoto(p.picture)) {
      photo.Reset();
      photo.Bind(1, p.id).Bind(2, "SmallPhoto").Bind(3, std::string(p.number) + ".bmp").Bind(4, SamplePhoto(p.picture)).Run();
    }
  }

  // Where the mail action sends their bills; only an address not set yet.
  db.Exec(
      "UPDATE t_Organization SET FEmail = CASE FItemID WHEN 1001 THEN 'order@mingqian-tea.example.com' "
      "WHEN 1002 THEN 'tea@jingan-teahouse.example.com' WHEN 2001 THEN 'sales@menghai-coop.example.com' "
      "WHEN 2002 THEN 'service@yixing-zisha.example.com' END WHERE FItemID IN (1001, 1002, 2001, 2002) AND FEmail = ''");
  db.Exec(
      "INSERT INTO t_SerialNumList (FID, FSerialNo, FClassTypeID, FBillID, FBillIndexID, FStatus) VALUES "
      "(1, 'LJ2024A0001', 1020002, 1, 1, 1), (2, 'LJ2024A0002', 1020002, 1, 1, 1), (3, 'LJ2024A0003', 1020002, 1, 1, 1), "
      "(4, 'ZS300-0101', 1020002, 1, 2, 1), "
      "(5, 'SH12-7001', 1040007, 1, 1, 1), (6, 'SH12-7002', 1040007, 1, 1, 0), (7, 'SH12-7003', 1040007, 1, 1, 1) "
      "ON CONFLICT DO NOTHING");
  db.Exec(
      "INSERT INTO t_SettleAcct (FItemID, FNumber, FName) VALUES "
      "(1, '1001', '现金'), (2, '1002.01', '工商银行基本户'), (3, '1002.02', '支付宝'), (4, '1002.03', '微信支付') ON CONFLICT DO NOTHING");
  db.Exec(
      "INSERT INTO ICMultiAccount (FClassTypeID, FID, FEntryID, FAcctID, FAmount) VALUES "
      "(1050001, 1, 1, 1, 100), (1050001, 1, 2, 2, 250.5), (1050002, 1, 1, 3, 1999.99), (1020002, 1, 1, 4, 336) ON CONFLICT DO NOTHING");

  auto profile = db.Prepare("INSERT INTO t_SystemProfile (FCategory, FKey, FValue) VALUES (?, ?, ?) ON CONFLICT DO NOTHING");
  for (const auto& p : kProfile) {
    profile.Reset();
    profile.Bind(1, p[0]).Bind(2, p[1]).Bind(3, p[2]).Run();
  }

  auto user = db.Prepare("INSERT INTO t_User (FUserName, FIsAdmin) VALUES (?, ?) ON CONFLICT DO NOTHING");
  user.Bind(1, kSampleAdmin).Bind(2, 1).Run();
  user.Reset();
  user.Bind(1, kSampleClerkWithPrices).Bind(2, 0).Run();
  user.Reset();
  user.Bind(1, kSampleClerkWithoutPrices).Bind(2, 0).Run();
  auto right = db.Prepare(
      "INSERT INTO t_AccessRight (FUserName, FSubSystemID, FObjectID, FAccessType) VALUES (?, 15, ?, 32) ON CONFLICT DO NOTHING");
  for (int object : kPriceRights) {
    right.Reset();
    right.Bind(1, kSampleClerkWithPrices).Bind(2, object).Run();
  }
}

bool HasSampleData(Connection& db) {
  auto marker = db.Prepare("SELECT 1 FROM t_SystemProfile WHERE FCategory = 'Vemo' AND FKey = 'SampleDataVersion'");
  return marker.Step();
}

std::string Timestamp() {
  std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// The sample tables a forced init empties before seeding again.
constexpr const char* kSampleTables[] = {"t_ClassType", "t_ClassTypeEntry", "T_ICItem",    "t_ICItemUnit",
                                         "t_Organization", "t_ItemPhoto", "t_SerialNumList", "t_SettleAcct",
                                         "ICMultiAccount", "t_SystemProfile", "t_User", "t_AccessRight",
                                         "t_LogisticPreset"};

// Copies the sample tables into a new schema of the server database, inside
// the caller's transaction, and names it.
std::string CopySampleTablesAside(Connection& db) {
  std::string stamp = Timestamp();
  std::replace(stamp.begin(), stamp.end(), '-', '_');
  std::string schema = "vemo_backup_" + stamp;
  auto taken = db.Prepare("SELECT count(*) FROM pg_namespace WHERE nspname = ?");
  for (int n = 2; taken.Bind(1, schema).Step() && taken.Int(0) > 0; ++n) {
    taken.Reset();
    schema = "vemo_backup_" + stamp + "_" + std::to_string(n);
  }
  try {
    db.Exec("CREATE SCHEMA " + schema);
    for (const char* table : kSampleTables) db.Exec("CREATE TABLE " + schema + "." + table + " AS TABLE " + table);
  } catch (const HostError& e) {
    throw HostError("the sample data could not be copied aside before the rebuild (" + e.Description() +
                    "); nothing was changed: let the user create schemas in the database, or back it up with "
                    "pg_dump and rebuild it as a user who may");
  }
  return schema;
}

}  // namespace

void SeedSampleData(Connection& db) {
  Transaction transaction(db);
  SeedRows(db);
  SeedCouriers(db, false);
  transaction.Commit();
}

InitOutcome InitializeSampleAccount(const DatabaseAddress& database, bool force) {
  InitOutcome outcome;
  const bool embedded = database.kind == DatabaseKind::Embedded;
  if (embedded) outcome.created = !std::filesystem::exists(database.file);
  auto db = OpenCompanyDatabase(database, OpenMode::Create);
  if (!embedded) outcome.created = !HasSampleData(*db);
  if (force && !outcome.created) {
    if (embedded) {
      std::filesystem::path backup = database.file;
      backup += ".bak-" + Timestamp();
      for (int n = 2; std::filesystem::exists(backup); ++n) {
        backup = database.file;
        backup += ".bak-" + Timestamp() + "-" + std::to_string(n);
      }
      // A consistent copy even if another process is reading.
      db->Prepare("VACUUM INTO ?").Bind(1, backup.string()).Run();
      outcome.backup = backup.string();
    }
    Transaction transaction(*db);
    if (!embedded) outcome.backup = CopySampleTablesAside(*db);
    for (const char* table : kSampleTables) db->Exec(std::string("DELETE FROM ") + table);
    SeedRows(*db);
    SeedCouriers(*db, true);
    transaction.Commit();
    outcome.seeded = true;
    return outcome;
  }
  if (!HasSampleData(*db)) {
    SeedSampleData(*db);
    outcome.seeded = true;
  }
  return outcome;
}

}  // namespace vemo::host
