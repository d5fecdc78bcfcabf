// Item labels: the label workbook in the picture folder, the four picture
// files of "c:\ItemPhotos\" and the label print itself, which runs through
// DoAction in label mode.
#include "actions/action_core.h"
#include "actions/action_messages.h"
#include "actions/label_template.h"
#include "context/file_utils.h"
#include "context/message_box.h"
#include "context/path_mapping.h"
#include "context/pending_file.h"
#include "context/settings.h"
#include "context/spreadsheet_detection.h"
#include "foundation/utf8_text.h"
#include "host/output/picture_embedding.h"

namespace vemo::actions::detail {
namespace {

constexpr const char* kItemPhotos = "c:\\ItemPhotos\\";
constexpr const char* kPlaceholders = "Graphics\\ItemPhotos\\";

std::string ItemPhoto(const char* name) { return context::JoinPath(kItemPhotos, name); }

void CopyPicture(const std::string& source, const char* target) {
  if (!source.empty()) context::CopyFileIfExists(source, ItemPhoto(target));
}

std::string BarcodePicture(EngineJob& engine, const std::string& barcode) {
  if (Trim(barcode).empty()) return {};
  const std::string folder = context::GetPictureFolder();
  context::EnsureFolder(folder);
  const std::string path = context::JoinPath(folder, "BarCode_" + barcode + ".bmp");
  return engine.CreateBarCode(barcode, path) ? path : std::string();
}

std::string QrPicture(EngineJob& engine, std::int32_t itemId, const std::string& matrixCode) {
  const std::string folder = context::GetPictureFolder();
  context::EnsureFolder(folder);
  const std::string path = context::JoinPath(folder, "QRCode_" + std::to_string(itemId) + ".bmp");
  return engine.GetQRCodePictureInfo(std::to_string(itemId), matrixCode, path);
}

// Runs one picture step; a picture that cannot be made is skipped.
template <class Step>
void Quietly(Step step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

// The session setting "EmbedLabelPictures": a non-zero number; anything else is off.
bool EmbedSettingOn() {
  try {
    return context::GetSessionSetting("EmbedLabelPictures", 0).ToInt32() != 0;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

std::string LocateLabelTemplate() {
  const std::string folder = context::GetPictureFolder();
  context::EnsureFolder(folder);
  const std::string copy = context::JoinPath(folder, kLabelTemplateName);
  if (!context::FileExists(copy)) {
    const std::string sample =
        context::JoinPath(context::GetInstallPath(3), std::string(kPlaceholders) + kLabelTemplateName);
    if (context::FileExists(sample)) {
      // Whole or not at all: a cut-off copy would stay the user's label
      // template and spoil every label after it.
      try {
        context::CopyFileWhole(sample, copy);
      } catch (const std::exception& e) {
        context::ReportCause(e.what());
      }
    } else {
      context::ShowMsgBox(std::string(text::kLabelTemplateMissing) + "\r\n文件：" + sample, context::vbExclamation);
    }
  }
  return context::FileExists(copy) ? copy : std::string();
}

bool ActionCore::PrintItemInfo(bool isPreview, bool isExportExcelFile, const ObjectRef& itemInfoDict) {
  try {
    auto item = std::dynamic_pointer_cast<HostDictionary>(itemInfoDict);
    if (!item) return false;
    in_.itemInfo = item;
    in_.labelMode = 1;
    CopyItemInfoFile();
    HandlerItemInfoFilePicture();
    return DoAction(SingleActionFor(isPreview, isExportExcelFile));
  } catch (const std::exception& e) {
    context::ReportCause(e.what());
    return false;
  }
}

void ActionCore::CopyItemInfoFile() {
  if (in_.labelMode != 1) return;
  Quietly([] {
    context::EnsureFolder(kItemPhotos);
    const std::string placeholders = context::JoinPath(context::GetInstallPath(3), kPlaceholders);
    context::CopyFileIfExists(context::JoinPath(placeholders, "Item_Empty.jpg"), ItemPhoto("Item.jpg"));
    context::CopyFileIfExists(context::JoinPath(placeholders, "BarCode_Item_Empty.bmp"), ItemPhoto("BarCode_Item.bmp"));
    context::CopyFileIfExists(context::JoinPath(placeholders, "QRCode_Item_Empty.bmp"), ItemPhoto("QRCode_Item.bmp"));
  });
}

void ActionCore::HandlerItemInfoFilePicture() {
  if (in_.labelMode != 1 || !in_.itemInfo) return;
  const HostDictionary& item = *in_.itemInfo;
  Quietly([&] {
    auto engine = CreateEngineJob(family_.kind);
    if (item.Lookup("FCustOrSupplyID"))
      Quietly([&] { CopyPicture(engine->GetPictureFile(std::to_string(item.Item("FCustOrSupplyID").ToInt32())), "CustOrSupply.bmp"); });
    if (item.Lookup("FItemID"))
      Quietly([&] { CopyPicture(engine->GetPictureFile(std::to_string(item.Item("FItemID").ToInt32())), "Item.jpg"); });
    if (item.Lookup("FBarCode") && !item.Item("FBarCode").ToText().empty())
      Quietly([&] { CopyPicture(BarcodePicture(*engine, item.Item("FBarCode").ToText()), "BarCode_Item.bmp"); });
    if (item.Lookup("FMatrixCode") && !item.Item("FMatrixCode").ToText().empty())
      Quietly([&] {
        CopyPicture(QrPicture(*engine, item.Value("FItemID").IsEmpty() ? 0 : item.Value("FItemID").ToInt32(),
                              item.Item("FMatrixCode").ToText()),
                    "QRCode_Item.bmp");
      });
  });
}

void ActionCore::StoreLabelPicturesIfAsked(const std::string& workbook) {
  if (in_.labelMode != 1) return;
  if (!in_.embedLabelPictures && !EmbedSettingOn()) return;
  // A picture whose file is missing keeps its link; a workbook that cannot be
  // rewritten fails the export with OutputError's message.
  host::EmbedLinkedPicturesOf(context::ToHostPath(workbook));
}

bool ActionCore::OpenExcel() {
  try {
    const std::string copy = LocateLabelTemplate();
    if (copy.empty()) return false;
    in_.labelMode = 1;
    CopyItemInfoFile();
    if (!context::FileExists(copy)) {
      context::ShowMsgBox(std::string(text::kLabelTemplateMissing), context::vbExclamation);
      return false;
    }
    if (!context::IsSpreadsheetAppAvailable()) {
      context::ShowMsgBox(std::string(text::kLabelNoSpreadsheet), context::vbExclamation);
      return true;
    }
    auto engine = CreateEngineJob(family_.kind);
    engine->SetFileAllName(copy);
    return engine->OpenExcel();
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace vemo::actions::detail
