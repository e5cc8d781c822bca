// What a receive saves: the job after the transfer as Save As would write it,
// given the name of the file it goes to. lumaq-cli receive saves this, and a
// recovered receive journal gives the same.
#pragma once

#include <string>
#include <string_view>

#include "records/JobDocument.h"

namespace lumaq {

// Raw records arrived and the file is a measurement data file (.TSM or .tsm):
// the raw record bytes are saved unchanged.
bool SavesRawRecords(const JobDocument& job, std::string_view path);

// The bytes for path: the raw records (SavesRawRecords), else every line of
// the job text followed by CR LF (the record lines of a coordinate transfer,
// the measurement text otherwise). Every received line is kept, even beyond
// the record table's 15999 rows.
std::string ReceivedJobBytes(const JobDocument& job, std::string_view path);

// A coordinate transfer with more lines than the record table holds: opening
// the saved file keeps only the first kMaxRecords of them.
bool ExceedsRecordTable(const JobDocument& job);

}  // namespace lumaq
