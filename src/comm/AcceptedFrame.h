// What a frame the program has accepted from the instrument becomes in the
// job. The receive step and the replay of a receive journal both go through
// HandleAcceptedFrame, so that the same frames give the same job.
#pragma once

#include <cstdint>
#include <string_view>

#include "comm/FrameHeaders.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"

namespace lumaq {

// A receive starts: the job holds no raw records (RawRecordBuffer,
// HasRawRecords and LinesBesideRawRecords emptied); its text stays.
void StartReceivedFrames(JobDocument& job);

// The flags once a frame of header is accepted into job. Raw records, once
// in the job, keep it a measurement job whatever follows them: its raw bytes
// and their text are never given up for a table of the records after them.
bool HasRawRecordsAfter(const FrameHeader& header, const JobDocument& job);
bool CoordinateDataAfter(const FrameHeader& header, const JobDocument& job);

// Handles one accepted frame (its header byte and its body, without the
// checksum) and returns whether the transfer is of coordinate records after
// it (the dialog's CoordinateData, written to the job's CoordinateMode when
// the dialog closes):
//   0xAA, 0x06  one record line appended to the JobText;
//   0xAF, 0xA0 to 0xA3  the measurement text lines appended;
//   (in the text frames 0x06 and 0xA0 to 0xA3 a control byte before the zero
//   that ends the text becomes a blank, so no line holds CR, LF or the like);
//   0xA8  the 42 bytes appended to the RawRecordBuffer and their text to the
//         JobText, with units (which instrument and unit records change).
// HasRawRecords and the result follow HasRawRecordsAfter and
// CoordinateDataAfter; while raw records are in the job, every other line is
// in LinesBesideRawRecords too. Raises std::invalid_argument, changing
// nothing, for a header that is not in the header table or a body that is
// not of the header's length.
//
// A replay starts from the job as the receive found it (StartReceivedFrames),
// handles the frames in order and then sets CoordinateMode to the value the
// last frame returned (the job's own value when none came).
bool HandleAcceptedFrame(std::uint8_t header, std::string_view body, JobDocument& job,
                         RawUnitState& units);

// Told of each frame the receive accepts, after HandleAcceptedFrame and before
// the program answers 0x00. A sink that raises means the frame could not be
// kept: the job is put back as it was before the frame, the frame is answered
// 0xFF, and the receive ends (TransferOutcome::kFrameNotKept), since nothing
// may be acknowledged that is not kept. The sink itself tells why.
class AcceptedFrameSink {
 public:
  virtual ~AcceptedFrameSink() = default;
  virtual void FrameAccepted(std::uint8_t header, std::string_view body) = 0;
};

}  // namespace lumaq
