// A1-style cell and range references: the one parser and formatter used by the
// formula lexer, the reference shifting and the workbook model.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vemo::wb {

inline constexpr int kMaxRow = 1048576;
inline constexpr int kMaxColumn = 16384;  // XFD

// "A" -> 1, "XFD" -> 16384 (case-insensitive); 0 when not 1-3 letters or past XFD.
int ColumnNumber(std::string_view letters);
// 1 -> "A"; empty for numbers outside 1..16384.
std::string ColumnLetters(int column);

// One corner of a reference. For whole-column areas the row is unused (0),
// for whole-row areas the column is unused (0).
struct CellRef {
  int row = 0;
  int col = 0;
  bool rowAbsolute = false;
  bool colAbsolute = false;
  bool operator==(const CellRef&) const = default;
};

// The part of a reference after any sheet prefix.
struct AreaRef {
  enum class Kind { Cell, Area, Columns, Rows, Error };  // Error: "#REF!" body (Sheet1!#REF!)
  Kind kind = Kind::Cell;
  CellRef first;
  CellRef last;  // equals first for Kind::Cell
  bool operator==(const AreaRef&) const = default;

  // Normalised bounds (1-based, inclusive); whole columns span all rows etc.
  int Top() const;
  int Bottom() const;
  int Left() const;
  int Right() const;
};

// A full reference as written in a formula: [external]sheet!body.
struct Reference {
  std::string prefix;         // the exact text before the body, '!' included ("" when none)
  std::optional<std::string> sheet;  // unquoted sheet name; first sheet of a 3-D reference
  std::string lastSheet;      // last sheet of a 3-D reference (Sheet1:Sheet3!A1)
  bool threeD = false;
  bool external = false;      // [1]Sheet1!A1 or '[Book.xlsx]Sheet1'!A1
  AreaRef area;
};

std::optional<CellRef> ParseCellRef(std::string_view text);   // "A1", "$B$2"
std::optional<AreaRef> ParseAreaRef(std::string_view text);   // "A1", "A1:B2", "A:C", "$3:$5", "#REF!"
std::optional<Reference> ParseReference(std::string_view text);  // whole text must be one reference

// Finds a reference starting exactly at `pos` in formula text. Returns the end
// offset (one past the reference) and fills `out`; nullopt when the text at
// `pos` is not a reference (a function name such as LOG10, a defined name, a
// column past XFD, a structured reference ...).
std::optional<std::size_t> MatchReference(std::string_view text, std::size_t pos, Reference& out);

std::string FormatCellRef(const CellRef& cell);
std::string FormatAreaRef(const AreaRef& area);
// Sheet name as it must appear before '!': quoted when it is not a plain word.
std::string FormatSheetName(std::string_view sheet);
// prefix + body; the prefix is rebuilt from sheet when `ref.prefix` is empty and a sheet is set.
std::string FormatReference(const Reference& ref);

// Sheet names compare case-insensitively (ASCII letters; other bytes exactly).
bool SameSheetName(std::string_view a, std::string_view b);

// Characters that may appear in a word of formula text (names, functions,
// unquoted sheet names); bytes of UTF-8 sequences count as word characters.
bool IsFormulaWordChar(char ch);

}  // namespace vemo::wb
