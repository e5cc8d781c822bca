// The receive side of the transfer dialog, with the fuzzer's bytes as what
// the instrument sends (the items of FuzzTransfer.h). It ends; it answers
// 0xBB only to a header of the table, then 0x00 to a body of the header's
// length with the right sum and 0xFF to any other; the job holds exactly what
// replaying the frames answered 0x00 gives, as a receive journal would.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzTransfer.h"
#include "comm/AcceptedFrame.h"
#include "comm/FrameHeaders.h"
#include "comm/FramesFile.h"
#include "comm/JournalReplay.h"
#include "comm/TransferSession.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"

namespace {

using namespace lumaq;

class RecordingSink final : public AcceptedFrameSink {
 public:
  void FrameAccepted(std::uint8_t header, std::string_view body) override {
    frames.push_back({header, std::string(body)});
  }
  std::vector<Frame> frames;
};

std::uint8_t Byte(char c) {
  return static_cast<std::uint8_t>(c);
}

// The frames the line shows answered 0x00, each checked against the protocol.
// A 0x00 that could not go out (the cable pulled) counts too: its frame was
// whole and right, and the job keeps it.
std::vector<Frame> FramesAnsweredOk(const std::vector<fuzz::LineEvent>& transcript,
                                    bool cablePulled) {
  std::vector<Frame> accepted;
  std::optional<FrameHeader> answered;  // a header answered 0xBB, its frame not yet judged
  std::optional<std::size_t> lastRead;
  std::optional<std::size_t> headerRead;
  for (std::size_t i = 0; i < transcript.size(); ++i) {
    const fuzz::LineEvent& event = transcript[i];
    if (!event.write) {
      lastRead = i;
      continue;
    }
    FUZZ_CHECK(event.bytes.size() == 1);
    const std::uint8_t byte = Byte(event.bytes[0]);
    if (byte == kHeaderAck) {
      // Only a header of the table read alone is answered.
      FUZZ_CHECK(!answered);
      FUZZ_CHECK(lastRead);
      const fuzz::LineEvent& read = transcript[*lastRead];
      FUZZ_CHECK(read.wanted == 1 && read.bytes.size() == 1);
      answered = FindFrameHeader(Byte(read.bytes[0]));
      FUZZ_CHECK(answered);
      headerRead = lastRead;
      continue;
    }
    FUZZ_CHECK(byte == kFrameOk || byte == kFrameBad);
    // A verdict judges the one read of body and checksum after the header.
    FUZZ_CHECK(answered);
    FUZZ_CHECK(lastRead && *lastRead > *headerRead);
    const fuzz::LineEvent& read = transcript[*lastRead];
    const std::size_t length = answered->bodySize;
    FUZZ_CHECK(read.wanted == static_cast<int>(length) + 1);
    const std::string_view got = read.bytes;
    const bool good =
        got.size() == length + 1 && FrameChecksum(got.substr(0, length)) == Byte(got[length]);
    FUZZ_CHECK((byte == kFrameOk) == good);
    if (good) accepted.push_back({answered->header, std::string(got.substr(0, length))});
    answered.reset();
  }
  // A header is left unjudged only when the line went away under its frame.
  FUZZ_CHECK(!answered || cablePulled);
  return accepted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InstrumentScript script(fuzz::Bytes(data, size));
  fuzz::FuzzTransferPort port(script);
  fuzz::FuzzTransferView view(port);
  JobDocument job;
  RawUnitState units;
  TransferSession session(job, port, view, TransferDirection::kReceive, units);
  view.Attach(session);
  RecordingSink sink;
  session.SetAcceptedFrameSink(&sink);
  fuzz::RunTransfer(session, port, view, script, size);

  const std::vector<Frame> accepted = FramesAnsweredOk(port.transcript, port.Gone());
  FUZZ_CHECK(sink.frames == accepted);
  FUZZ_CHECK(session.TransferCount() == static_cast<int>(accepted.size()));
  FUZZ_CHECK(view.label3 == session.TransferCount());

  // The job is what the accepted frames give, flags included.
  JobDocument replayed;
  RawUnitState replayUnits;
  JournalContent journal;
  journal.frames = accepted;
  ReplayFrames(journal, replayed, replayUnits);
  FUZZ_CHECK(job.JobText == replayed.JobText);
  FUZZ_CHECK(job.RawRecordBuffer == replayed.RawRecordBuffer);
  FUZZ_CHECK(job.LinesBesideRawRecords == replayed.LinesBesideRawRecords);
  FUZZ_CHECK(job.HasRawRecords == replayed.HasRawRecords);
  FUZZ_CHECK(job.CoordinateMode == replayed.CoordinateMode);

  // Only the end byte, read alone as the last thing, ends a receive as done.
  if (session.Outcome() == TransferOutcome::kEndReceived) {
    FUZZ_CHECK(!port.transcript.empty());
    const fuzz::LineEvent& last = port.transcript.back();
    FUZZ_CHECK(!last.write && last.bytes == std::string(1, static_cast<char>(kEndByte)));
    FUZZ_CHECK(view.label1 == kReceiveEndText);
  }
  return 0;
}
