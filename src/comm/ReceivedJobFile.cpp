#include "comm/ReceivedJobFile.h"

#include "records/JobFiles.h"
#include "records/RecordTable.h"
#include "records/TextLines.h"

namespace lumaq {

bool SavesRawRecords(const JobDocument& job, std::string_view path) {
  return !job.CoordinateMode && job.HasRawRecords && IsTsmExtension(path);
}

std::string ReceivedJobBytes(const JobDocument& job, std::string_view path) {
  return SavesRawRecords(job, path) ? job.RawRecordBuffer : JoinLinesCrLf(job.JobText);
}

bool ExceedsRecordTable(const JobDocument& job) {
  return job.CoordinateMode && job.JobText.size() > static_cast<std::size_t>(kMaxRecords);
}

}  // namespace lumaq
