#include "rawdata/RawUnitState.h"

namespace lumaq {

RawUnitState& ProcessRawUnitState() {
  static RawUnitState state;
  return state;
}

}  // namespace lumaq
