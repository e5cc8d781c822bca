#include "comm/AcceptedFrame.h"

#include <stdexcept>
#include <string>

#include "comm/FrameHeaders.h"
#include "rawdata/MeasurementFrames.h"
#include "rawdata/RawRecord.h"
#include "rawdata/String_func.h"

namespace lumaq {

bool HandleAcceptedFrame(std::uint8_t header, std::string_view body, JobDocument& job,
                         RawUnitState& units) {
  const auto entry = FindFrameHeader(header);
  if (!entry) throw std::invalid_argument("no frame has the header " + std::to_string(header));
  if (body.size() != entry->bodySize) {
    throw std::invalid_argument("the frame " + std::to_string(header) + " has a body of " +
                                std::to_string(entry->bodySize) + " bytes");
  }
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
  job.HasRawRecords = entry->kind == FrameKind::kRawRecord;
  return entry->coordinateData;
}

}  // namespace lumaq
