// Readable failure messages for the records the format tests compare.
#pragma once

#include <ostream>

#include "records/FieldSplit.h"

namespace lumaq {

inline void PrintTo(const RecordFields& r, std::ostream* out) {
  *out << "{name \"" << r.name << "\", code \"" << r.code << "\", N \"" << r.n << "\", E \"" << r.e
       << "\", Z \"" << r.z << "\"}";
}

}  // namespace lumaq
