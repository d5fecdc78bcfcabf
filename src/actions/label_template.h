// The item label workbook: the installed sample and the user's copy of it
// in the picture folder, which labels always use.
#pragma once
#include <string>

namespace vemo::actions::detail {

inline constexpr const char* kLabelTemplateName = "商品标签模板.xlsx";

// The user's copy: the picture folder (created when missing) joined with
// the label workbook's name. The first time, the installed sample
// (program folder + "Graphics\ItemPhotos\") is copied there; when neither
// exists the user is told which sample is missing. "" when there is no copy.
std::string LocateLabelTemplate();

}  // namespace vemo::actions::detail
