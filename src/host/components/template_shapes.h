// The host data shapes of the template components (NoteInfo, TemplateSet,
// insert answer, update set), built from and read into template rows.
#pragma once
#include <string_view>
#include <vector>

#include "foundation/host_collections.h"
#include "host/database/template_rows.h"

namespace vemo::host {

// A bill or logistics row {FBillID, FName, FSel, FBillTypeSub}; a report row
// {FNoteId, FName, FSel, FBillTypeSub, FTypeSub}.
DictionaryRef MakeNoteRow(const TemplateRow& row, const TemplateTable& table);
DictionaryRef MakeNoteInfo(const std::vector<TemplateRow>& rows, const TemplateTable& table);
DictionaryRef MakeTemplateSet(const std::vector<TemplateFile>& files, std::int64_t owner, std::string_view subType);
VectorRef MakeInsertAnswer(std::int64_t id, std::int64_t owner);

// Reads the update set {"Option", "Data": [{FKey, FName, FSel, FType}]};
// raises HostError naming what is missing.
std::vector<TemplateGridRow> ReadUpdateSet(const HostDictionary& updateSet);

// contents as the caller passes it: a byte array, or Empty/Null for none.
std::optional<Bytes> ReadContents(const Variant& contents);

// A bill type, report id or courier id given as text ("1020002").
std::int64_t OwnerFromText(std::string_view text, std::string_view what);
// A row id given as a double (the grid's numeric key field).
std::int64_t RowIdFromNumber(double rowId);

}  // namespace vemo::host
