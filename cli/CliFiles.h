// What the file commands of lumaq-cli share: an output that is the input is
// refused, and records left out by the record limit are reported.
#pragma once

#include <cstddef>
#include <string>

namespace lumaq::cli {

// Raises UsageError when out is the same file as in: the same name, a link
// to it or another name of it (same device and inode).
void RefuseOutputIsInput(const std::string& in, const std::string& out);

// Says on standard error that count records of the file in were left out
// by the limit of 15999; nothing when count is 0.
void WarnRecordsLeftOut(const std::string& in, std::size_t count);

}  // namespace lumaq::cli
