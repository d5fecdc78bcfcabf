// The template query and update components (clsPrintSetupQuery,
// clsPrintSetupUpdate and their report and logistics twins). Members and
// argument orders are those the system calls; the props string is always
// first. Arguments the host passes by reference are only read, so they are
// taken by value here.
//
// Answer shapes:
//   NoteInfo     {"Data": HostVector of rows in id order, "Option": ""};
//                a bill (logistics) row {FBillID, FName, FSel, FBillTypeSub},
//                a report row {FNoteId, FName, FSel, FBillTypeSub, FTypeSub}.
//   TemplateSet  one entry per selected template of the bill type (report,
//                courier company) and exactly that sub-type, in id order,
//                keyed by its row key "owner|id"; the value a HostVector
//                {1: file name, 2: contents (byte array; Empty when the row
//                was registered without contents)}. No match: an empty set.
//   Insert answer  HostVector {1: new row id, 2: owner (bill type, report id
//                or courier company id)}.
//   Update set   {"Option": "", "Data": HostVector of {FKey, FName, FSel, FType}}.
// Failures raise HostError.
#pragma once
#include <cstdint>
#include <string_view>

#include "foundation/host_collections.h"
#include "foundation/host_object.h"

namespace vemo::host {

class IPrintSetupQuery : public HostObject {
 public:
  // The selected template of each sub-type: {sub-type: {FBillID or FNoteId,
  // FName, FSel, FBillTypeSub}}; bills for clsPrintSetupQuery, reports
  // for clsPrintSetupQueryRpt.
  virtual DictionaryRef GetCurrNote(std::string_view props, std::int32_t ownerId) = 0;
  virtual DictionaryRef GetNoteInfo(std::string_view props, std::int32_t billType) = 0;
  virtual DictionaryRef GetRptNoteInfo(std::string_view props, std::int32_t rptId) = 0;
  virtual DictionaryRef GetNotePrintData(std::string_view props, std::string_view billType, std::string_view subType) = 0;
  virtual DictionaryRef GetRptNotePrintData(std::string_view props, std::string_view rptId, std::string_view subType) = 0;
};

class IPrintSetupQueryLM : public HostObject {
 public:
  virtual DictionaryRef GetNoteInfo(std::string_view props, std::int32_t courierId, std::int32_t dataFrom) = 0;
  virtual DictionaryRef GetNotePrintData(std::string_view props, std::string_view courierId, std::int32_t dataFrom,
                                         std::string_view subType) = 0;
};

class IPrintSetupUpdate : public HostObject {
 public:
  // contents: a byte array, or Empty when the file could not be read.
  virtual VectorRef InsertNoteRow(std::string_view props, std::int32_t billType, std::string_view fileName,
                                  const Variant& contents) = 0;
  virtual VectorRef InsertRptNoteRow(std::string_view props, std::int32_t rptId, std::string_view fileName,
                                     const Variant& contents) = 0;
  virtual void UpdateUserNoteData(std::string_view props, std::int32_t billType, const HostDictionary& updateSet) = 0;
  virtual void UpdateUserRptNoteData(std::string_view props, std::int32_t rptId, const HostDictionary& updateSet) = 0;
  virtual void DeleteNoteRow(std::string_view props, std::int32_t billType, double rowId) = 0;
  virtual void DeleteRptNoteRow(std::string_view props, std::int32_t rptId, double rowId) = 0;
};

class IPrintSetupUpdateLM : public HostObject {
 public:
  virtual VectorRef InsertNoteRow(std::string_view props, std::int32_t courierId, std::string_view fileName,
                                  const Variant& contents, std::int32_t dataFrom) = 0;
  virtual void UpdateUserNoteData(std::string_view props, std::int32_t courierId, const HostDictionary& updateSet,
                                  std::int32_t dataFrom) = 0;
  virtual void DeleteNoteRow(std::string_view props, std::int32_t courierId, double rowId, std::int32_t dataFrom) = 0;
};

}  // namespace vemo::host
