// The lines of a polar-coordinate export: for every station record of a
// job's raw records, its station line, its backsight lines and its distance
// lines, found through the records' link byte.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "rawdata/RawUnitState.h"
#include "records/TextLines.h"

namespace lumaq {

// Appends the polar lines of the raw records in buffer (42 bytes each; a
// remainder shorter than a record is ignored) to lines.
//
// Every station record, in buffer order, gives one group, preceded by an empty
// line unless lines is still empty:
//   station   point name,instrument height,E,N,Z[,code]
//   backsight point name,target height,E,N,Z[,code]
//   distance  point name,target height,slope distance,horizontal angle,zenith angle[,code]
// A group collects the backsight and distance records that carry the
// station's link byte, searched from the record after the station to the end
// of the buffer and then from the start up to the station. Distance lines
// follow in that order; each backsight line found is put directly below the
// station line, so several end up in reverse order. Values are read and shown
// with the state as it is now, not as the job's own records left it.
void BuildPolarLines(const RawUnitState& state, std::string_view buffer, JobText& lines);

// The same lines handed to sink one by one as they are made, the first group
// without an empty line before it. Stations that share a link byte repeat
// their lines, so the lines can be many more than the records: they are
// never held all at once.
using PolarLineSink = std::function<void(std::string_view line)>;
void WritePolarLines(const RawUnitState& state, std::string_view buffer, const PolarLineSink& sink);

// Replaces the file at path with the polar lines, each followed by CR LF,
// written as they are made (see ReplacingFile). Raises FileError.
void WritePolarFile(const RawUnitState& state, std::string_view buffer, const std::string& path);

}  // namespace lumaq
