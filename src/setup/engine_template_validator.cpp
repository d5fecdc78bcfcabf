// Kept in a file of its own: it is the only part of the setup folder that
// needs the template engine's code at link time.
#include "engine/excel_operater.h"
#include "setup/template_validator.h"

namespace vemo::setup {

TemplateValidator EngineTemplateValidator(EngineKind kind, std::int32_t dataSourceType) {
  switch (kind) {
    case EngineKind::Bill:
      return [dataSourceType](const std::string& path, std::int32_t id) {
        engine::ExcelOperater engine;
        engine.SetDataSourceType(dataSourceType);
        return engine.ValidateTemplate(path, id);
      };
    case EngineKind::Report:
      return [dataSourceType](const std::string& path, std::int32_t id) {
        engine::ExcelOperaterRpt engine;
        engine.SetDataSourceType(dataSourceType);
        return engine.ValidateTemplate(path, id);
      };
    case EngineKind::Logistics:
      return [](const std::string& path, std::int32_t id) {
        engine::ExcelOperaterLM engine;
        return engine.ValidateTemplate(path, id);
      };
  }
  return {};
}

}  // namespace vemo::setup
