// Loading a library named the Windows way, by full path, as the system does
// for the host's printer hook libraries.
//
// A Windows library path maps to a shared object on this host: the folder
// goes through the path mapping (path_mapping.h) and "name.dll" becomes
// "libname.so"; so "C:\Program Files\Common Files\quorvan\printer-inject.dll"
// is <drive C folder>/Program Files/Common Files/quorvan/libprinter-inject.so.
// A path not ending in ".dll" keeps its file name.
//
// Loaded modules are never unloaded, and each is remembered under its
// Windows file name (without regard to case), so a function bound by library
// name ("printer-inject.dll") finds the module loaded earlier by full path.
#pragma once
#include <filesystem>
#include <string_view>

namespace vemo::context {

std::filesystem::path HostLibraryFile(std::string_view windowsPath);

// The module handle; nullptr when the file is missing or does not load
// (nothing is reported, as LoadLibrary failing is not).
void* LoadLibraryByPath(std::string_view windowsPath);

// The exported function `name` of `module`; nullptr when absent.
void* LibraryExport(void* module, const char* name);

// The export `name` of the module loaded under `libraryName`; throws
// std::runtime_error naming what is missing when that library was not loaded
// or has no such export.
void* BoundFunction(std::string_view libraryName, const char* name);

// Tests: forgets every module loaded so far (they stay mapped), so a test can
// see the process as one that never loaded them.
void ForgetLoadedLibraries();

}  // namespace vemo::context
