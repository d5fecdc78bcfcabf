// Reading ini files the way the host's profile-string function reads them.
//
//   ReadIni("C:\Program Files\Quorvan\Tradon\VemoBaseScheme.ini", "Version", "BarcodeControlType", "0")
//
// The file path goes through the path mapping. Rules:
//   - "[Section]" lines open a section; section names and keys ignore case
//     and are trimmed.
//   - "key=value": the key is the text before the first "=", the value the
//     text after it, both trimmed. Lines without "=" and lines starting with
//     ";" are ignored; a ";" later in a line is part of the value (the profile
//     function has no trailing comments).
//   - A value enclosed in matching double or single quotes loses them
//     ("a b" -> a b); a value with only one quote keeps it.
//   - When a section or key appears twice, the first one counts.
//   - A missing file, section or key gives `fallback` with its trailing
//     blanks removed.
//   - The answer holds at most 254 characters: the host asks with a size of
//     255, and the profile function keeps the last place for the terminator.
//     Characters are counted as characters, not bytes. Files are UTF-8 (a
//     byte-order mark is skipped); lines may end in CR LF.
#pragma once
#include <string>
#include <string_view>

namespace vemo::context {

inline constexpr std::size_t kIniAnswerSize = 255;

std::string ReadIni(std::string_view file, std::string_view section, std::string_view key,
                    std::string_view fallback);

// The same over the text of an ini file (no file system).
std::string ReadIniText(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view fallback);

}  // namespace vemo::context
