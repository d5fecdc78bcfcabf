#include "setup/template_validator.h"

#include "foundation/installed.h"

namespace vemo::setup {
namespace {

Installed<TemplateValidatorProvider>& InstalledProvider() {
  static Installed<TemplateValidatorProvider> provider;
  return provider;
}

}  // namespace

void SetTemplateValidatorProvider(TemplateValidatorProvider provider) { InstalledProvider().Set(std::move(provider)); }

TemplateValidator ProvidedTemplateValidator(DocumentKind kind, std::int32_t dataSourceType) {
  TemplateValidatorProvider provider = InstalledProvider().Get();
  if (!provider) return {};
  return provider(kind, dataSourceType);
}

}  // namespace vemo::setup
