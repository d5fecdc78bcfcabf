// What lies behind the C interface's handles and values, and the guard that
// keeps every exception on this side of the boundary.
#pragma once
#include <mutex>
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
// new handles, byte arrays as one malloc block: the vemo_bytes, then the data).
vemo_value ToHost(const Variant& value);

void SetLastError(std::string message);

// The one lock every call holds from start to end: the component's state
// (the session, the desktop, the engines' caches) is shared by the whole
// process and was written for one caller at a time. Recursive, so a desktop
// callback may call back in on the same thread.
std::recursive_mutex& CallLock();

// Runs `body` under the call lock, turning whatever it raises into a status
// and a last error.
template <class Body>
int Guard(Body&& body) noexcept {
  try {
    const std::lock_guard<std::recursive_mutex> hold(CallLock());
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

// Raises VEMO_E_ARGUMENT when a byte array that is not empty has no data.
inline void RequireData(const vemo_bytes& bytes) {
  if (!bytes.data && bytes.size) throw HostError(VEMO_E_ARGUMENT, "a byte array of " + std::to_string(bytes.size) + " bytes has no data pointer");
}

}  // namespace vemo::capi
