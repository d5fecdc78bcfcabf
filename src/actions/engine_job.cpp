#include "actions/engine_job.h"

#include <mutex>
#include <utility>

#include "foundation/host_error.h"

namespace vemo::actions {
namespace {

std::mutex g_mutex;

EngineFactory& InstalledFactory() {
  static EngineFactory factory = CreateRealEngineJob;
  return factory;
}

}  // namespace

std::unique_ptr<EngineJob> CreateEngineJob(DocumentKind kind) {
  EngineFactory factory;
  {
    std::lock_guard lock(g_mutex);
    factory = InstalledFactory();
  }
  auto job = factory ? factory(kind) : nullptr;
  if (!job) throw HostError(HostError::kCannotCreateObject, "the template engine could not be created");
  return job;
}

ScopedEngineFactory::ScopedEngineFactory(EngineFactory factory) {
  std::lock_guard lock(g_mutex);
  previous_ = std::exchange(InstalledFactory(), std::move(factory));
}

ScopedEngineFactory::~ScopedEngineFactory() {
  std::lock_guard lock(g_mutex);
  InstalledFactory() = std::move(previous_);
}

}  // namespace vemo::actions
