// Never part of a program: compiled as the formats layer is (it links rawdata and
// records), its include of comm must fail, while the one of records before it is
// found. tests/CMakeLists.txt runs the build of it and expects that failure.
#include "records/RecordLine.h"

// A layer that formats does not use.
#include "comm/ComPort.h"
