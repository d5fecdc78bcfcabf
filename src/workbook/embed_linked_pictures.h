// Turning pictures a drawing links to (files outside the package, loaded by
// the reader when it opens the workbook) into pictures stored in the package,
// so the file shows the same pictures wherever it is opened.
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::wb {

class ZipPackage;

// The local file an external link target stands for, or nullopt when the
// target is not one this machine can follow (the link then stays as it is).
using LinkTargetResolver = std::function<std::optional<std::filesystem::path>(std::string_view target)>;

struct EmbedPicturesResult {
  std::vector<std::string> embedded;    // link targets now stored as media parts
  std::vector<std::string> keptLinked;  // link targets left external (unresolved, unreadable, not a picture)
};

// Every drawing blip that links (r:link) to an external image relationship
// whose target resolves to a readable picture file gets that file as a media
// part (xl/media/imageN.<ext>, the type taken from the file's first bytes);
// the relationship loses TargetMode and points at the part, the blip says
// r:embed instead of r:link, and [Content_Types].xml gets a Default for the
// extension when it has none. Parts not involved keep their bytes. A file
// linked several times is stored once.
EmbedPicturesResult EmbedLinkedPictures(ZipPackage& package, const LinkTargetResolver& resolve);

// The same on a saved .xlsx, rewritten in place (through a temporary file
// beside it) when anything was embedded. Throws WorkbookError for a file
// that cannot be read or written.
EmbedPicturesResult EmbedLinkedPicturesInFile(const std::filesystem::path& xlsx, const LinkTargetResolver& resolve);

}  // namespace vemo::wb
