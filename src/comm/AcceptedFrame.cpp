#include "comm/AcceptedFrame.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "rawdata/MeasurementFrames.h"
#include "rawdata/RawRecord.h"
#include "rawdata/String_func.h"

namespace lumaq {
namespace {

// A text frame's body with every control byte but the zero that ends its text
// made a blank: a CR or LF would split the record line that the text
// becomes, and a job file read back would lose the record or shift its fields.
std::string BlankControlBytes(std::string_view body) {
  std::string text(body);
  for (char& byte : text) {
    if (byte != '\0' && static_cast<unsigned char>(byte) < 0x20) byte = ' ';
  }
  return text;
}

}  // namespace

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
      job.JobText.push_back(DecodeTextCoordinateRecord(BlankControlBytes(body)));
      break;
    case FrameKind::kStationBlock:
      AppendMeasurementFrameText(header, body, job.JobText);
      break;
    case FrameKind::kCoordinateObservation:
    case FrameKind::kSlopeDistance:
    case FrameKind::kAngles:
    case FrameKind::kStation:
      AppendMeasurementFrameText(header, BlankControlBytes(body), job.JobText);
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
