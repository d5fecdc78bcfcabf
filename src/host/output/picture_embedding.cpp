#include "host/output/picture_embedding.h"

#include "host/output/output_error.h"
#include "host/output/render_copy.h"
#include "workbook/embed_linked_pictures.h"
#include "workbook/workbook_error.h"

namespace vemo::host {

EmbeddedPictures EmbedLinkedPicturesOf(const std::filesystem::path& xlsx) {
  try {
    // The same mapping of Windows paths the renderer follows when it prints the links.
    const wb::EmbedPicturesResult result = wb::EmbedLinkedPicturesInFile(xlsx, HostLinkPath);
    return {static_cast<int>(result.embedded.size()), static_cast<int>(result.keptLinked.size())};
  } catch (const wb::WorkbookError& e) {
    throw OutputError("cannot store the linked pictures in " + xlsx.filename().string() + ": " + e.what());
  }
}

}  // namespace vemo::host
