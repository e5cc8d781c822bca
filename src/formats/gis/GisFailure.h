// How the module's work fails: input it refuses (an unknown code, a point
// outside its zone, a file GDAL cannot read, a layer without points), or
// work that cannot be done. The entry table (GisEntries.cpp) turns them into
// results and messages; none leaves the module.
#pragma once

#include <stdexcept>

namespace lumaq::gis {

class Rejected : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Failed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace lumaq::gis
