// How the setup dialogs check an imported template: the template engine's
// ValidateTemplate(path, id) (cell B3 of the third sheet names the bill
// type, report or waybill type). The dialogs take the check as a function,
// so tests and other hosts can supply their own.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/document_kind.h"

namespace vemo::setup {

using TemplateValidator = std::function<bool(const std::string& path, std::int32_t id)>;

// The engine's check: a new engine of that kind per call (the bill engine
// with `dataSourceType` set first). Defined in engine_template_validator.cpp.
TemplateValidator EngineTemplateValidator(DocumentKind kind, std::int32_t dataSourceType);

// The check the dialogs use when none was given to them: the installed
// provider's, or an empty function when no provider is installed.
using TemplateValidatorProvider = std::function<TemplateValidator(DocumentKind kind, std::int32_t dataSourceType)>;
void SetTemplateValidatorProvider(TemplateValidatorProvider provider);
TemplateValidator ProvidedTemplateValidator(DocumentKind kind, std::int32_t dataSourceType);

}  // namespace vemo::setup
