// VemoMLogisticManage.clsInfo and clsUpdate over the company database
// (t_Logistic, presets in t_LogisticPreset).
#include "foundation/utf8_text.h"
#include "host/components/database_components.h"
#include "host/components/logistic_manage.h"
#include "host/database/company_database.h"
#include "host/database/sample_account.h"

namespace vemo::host {

namespace {

// Error codes of clsUpdate (0 = success).
constexpr std::int32_t kNoDefault = 1;
constexpr std::int32_t kSeveralDefaults = 2;
constexpr std::int32_t kUnknownCompany = 3;
constexpr std::int32_t kBadRow = 4;
constexpr std::int32_t kStoreFailed = 9;

struct Failure {
  std::int32_t code;
  std::string text;
};

bool Flag(const Variant& value) {
  if (value.Type() == VariantType::Boolean) return value.ToBool();
  if (value.IsEmpty() || value.IsNull()) return false;
  return LeadingNumber(value.ToText()) != 0 || EqualsIgnoreCase(Trim(value.ToText()), "True");
}

struct Company {
  std::int64_t id = 0;  // 0: new
  std::string code, name, kdd100Code, kdd100Address;
  bool isDefault = false, isShown = true;
};

std::vector<Company> ReadCompanies(const HostVector& list) {
  std::vector<Company> companies;
  int defaults = 0;
  for (int i = 1; i <= list.Size(); ++i) {
    auto row = list.Item(i).AsObject<HostDictionary>();
    if (!row) throw Failure{kBadRow, "第" + std::to_string(i) + "行不是物流公司数据"};
    Company company;
    std::string id = Trim(row->Value("FID").ToText());
    double number = 0;
    if (!id.empty() && (!TryStrictNumber(id, number) || number < 0))
      throw Failure{kBadRow, "第" + std::to_string(i) + "行的物流公司ID【" + id + "】无效"};
    company.id = static_cast<std::int64_t>(number);
    company.code = Trim(row->Value("FCode").ToText());
    company.name = Trim(row->Value("FName").ToText());
    company.kdd100Code = Trim(row->Value("FKdd100Code").ToText());
    company.kdd100Address = Trim(row->Value("FKdd100WebAddress").ToText());
    company.isDefault = Flag(row->Value("FIsDefault"));
    company.isShown = Flag(row->Value("FIsShow")) || company.isDefault;  // the default is always shown
    bool blank = company.code.empty() && company.name.empty() && company.kdd100Code.empty() && company.kdd100Address.empty();
    if (company.id == 0 && blank && !company.isDefault) continue;  // the grid's empty last row
    if (company.name.empty()) throw Failure{kBadRow, "第" + std::to_string(i) + "行的物流公司名称不能为空"};
    defaults += company.isDefault ? 1 : 0;
    companies.push_back(std::move(company));
  }
  if (defaults == 0) throw Failure{kNoDefault, "必须存在一个默认快递公司，请重新选择！"};
  if (defaults > 1) throw Failure{kSeveralDefaults, "只能有一个默认快递公司，请重新选择！"};
  return companies;
}

void Store(Connection& db, const std::vector<Company>& companies) {
  Transaction transaction(db);
  db.Exec("UPDATE t_Logistic SET FIsDefault = 0");
  auto update = db.Prepare(
      "UPDATE t_Logistic SET FCode = ?, FName = ?, FIsDefault = ?, FIsShow = ?, FKdd100Code = ?, FKdd100WebAddress = ? "
      "WHERE FID = ?");
  // New ids come after every stored and preset id, so restoring the presets
  // never collides with a company the user added.
  auto nextId = db.Prepare(
      "SELECT COALESCE(MAX(FID), 0) + 1 FROM (SELECT FID FROM t_Logistic UNION ALL SELECT FID FROM t_LogisticPreset) ids");
  auto insert = db.Prepare(
      "INSERT INTO t_Logistic (FID, FCode, FName, FIsDefault, FIsShow, FKdd100Code, FKdd100WebAddress) "
      "VALUES (?, ?, ?, ?, ?, ?, ?)");
  for (const auto& c : companies) {
    if (c.id != 0) {
      update.Reset();
      update.Bind(1, c.code).Bind(2, c.name).Bind(3, c.isDefault ? 1 : 0).Bind(4, c.isShown ? 1 : 0);
      update.Bind(5, c.kdd100Code).Bind(6, c.kdd100Address).Bind(7, c.id).Run();
      if (db.Changes() == 0) throw Failure{kUnknownCompany, "物流公司ID【" + std::to_string(c.id) + "】不存在，请重新打开物流公司设置"};
    } else {
      nextId.Reset();
      nextId.Step();
      std::int64_t id = nextId.Int(0);
      nextId.Reset();
      insert.Reset();
      insert.Bind(1, id).Bind(2, c.code).Bind(3, c.name).Bind(4, c.isDefault ? 1 : 0).Bind(5, c.isShown ? 1 : 0);
      insert.Bind(6, c.kdd100Code).Bind(7, c.kdd100Address).Run();
    }
  }
  transaction.Commit();
}

class DatabaseLogisticInfo : public ILogisticInfo {
 public:
  using ILogisticInfo::GetLogisticInfoList;
  std::string TypeName() const override { return "DatabaseLogisticInfo"; }
  VectorRef GetLogisticInfoList(std::string_view props, bool includeHidden) override {
    auto db = OpenAccountDatabase(props);
    auto rows = db->Prepare(std::string("SELECT FID, FCode, FName, FIsDefault, FIsShow, FKdd100Code, FKdd100WebAddress "
                                        "FROM t_Logistic") +
                            (includeHidden ? "" : " WHERE FIsShow <> 0 OR FIsDefault <> 0") + " ORDER BY FID");
    auto list = HostVector::Create();
    while (rows.Step()) {
      auto company = HostDictionary::Create();
      company->Add("FID", Variant(rows.Int(0)));
      company->Add("FCode", rows.Text(1));
      company->Add("FName", rows.Text(2));
      company->Add("FIsDefault", rows.Int(3) != 0);
      company->Add("FIsShow", rows.Int(4) != 0);
      company->Add("FKdd100Code", rows.Text(5));
      company->Add("FKdd100WebAddress", rows.Text(6));
      list->Add(company);
    }
    return list;
  }
};

class DatabaseLogisticUpdate : public ILogisticUpdate {
 public:
  std::string TypeName() const override { return "DatabaseLogisticUpdate"; }

  void UpdateOrAddLogisticData(std::string_view props, const HostVector& companies, std::int32_t& errorCode,
                               std::string& errorText) override {
    Guard(errorCode, errorText, [&] {
      auto list = ReadCompanies(companies);
      auto db = OpenAccountDatabase(props);
      Store(*db, list);
    });
  }

  void UpdateInitDataFromBak(std::string_view props, std::int32_t& errorCode, std::string& errorText) override {
    Guard(errorCode, errorText, [&] {
      auto db = OpenAccountDatabase(props);
      Transaction transaction(*db);
      auto presets = db->Prepare("SELECT COUNT(*) FROM t_LogisticPreset");
      presets.Step();
      if (presets.Int(0) == 0) throw Failure{kStoreFailed, "没有预设的物流公司信息，请先运行 vemoprint init"};
      RestoreCourierPresets(*db);
      transaction.Commit();
    });
  }

 private:
  template <class Work>
  static void Guard(std::int32_t& errorCode, std::string& errorText, Work work) {
    errorCode = 0;
    errorText.clear();
    try {
      work();
    } catch (const Failure& failure) {
      errorCode = failure.code;
      errorText = failure.text;
    } catch (const std::exception& e) {
      errorCode = kStoreFailed;
      errorText = std::string("保存物流公司信息失败：") + e.what();
    }
  }
};

}  // namespace

ObjectRef MakeDatabaseLogisticInfo() { return std::make_shared<DatabaseLogisticInfo>(); }
ObjectRef MakeDatabaseLogisticUpdate() { return std::make_shared<DatabaseLogisticUpdate>(); }

}  // namespace vemo::host
