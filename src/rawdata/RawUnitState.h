// The byte order and the units in which raw measurement records are read and
// shown. The instrument record sets the byte order, the unit record the units;
// every later record of the run is read and shown with what they left.
#pragma once

namespace lumaq {

enum RawAngleUnit : int {
  kAngleDms = 0,  // degrees, minutes and seconds: 45.3015
  kAngleGon = 1,  // 400 to the full circle
  kAngleMil = 2,  // 6000 to the full circle
};

struct RawUnitState {
  // Multi-byte numbers arrive most significant byte first and are reversed
  // before use.
  bool SwapBytes = true;
  // Heights, distances and coordinates are shown in feet...
  bool DistanceInFeet = false;
  // ...and the foot is the US survey foot rather than the international foot.
  bool UsSurveyFoot = false;
  int AngleUnit = kAngleDms;

  // The values at program start.
  void Reset() { *this = RawUnitState{}; }
};

// The one state of this program run. Only instrument and unit records change
// it; nothing resets it during a run (tests call Reset to start afresh).
RawUnitState& ProcessRawUnitState();

}  // namespace lumaq
