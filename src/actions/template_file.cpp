// Putting the selected template into a file and checking it.
#include "actions/action_core.h"
#include "actions/action_messages.h"
#include "actions/label_template.h"
#include "context/file_utils.h"
#include "context/message_box.h"
#include "context/path_mapping.h"
#include "context/pending_file.h"
#include "host/components/bitmap_file.h"

namespace vemo::actions::detail {

bool ActionCore::PrepareTemplateFile(const std::string& file) {
  bool ok = false;
  try {
    ok = WriteTemplateFile(file);
    if (ok && in_.labelMode != 1) {
      auto checker = CreateEngineJob(family_.kind);
      ok = family_.validateTemplate(*checker, file, in_);
    }
  } catch (const std::exception& e) {
    // The prescribed message names no cause; the cause goes beside it.
    context::ReportCause(e.what());
    ok = false;
  }
  if (!ok) context::ShowMsgBox(std::string(text::kTemplateMissing), context::vbExclamation);
  return ok;
}

bool ActionCore::WriteTemplateFile(const std::string& file) {
  if (in_.labelMode == 1) {
    const std::string labelTemplate = LocateLabelTemplate();
    if (labelTemplate.empty()) return false;
    // Checked, unlike the file utility's copy: a copy cut short by a full
    // disk would otherwise pass for the template and fail later as a
    // "damaged workbook" with the real cause lost.
    context::CopyFileWhole(labelTemplate, file);
    return context::FileExists(file);
  }
  DictionaryRef set;
  try {
    set = GetCurrNoteInfo();
  } catch (const HostError& e) {
    throw HostError(e.Number(), std::string(text::kLoadDataError) + e.Description());
  }
  if (!set) throw HostError(HostError::kKeyNotFound, std::string(text::kLoadDataError) + std::string(text::kNoTemplateInfo));
  for (int i = 1; i <= set->Count(); ++i) {
    auto entry = set->ItemAt(i).AsObject<HostVector>();
    if (!entry) throw HostError(HostError::kTypeMismatch, "the template set entry " + set->Key(i) + " is not a list");
    const Variant& contents = entry->Item(2);
    if (contents.Type() != VariantType::Bytes)
      throw HostError(HostError::kTypeMismatch, "the template " + set->Key(i) + " has no stored contents; register it again");
    host::WriteFileBytes(context::ToHostPath(file), contents.ToBytes());
  }
  return true;
}

DictionaryRef ActionCore::GetCurrNoteInfo() {
  auto set = family_.queryTemplateSet(in_);
  return set && set->Count() > 0 ? set : nullptr;
}

}  // namespace vemo::actions::detail
