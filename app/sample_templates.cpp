#include "sample_templates.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

#include "context/desktop.h"
#include "context/file_utils.h"
#include "context/path_mapping.h"
#include "context/settings.h"
#include "context/scripted_desktop.h"
#include "host/components/bitmap_file.h"
#include "setup/setup_grid.h"
#include "template_forms.h"

namespace vemo::app {
namespace {

struct SampleTemplate {
  const char* file;
  TemplateTarget target;
  const char* subType;
};

// The examples' families and sub-types (examples/README.md).
const SampleTemplate kSamples[] = {
    {"sales_invoice_vat.xlsx", {DocumentKind::Bill, 1020002, 0}, "增值税发票"},
    {"sales_invoice_plain.xlsx", {DocumentKind::Bill, 1020002, 0}, "普通发票"},
    {"purchase_order.xlsx", {DocumentKind::Bill, 1030001, 0}, ""},
    {"receipt.xlsx", {DocumentKind::Bill, 1050001, 0}, "销售收款"},
    {"stock_transfer.xlsx", {DocumentKind::Bill, 1040007, 0}, "异价调拨"},
    {"offset_bill.xlsx", {DocumentKind::Bill, 1050003, 0}, "预收冲应收"},
    // No sub-type: one template serves the report's 客户 and 供应商 prints
    // and its continuous print (which asks for none).
    {"customer_statement_report.xlsx", {DocumentKind::Report, 10506, 0}, ""},
    {"courier_waybill.xlsx", {DocumentKind::Waybill, 3, 0}, ""},
};

bool HoldsName(const setup::SetupGrid& grid, const std::string& name) {
  for (int row = 1; row <= grid.RowCount(); ++row)
    if (grid.CellText(row, setup::kColName) == name) return true;
  return false;
}

std::filesystem::path ProgramFolder() {
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
}

}  // namespace

std::filesystem::path SampleTemplateFolder() {
  if (const char* dir = std::getenv("VEMO_SAMPLES_DIR"); dir && *dir) return dir;
  const std::filesystem::path program = ProgramFolder();
  // Build folder, then an installed prefix (bin/ beside share/).
  for (const auto& candidate : {program.parent_path() / "examples/templates", program / "examples/templates",
                                program.parent_path() / "share/vemoprint/examples/templates"})
    if (std::filesystem::is_directory(candidate)) return candidate;
  return {};
}

std::string InstallSampleLabelTemplate(const std::filesystem::path& folder) {
  const std::filesystem::path sample = folder / "商品标签模板.xlsx";
  if (!std::filesystem::is_regular_file(sample)) return "";
  const std::string installFolder = context::JoinPath(context::GetInstallPath(3), "Graphics\\ItemPhotos\\");
  const std::string installed = context::JoinPath(installFolder, "商品标签模板.xlsx");
  if (context::FileExists(installed)) return "";
  context::EnsureFolder(installFolder);
  return context::CopyFileIfExists(sample.string(), installed) ? installed : "";
}

std::vector<std::string> InstallLabelPlaceholders() {
  // White, in the sizes the sample label gives its three pictures.
  struct Placeholder {
    const char* name;
    int width, height;
  };
  constexpr Placeholder kPlaceholders[] = {
      {"Item_Empty.jpg", 120, 120}, {"BarCode_Item_Empty.bmp", 250, 70}, {"QRCode_Item_Empty.bmp", 113, 113}};
  const std::string folder = context::JoinPath(context::GetInstallPath(3), "Graphics\\ItemPhotos\\");
  context::EnsureFolder(folder);
  std::vector<std::string> installed;
  for (const Placeholder& picture : kPlaceholders) {
    const std::string path = context::JoinPath(folder, picture.name);
    if (context::FileExists(path)) continue;
    // A bitmap under the photo's .jpg name, as the item photos copied over
    // Item.jpg are: the spreadsheet reads a picture by its content.
    host::WriteFileBytes(context::ToHostPath(path),
                         host::EncodeBmp(host::SolidImage(picture.width, picture.height, {255, 255, 255})));
    installed.push_back(path);
  }
  return installed;
}

int RegisterSampleTemplates(const std::string& props, const std::filesystem::path& folder, bool listEach) {
  // The dialogs' questions and notes are not the user's business here: a
  // scripted desktop takes them, and what went wrong is printed below.
  auto quiet = std::make_shared<context::ScriptedDesktop>();
  context::ScopedDesktop use(quiet);
  int registered = 0;
  for (const SampleTemplate& sample : kSamples) {
    const std::filesystem::path file = folder / sample.file;
    OpenTemplateForm open = LoadTemplateForm(sample.target, props);
    if (open.form->IsClosed()) {
      std::cout << "could not open the template setup for " << sample.file << "\n";
      continue;
    }
    if (HoldsName(*open.grid, sample.file)) continue;
    const RegisteredTemplate added = RegisterTemplateFile(open, file.string(), sample.subType);
    if (!added.registered) {
      std::cout << "could not register the sample template " << file.string();
      for (const auto& message : quiet->Messages()) std::cout << ": " << message.text;
      std::cout << "\n";
      continue;
    }
    ++registered;
    if (listEach)
      std::cout << "registered the sample template " << sample.file << " (" << added.id
              << (added.selected ? ", selected" : ", not selected") << ")\n";
  }
  return registered;
}

}  // namespace vemo::app
