#include "engine/engine_variant.h"

namespace vemo::engine {
namespace {

// One column per kind, in DocumentKind's order.
constexpr EngineVariant kVariants[] = {
    {.kind = DocumentKind::Bill,
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
     .hasDataFrom = false,
     .drawsCodes = true,
     .namesBillType = true,
     .queriesThroughClassInfo = false,
     .rights = PriceRightsTable::Standard},
    {.kind = DocumentKind::Report,
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
     .hasDataFrom = false,
     .drawsCodes = true,
     .namesBillType = true,
     .queriesThroughClassInfo = false,
     .rights = PriceRightsTable::Standard},
    {.kind = DocumentKind::Waybill,
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
     .hasDataFrom = true,
     .drawsCodes = false,
     .namesBillType = false,
     .queriesThroughClassInfo = true,
     .rights = PriceRightsTable::Waybill},
};

}  // namespace

const EngineVariant& VariantOf(DocumentKind kind) { return kVariants[static_cast<int>(kind)]; }

}  // namespace vemo::engine
