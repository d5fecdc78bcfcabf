#include "engine/engine_variant.h"

namespace vemo::engine {

const EngineVariant& BillVariant() {
  static const EngineVariant variant{
      .kind = EngineKind::Bill,
      .identification = IdentificationRule::ByDataSourceType,
      .formulaCellNeedsNoDollarAtThree = true,
      .prepassStopsOnWrap = false,
      .entryCountFromReportRows = false,
      .insertRowsOneByOne = false,
      .addsSheetMargins = true,
      .saveChecksVersion = true,
      .usesOutsideCellHandler = true,
      .hasLabelAndReportPaths = true,
      .alwaysReportPath = false,
      .usesPrinterHooks = true,
      .rights = PriceRightsTable::Standard,
  };
  return variant;
}

const EngineVariant& ReportVariant() {
  static const EngineVariant variant{
      .kind = EngineKind::Report,
      .identification = IdentificationRule::TemplateId,
      .formulaCellNeedsNoDollarAtThree = false,
      .prepassStopsOnWrap = true,
      .entryCountFromReportRows = true,
      .insertRowsOneByOne = true,
      .addsSheetMargins = true,
      .saveChecksVersion = true,
      .usesOutsideCellHandler = true,
      .hasLabelAndReportPaths = true,
      .alwaysReportPath = true,
      .usesPrinterHooks = true,
      .rights = PriceRightsTable::Standard,
  };
  return variant;
}

const EngineVariant& WaybillVariant() {
  static const EngineVariant variant{
      .kind = EngineKind::Waybill,
      .identification = IdentificationRule::ClassTypeId,
      .formulaCellNeedsNoDollarAtThree = false,
      .prepassStopsOnWrap = true,
      .entryCountFromReportRows = false,
      .insertRowsOneByOne = true,
      .addsSheetMargins = false,
      .saveChecksVersion = false,
      .usesOutsideCellHandler = false,
      .hasLabelAndReportPaths = false,
      .alwaysReportPath = false,
      .usesPrinterHooks = false,
      .rights = PriceRightsTable::Waybill,
  };
  return variant;
}

}  // namespace vemo::engine
