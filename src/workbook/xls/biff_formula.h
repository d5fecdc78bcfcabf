// Formulas of .xls files: the token arrays (rgce) of BIFF8 records turned into
// the A1 formula text the rest of the engine uses, and formula text turned
// back into tokens. Text is without the leading '=', as the model stores it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_address.h"

namespace vemo::wb::xls {

// Where a token array lives. It decides how references are stored when
// encoding: cell and array formulas hold absolute positions (ptgRef/ptgArea),
// shared, conditional-format and validation formulas hold offsets from the
// base cell (ptgRefN/ptgAreaN), names hold 3-D references (ptgRef3d/ptgArea3d)
// to the name's own sheet. Decoding accepts every form in every use.
enum class FormulaUse { Cell, Shared, Array, Name, ConditionalFormat, DataValidation };

// What a SUPBOOK record describes.
enum class SupbookKind { Internal, AddIn, External };

struct Supbook {
  SupbookKind kind = SupbookKind::Internal;
  std::string fileName;                 // External: the book as stored (decoded form)
  std::vector<std::string> sheetNames;  // External: its sheets
  std::vector<std::string> externNames; // EXTERNNAME records in order (ptgNameX index 1 = [0])
};

// One XTI entry of EXTERNSHEET. Sheet tabs are 0-based; 0xFFFE means "the
// workbook" (add-in functions, workbook-level external names), 0xFFFF a
// deleted sheet.
struct Xti {
  uint16_t supbook = 0;
  uint16_t firstSheet = 0;
  uint16_t lastSheet = 0;
};

// One NAME record, in file order (ptgName index 1 = names[0]).
struct DefinedName {
  std::string name;   // "Tax", "_xlnm.Print_Area" for built-in names
  int sheetScope = 0; // 0 = workbook, else 1-based sheet index
};

// Everything outside the token array that the tokens refer to. The reader
// fills it from the workbook globals before decoding. For encoding the
// writer fills it the same way; encoding appends what it needs (XTI entries,
// the internal or add-in SUPBOOK, EXTERNNAME entries for add-in functions),
// so the writer encodes every formula before it writes SUPBOOK, EXTERNNAME
// and EXTERNSHEET from this context.
struct FormulaContext {
  std::vector<std::string> sheetNames;  // sheet tabs in order
  std::vector<Supbook> supbooks;
  std::vector<Xti> xti;
  std::vector<DefinedName> names;
  int sheet = -1;  // encoding: the formula's own sheet (0-based), whose names come before the workbook's

  // XTI index of the internal sheets first..last (0-based tabs), appended
  // (with the internal SUPBOOK when there is none) when missing.
  uint16_t InternalXti(int firstSheet, int lastSheet);
  // XTI index of sheets first..last of a SUPBOOK, appended when missing.
  uint16_t XtiOf(int supbook, int firstSheet, int lastSheet);
  // Index of the internal SUPBOOK, -1 when there is none.
  int InternalSupbook() const;
};

// The token array of a cell formula that only points at another record:
// ptgExp (the shared or array formula whose top-left cell is `master`) or
// ptgTbl (a data table at `master`). Positions are 1-based.
struct FormulaLink {
  enum class Kind { SharedOrArray, Table };
  Kind kind = Kind::SharedOrArray;
  CellAddress master;
};

// The link when `rgce` is a lone ptgExp or ptgTbl, nullopt otherwise.
std::optional<FormulaLink> FindFormulaLink(std::span<const uint8_t> rgce);

// Formula text of a token array. `extra` is the data that follows the tokens
// (array constant values, ptgMemArea rectangles); `base` is the cell the
// formula belongs to (1-based), used by the relative forms (ptgRefN,
// ptgAreaN) and ignored otherwise. References into other books are written
// "[n]Sheet!A1", n counting the External SUPBOOKs from 1. Throws WorkbookError for anything that is
// not a well-formed token array (truncated tokens, unknown tokens, a stack
// that does not end with one value, an index outside the context) and for a
// lone ptgExp/ptgTbl (call FindFormulaLink first). Work is bounded by the
// input size.
std::string DecodeFormula(std::span<const uint8_t> rgce, std::span<const uint8_t> extra,
                          FormulaUse use, CellAddress base, const FormulaContext& context);

struct EncodedFormula {
  std::vector<uint8_t> rgce;
  std::vector<uint8_t> extra;  // array constants, in token order
};

// Tokens of formula text (with or without '='). Function arguments get the
// token class the function expects; IF and CHOOSE get their jump tokens so
// other readers can evaluate them. Throws WorkbookError naming the formula
// when it cannot be stored in an .xls file (references past row 65536 or
// column IV, structured references, sheets, books or names the context does
// not know; "[n]" is the n-th External SUPBOOK, as DecodeFormula writes it). Functions without a BIFF8 number are stored as add-in functions
// (an EXTERNNAME of the add-in SUPBOOK, created when missing).
EncodedFormula EncodeFormula(std::string_view text, FormulaUse use, CellAddress base,
                             FormulaContext& context);

}  // namespace vemo::wb::xls
