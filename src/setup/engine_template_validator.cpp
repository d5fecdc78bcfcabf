// Kept in a file of its own: it is the only part of the setup folder that
// needs the template engine's code at link time.
#include "engine/excel_operater.h"
#include "setup/template_validator.h"

namespace vemo::setup {

TemplateValidator EngineTemplateValidator(DocumentKind kind, std::int32_t dataSourceType) {
  return [kind, dataSourceType](const std::string& path, std::int32_t id) {
    auto engine = engine::MakeEngine(kind);
    // The waybill engine has no data source type.
    if (auto* inputs = dynamic_cast<engine::LabelAndReportInputs*>(engine.get()))
      inputs->SetDataSourceType(dataSourceType);
    return engine->ValidateTemplate(path, id);
  };
}

}  // namespace vemo::setup
