// libcups, bound when the first print asks for it rather than linked: the
// library and the ~25 libraries it pulls in (Kerberos, GnuTLS, Avahi, D-Bus,
// systemd) cost every vemoprint process about 11 ms of start-up on the build
// machine, and only printing needs them.
#pragma once
#include <cups/cups.h>

namespace vemo::host {

// The libcups functions the printer calls. Each pointer is set.
struct CupsLibrary {
  decltype(&cupsGetNamedDest) getNamedDest;
  decltype(&cupsFreeDests) freeDests;
  decltype(&cupsAddOption) addOption;
  decltype(&cupsFreeOptions) freeOptions;
  decltype(&cupsPrintFile2) printFile2;
  decltype(&cupsLastErrorString) lastErrorString;
};

// Loads libcups on the first call; throws OutputError saying which package
// to install when it is missing or lacks one of the functions.
const CupsLibrary& Cups();

}  // namespace vemo::host
