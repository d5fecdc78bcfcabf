#include "actions/engine_job.h"

#include "foundation/host_error.h"

namespace vemo::actions {

Installed<EngineFactory>& InstalledEngineFactory() {
  static Installed<EngineFactory> factory{CreateRealEngineJob};
  return factory;
}

std::unique_ptr<EngineJob> CreateEngineJob(DocumentKind kind) {
  EngineFactory factory = InstalledEngineFactory().Get();
  auto job = factory ? factory(kind) : nullptr;
  if (!job) throw HostError(HostError::kCannotCreateObject, "the template engine could not be created");
  return job;
}

}  // namespace vemo::actions
