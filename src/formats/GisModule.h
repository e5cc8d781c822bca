// The GIS module (liblumaq_gis.so, built from formats/gis/), loaded the first
// time a GIS format or the list of reference systems is used, so that
// lumaq-cli export csv and the window start without GDAL, PROJ and libxml2.
// It is looked for beside the program file (the build tree) and then in the
// package's private library folder. How it is loaded is the system's part
// (formats/module_posix.cpp).
#pragma once

#include <stdexcept>

#include "formats/GisEntries.h"

namespace lumaq {

// The module is missing or is not the one this program was built with; the
// message says which, in the program's words, and what to do.
class GisModuleMissing : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The module's entry table, loaded on the first call and kept for the run.
// Raises GisModuleMissing.
const LumaqGisEntries& GisModuleEntries();

// The file name looked for.
inline constexpr const char* kGisModuleFile = "liblumaq_gis.so";

}  // namespace lumaq
