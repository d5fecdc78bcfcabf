// What distinguishes the bill, report and waybill engines. The engine code
// is written once (template_engine.cpp and the files it calls); wherever the
// three differ it asks this policy, and the three policies stand side by side
// in one table (engine_variant.cpp).
#pragma once
#include <cstdint>
#include <string>

#include "foundation/document_kind.h"

namespace vemo::engine {

enum class IdentificationRule {
  ByDataSourceType,  // bills: FClassTypeID= for type 0, FTemplateID= for type 1
  TemplateId,        // reports: always FTemplateID=
  ClassTypeId,       // waybills: always FClassTypeID=
};

enum class PriceRightsTable {
  Standard,  // bills and reports
  Waybill,   // class type 1040007 lists without FDiffAmount
};

struct EngineVariant {
  DocumentKind kind;
  IdentificationRule identification;
  // A keyword cell is a formula cell when its text holds "="; the bill
  // engine also asks that the third character is not "$".
  bool formulaCellNeedsNoDollarAtThree;
  // The formula pre-pass stops on the keyword scan's wrap-around tests too.
  bool prepassStopsOnWrap;
  // Entry rows: always the report's record count (reports).
  bool entryCountFromReportRows;
  // Entry rows: the copied row is inserted once per extra row instead of
  // one insertion of all extra rows.
  bool insertRowsOneByOne;
  bool addsSheetMargins;
  // Saving refuses .xlsx on an application older than version 12.
  bool saveChecksVersion;
  // The "IC"/"ThirdPrintCom" outside cell handler is read and called.
  bool usesOutsideCellHandler;
  // Item labels and report head values are part of the keyword values.
  bool hasLabelAndReportPaths;
  // Report head values are tried first whatever the data source type.
  bool alwaysReportPath;
  // The printer hook libraries are loaded by the output operations.
  bool usesPrinterHooks;
  // `dataFrom` says where the values come from: 1 = a bill through DataSrv
  // (whose classtype's FBillTypeID is the bill type), otherwise Data alone
  // (DataSrv is then not kept). Without it DataSrv always serves, and its
  // classtype's FID is the class type.
  bool hasDataFrom;
  // FICITEMBARCODEPICTURE and FICITEMQRCODEPICTURE draw codes; without it
  // those names are plain fields.
  bool drawsCodes;
  // FBILLNAME is the bill type's name; without it, empty.
  bool namesBillType;
  // The queries of lookup fields and auxiliary units go to the class info
  // component instead of the bill's data service.
  bool queriesThroughClassInfo;
  PriceRightsTable rights;
};

// The policy of one kind of document.
const EngineVariant& VariantOf(DocumentKind kind);

}  // namespace vemo::engine
