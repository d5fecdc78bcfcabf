#include "setup/template_validator.h"

#include <mutex>

namespace vemo::setup {
namespace {

std::mutex g_mutex;
TemplateValidatorProvider g_provider;

}  // namespace

void SetTemplateValidatorProvider(TemplateValidatorProvider provider) {
  std::lock_guard lock(g_mutex);
  g_provider = std::move(provider);
}

TemplateValidator ProvidedTemplateValidator(DocumentKind kind, std::int32_t dataSourceType) {
  std::lock_guard lock(g_mutex);
  if (!g_provider) return {};
  return g_provider(kind, dataSourceType);
}

}  // namespace vemo::setup
