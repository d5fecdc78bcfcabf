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

// The account named by a props string, by the session's props-string rule
// (context::DatabaseNameOf); never empty: the sample account when the props
// string names none.
std::string AccountName(std::string_view props);
std::string UserName(std::string_view props);

std::filesystem::path DataFolder();
// Raises HostError when the name could escape the data folder ("..", "/").
std::filesystem::path DatabasePath(std::string_view account);
std::filesystem::path PictureCacheFolder(std::string_view account);

// A props string for an account and user, as the host writes it; with a
// server, its Data Source names it (database_address.h).
std::string MakePropsString(std::string_view account, std::string_view user, std::string_view server = {});

}  // namespace vemo::host

namespace vemo::host {

// The props string for commands of the command line, which plays the host:
//   account: `account` when given, else $VEMO_DATABASE, else the session's
//            props string (--session), else the sample account;
//   user:    `user` when given, else $VEMO_USER, else the session's user,
//            else the sample administrator;
//   server:  `server` when given, else $VEMO_SERVER, else the session's
//            Data Source, else none (the embedded database).
std::string CommandLineProps(std::string_view account, std::string_view user, std::string_view server = {});

}  // namespace vemo::host
