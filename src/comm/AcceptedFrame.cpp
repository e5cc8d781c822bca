#include "comm/AcceptedFrame.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "rawdata/MeasurementFrames.h"
#include "rawdata/RawRecord.h"
#include "rawdata/String_func.h"

namespace lumaq {

void StartReceivedFrames(JobDocument& job) {
  job.RawRecordBuffer.clear();
  job.HasRawRecords = false;
  job.LinesBesideRawRecords.clear();
}

bool HasRawRecordsAfter(const FrameHeader& header, const JobDocument& job) {
  return header.kind == FrameKind::kRawRecord || !job.RawRecordBuffer.empty();
}

bool CoordinateDataAfter(const FrameHeader& header, const JobDocument& job) {
  return header.coordinateData && !HasRawRecordsAfter(header, job);
}

bool HandleAcceptedFrame(std::uint8_t header, std::string_view body, JobDocument& job,
                         RawUnitState& units) {
  const auto entry = FindFrameHeader(header);
  if (!entry) throw std::invalid_argument("no frame has the header " + std::to_string(header));
  if (body.size() != entry->bodySize) {
    throw std::invalid_argument("the frame " + std::to_string(header) + " has a body of " +
                                std::to_string(entry->bodySize) + " bytes");
  }
  const bool heldRawRecords = !job.RawRecordBuffer.empty();
  const auto linesBefore = static_cast<std::ptrdiff_t>(job.JobText.size());
  switch (entry->kind) {
    case FrameKind::kBinaryCoordinate:
      job.JobText.push_back(DecodeBinaryCoordinateRecord(body));
      break;
    case FrameKind::kTextCoordinate:
      job.JobText.push_back(DecodeTextCoordinateRecord(body));
      break;
    case FrameKind::kStationBlock:
    case FrameKind::kCoordinateObservation:
    case FrameKind::kSlopeDistance:
    case FrameKind::kAngles:
    case FrameKind::kStation:
      AppendMeasurementFrameText(header, body, job.JobText);
      break;
    case FrameKind::kRawRecord:
      job.RawRecordBuffer.append(body);
      ConvertRawRecord(units, body, job.JobText);
      break;
  }
  const auto text = job.JobText.begin();
  if (entry->kind == FrameKind::kRawRecord && !heldRawRecords) {
    // Every line so far came from elsewhere.
    job.LinesBesideRawRecords.assign(text, text + linesBefore);
  } else if (entry->kind != FrameKind::kRawRecord && heldRawRecords) {
    job.LinesBesideRawRecords.insert(job.LinesBesideRawRecords.end(), text + linesBefore,
                                     job.JobText.end());
  }
  job.HasRawRecords = !job.RawRecordBuffer.empty();
  return entry->coordinateData && !job.HasRawRecords;
}

}  // namespace lumaq
