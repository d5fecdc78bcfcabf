// Where an account's company database lives, and which account a session
// means.
//   - The account (database) name is the "Initial Catalog" inside the braced
//     "ConnectString" of the props string; an empty name means the sample
//     account kSampleAccount.
//   - The data folder is $VEMO_DATA_DIR when set, else
//     $XDG_DATA_HOME/vemoprint/data, else ~/.local/share/vemoprint/data.
//   - The file is <data folder>/<account>.db; the account's picture cache
//     (photos handed out as files) is the folder <data folder>/<account>.pictures.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace vemo::host {

inline constexpr std::string_view kSampleAccount = "VemoSample";

// The props-string lookup of the session: key "ConnectString" answers the
// text inside its braces, any other key the text up to the next separator.
// Keys compare without regard to case. (Kept here until the session layer
// offers it; same rule.)
std::string PropValue(std::string_view text, std::string_view key, std::string_view separator);

// The account named by a props string (never empty: the sample account
// when the props string names none).
std::string AccountName(std::string_view props);
std::string UserName(std::string_view props);

std::filesystem::path DataFolder();
// Raises HostError when the name could escape the data folder ("..", "/").
std::filesystem::path DatabasePath(std::string_view account);
std::filesystem::path PictureCacheFolder(std::string_view account);

// A props string for an account and user, as the host writes it.
std::string MakePropsString(std::string_view account, std::string_view user);

}  // namespace vemo::host
