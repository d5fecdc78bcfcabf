// What lies behind the C interface's handles and values, and the guard that
// keeps every exception on this side of the boundary.
#pragma once
#include <string>

#include "foundation/host_error.h"
#include "foundation/variant.h"
#include "vemoprint/vemoprint.h"

// A handle shares the object: the host releasing its handle never frees an
// object the component still holds.
struct vemo_object {
  vemo::ObjectRef ref;
};

namespace vemo::capi {

// The host's value as a Variant: texts copied, objects shared.
Variant FromHost(const vemo_value& value);
// A Variant as a value the host owns (texts copied with malloc, objects as
// new handles). Raises for byte arrays, which have no C form yet.
vemo_value ToHost(const Variant& value);

void SetLastError(std::string message);

// Runs `body`, turning whatever it raises into a status and a last error.
template <class Body>
int Guard(Body&& body) noexcept {
  try {
    SetLastError("");
    body();
    return VEMO_OK;
  } catch (const HostError& e) {
    SetLastError(e.Description());
    return e.Number() == 0 ? VEMO_E_INTERNAL : e.Number();
  } catch (const std::exception& e) {
    SetLastError(e.what());
    return VEMO_E_INTERNAL;
  } catch (...) {
    SetLastError("an unexpected failure inside the component");
    return VEMO_E_INTERNAL;
  }
}

// Raises VEMO_E_ARGUMENT naming `what` when `pointer` is NULL.
inline void Require(const void* pointer, const char* what) {
  if (!pointer) throw HostError(VEMO_E_ARGUMENT, std::string(what) + " must not be NULL");
}

}  // namespace vemo::capi
