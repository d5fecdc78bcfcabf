// The debug log "TalvoDebug.log" in the host's program folder, where picture
// drawing failures are recorded. It is written only when it already exists:
// a support engineer creates the file to switch the log on; nothing here
// ever creates it.
#pragma once
#include <exception>
#include <string>
#include <string_view>

namespace vemo::engine {

inline constexpr std::string_view kDebugLogName = "TalvoDebug.log";

// JoinPath(GetInstallPath(3), kDebugLogName), Windows form.
std::string DebugLogPath();

// Appends `text` as one line. withHeader first writes a line of 42 "=", a
// line "时间：yyyy-mm-dd hh:mm:ss" (local time) and a line of 42 "-";
// withFooter afterwards writes a line of 42 "=" and an empty line. Lines end
// with CR LF, as the log is read on Windows machines too; the text is UTF-8.
// Nothing happens when the file does not exist; errors are ignored.
void WriteDebugLog(std::string_view text, bool withHeader, bool withFooter);

// A drawing failure of `routine` at `step`, as the support engineers read it:
// routine + " Error: Erl=" + step + CR LF + "Errdesc:" + the description
// (a HostError's description, else what()), without header or footer.
void WriteDrawingError(std::string_view routine, int step, const std::exception& error);

}  // namespace vemo::engine
