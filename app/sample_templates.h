// The sample templates of examples/templates, registered in an account the
// way a user would register them in the setup dialogs: each with its
// sub-type, checked by the engine, selected by the dialogs' rule.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace vemo::app {

// The folder of the sample templates: $VEMO_SAMPLES_DIR, else
// examples/templates beside the program's build folder, else "" (not found).
std::filesystem::path SampleTemplateFolder();

// Registers every sample template whose name the account does not hold yet.
// Prints one line per template registered when `listEach`, and one per
// template that could not be; answers how many were registered.
int RegisterSampleTemplates(const std::string& props, const std::filesystem::path& folder, bool listEach = true);

// Installs the sample item label template where the program's installation
// keeps it (Graphics\ItemPhotos\商品标签模板.xlsx under the install folder),
// unless one is there already. Answers the installed path, or "".
std::string InstallSampleLabelTemplate(const std::filesystem::path& folder);

// Installs the three blank pictures the label job copies over the item's
// photo, barcode and QR code before each label (Item_Empty.jpg,
// BarCode_Item_Empty.bmp, QRCode_Item_Empty.bmp in Graphics\ItemPhotos\ of
// the install folder), each unless one is there. Without them an item with no
// codes shows the previous item's. Answers the paths installed.
std::vector<std::string> InstallLabelPlaceholders();

}  // namespace vemo::app
