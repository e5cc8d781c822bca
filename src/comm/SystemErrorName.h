// The system's own name of an error number (errno), as its manuals and
// support pages write it: EIO, EBUSY, EACCES. Messages give it beside the
// program's words, so that a reader never has to guess which number of which
// system is meant.
#pragma once

#include <string>

namespace lumaq {

// "EIO" for EIO; "errno 123" for a number without a name here.
std::string SystemErrorName(int code);

}  // namespace lumaq
