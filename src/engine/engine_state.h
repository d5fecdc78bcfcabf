// The engine object's state, shared by the fill driver and the routines it
// calls (keyword scan, entry rows, data binding, head values, host questions).
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "engine/engine_variant.h"
#include "foundation/host_collections.h"
#include "foundation/recordset.h"
#include "host/components/bill_data_service.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace vemo::engine {

// What a field's description says, read once per fill: every entry value
// of a 100,000-line bill would otherwise search the description for the
// same keys again.
struct FieldFacts {
  std::int32_t page = 0;         // FPage
  std::int32_t classTypeId = 0;  // FClassTypeID
  std::int32_t sourceType = 0;   // FSourceType
  std::int32_t ctlType = 0;      // FCtlType
  bool lookup = false;           // FLookUpClassID > 0
  bool summable = false;         // fsum
  mutable std::optional<bool> priceVisible;  // kept once the price rights were read
  std::string keyword;           // FKeyWord, trimmed and upper-cased
  std::string key;               // FKey (or Fkey)
};

// A bill field: a template name matched through the field dictionary.
struct FieldInfo {
  DictionaryRef info;       // the field's description in the dictionary
  std::string internalKey;  // as "Map" gives it
  FieldFacts facts;
};

// One page of the bill data as the value lookups use it: an entry table
// (values by row) or a head dictionary.
struct PageValues {
  bool isObject = false;  // the page exists and is a collection
  bool rowsFromTable = false;
  VectorRef table;
  DictionaryRef head;
};

struct EngineState {
  explicit EngineState(const EngineVariant& v) : variant(v) {}

  const EngineVariant& variant;

  // Bill inputs.
  std::shared_ptr<host::BillDataService> dataService;
  std::int32_t classTypeId = 0;
  DictionaryRef billData;
  DictionaryRef classType;
  DictionaryRef fieldDictionary;
  VectorRef entryClassType;
  std::int32_t billId = 0;
  std::string fileName;
  // Programmatic identifier of the outside cell handler ("IC"/"ThirdPrintCom").
  std::string outsideCellHandler;

  // Item labels and reports.
  DictionaryRef itemValues;
  std::int32_t printHandlerType = 0;
  std::int32_t dataSourceType = 0;
  DictionaryRef reportHead;
  RecordsetRef reportEntries;
  std::string customerName;
  ObjectRef printData;

  // Waybills: where the values come from (1 = a bill through DataSrv), and
  // the bill type id (classtype's FBillTypeID) of such a bill.
  std::int32_t dataFrom = 0;
  std::int32_t billTypeId = 0;

  // The application of the running fill (only during one public call).
  std::shared_ptr<host::IApplication> application;

  // Answers that cannot change during one fill, asked once per fill instead
  // of once per cell (a 10,000-line bill asks for each price cell's right).
  struct FillAnswers {
    std::map<std::int32_t, std::string> hiddenPriceFields;  // by class type id
    std::optional<std::int32_t> industryType;
    // Fields by template name (empty when the name is no field), for the
    // field dictionary `fieldsOf`.
    std::map<std::string, std::optional<FieldInfo>, std::less<>> fields;
    const HostDictionary* fieldsOf = nullptr;
    // The bill's pages by number, for the bill data `pagesOf` and the entry
    // types `entryTypesOf`.
    std::map<std::int32_t, PageValues> pages;
    const HostDictionary* pagesOf = nullptr;
    const HostVector* entryTypesOf = nullptr;
    // System variables by keyword name: position in the engine's table, -1
    // when the name is none.
    std::map<std::string, int, std::less<>> systemVariables;
    // Whether the bill's type negates summable values (asked at the first one).
    std::optional<bool> negatedBillType;
    // The application refused to set HasFormula (a spreadsheet application
    // always does: the property is read-only); the refusal is then not asked
    // for again on every formula cell, where raising it cost more than the rest.
    bool hasFormulaReadOnly = false;
  };
  mutable FillAnswers answers;

  bool IsItemLabel() const { return variant.hasLabelAndReportPaths && printHandlerType == 1; }
  // Whether report values (head values, rows) take the place of the bill's.
  bool IsReport() const {
    return variant.hasLabelAndReportPaths && (variant.alwaysReportPath || dataSourceType == 1);
  }
  // Waybills read their values from Data alone unless dataFrom is 1.
  bool ValuesFromDataAlone() const { return variant.hasDataFrom && dataFrom != 1; }
};

}  // namespace vemo::engine
