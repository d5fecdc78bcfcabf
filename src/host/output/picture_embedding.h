// Storing the pictures a saved workbook links to by Windows paths
// ("file:///c:\ItemPhotos\Item.jpg") into the workbook itself, so a copy
// sent to another machine shows the pictures of this one.
#pragma once
#include <filesystem>

namespace vemo::host {

struct EmbeddedPictures {
  int embedded = 0;
  int keptLinked = 0;  // links whose file is missing here, or not a Windows path
};

// Rewrites `xlsx` in place when any picture was stored. Throws OutputError
// for a workbook that cannot be read or written.
EmbeddedPictures EmbedLinkedPicturesOf(const std::filesystem::path& xlsx);

}  // namespace vemo::host
