// The send side of the transfer dialog, with the fuzzer's bytes as the
// instrument's requests and echoes (the items of FuzzTransfer.h; the first
// byte chooses one of the jobs below). It ends; it writes a frame only right
// after reading a request, and that frame is the record after the ones the
// instrument accepted, binary or text as requested; 0x00 only right after the
// sum of the frame last written; 0xEE only after the last record's 0x00, and
// nothing after it. The job is left as it was.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzTransfer.h"
#include "comm/FrameHeaders.h"
#include "comm/TransferSession.h"
#include "rawdata/RawUnitState.h"
#include "rawdata/String_func.h"
#include "records/JobDocument.h"
#include "records/RecordLine.h"

namespace {

using namespace lumaq;

// A record as the job holds it, and what goes on the line for it.
struct Record {
  RecordFields fields;
  // The fields upper-cased as the ANSI code page has it: the trail byte of a
  // two-byte character is no letter.
  RecordFields upper;
  bool packable = true;  // N, E and Z fit the binary frame
};

// A two-byte character whose trail byte is a lower-case "a".
const std::string kWide =
    "\xB5"
    "a";

const Record kLowerCase = {{"p1", "ab", "1234.5", "-12.345", "0.0"},
                           {"P1", "AB", "1234.5", "-12.345", "0.0"}};
const Record kWideName = {{kWide + "x1", "tree", "-999999.999", "9999999.999", ""},
                          {kWide + "X1", "TREE", "-999999.999", "9999999.999", ""}};
const Record kPlain = {{"K12", "", "1", "2", "3"}, {"K12", "", "1", "2", "3"}};
const Record kTooFar = {
    {"BIG", "", "12345678.9", "1", "2"}, {"BIG", "", "12345678.9", "1", "2"}, false};

// The jobs the first input byte chooses from: the records in job order.
const std::array<std::vector<Record>, 3> kJobs = {{
    {kLowerCase, kWideName, kPlain},
    {kPlain},
    {kLowerCase, kPlain, kTooFar, kWideName},  // the send stops at the third
}};

std::string Padded(const std::string& field, std::size_t width) {
  return field + std::string(width - field.size(), ' ');
}

// The 49 text columns of the unchanged fields.
std::string TextFrame(const RecordFields& f) {
  return Padded(f.name, 8) + Padded(f.code, 8) + Padded(f.n, 11) + Padded(f.e, 11) +
         Padded(f.z, 11);
}

// The 32 bytes of the upper-cased record, byte 31 zero.
std::optional<std::string> BinaryFrame(const Record& record) {
  if (!record.packable) return std::nullopt;
  std::string frame(32, '\0');
  EncodeBinaryCoordinateRecord(ComposeRecordLine(record.upper), frame);
  return frame;
}

std::uint8_t Byte(char c) {
  return static_cast<std::uint8_t>(c);
}

struct SendSeen {
  std::size_t accepted = 0;  // records the instrument got 0x00 for
  bool ended = false;        // 0xEE went out
};

SendSeen CheckLine(const std::vector<fuzz::LineEvent>& transcript,
                   const std::vector<Record>& records) {
  SendSeen seen;
  std::optional<std::string> awaitingEcho;  // the frame last written
  for (std::size_t i = 0; i < transcript.size(); ++i) {
    const fuzz::LineEvent& event = transcript[i];
    if (!event.write) continue;
    FUZZ_CHECK(!seen.ended);  // nothing after the end byte
    const fuzz::LineEvent* previous = i > 0 ? &transcript[i - 1] : nullptr;
    const bool afterOneByteRead =
        previous && !previous->write && previous->wanted == 1 && previous->bytes.size() == 1;
    if (event.bytes.size() > 2) {
      // A frame: right after the request, the next record in the asked form.
      FUZZ_CHECK(afterOneByteRead);
      const std::uint8_t request = Byte(previous->bytes[0]);
      FUZZ_CHECK(request == kBinaryRequest || request == kTextRequest);
      FUZZ_CHECK(seen.accepted < records.size());
      const Record& record = records[seen.accepted];
      const std::optional<std::string> expected =
          request == kBinaryRequest ? BinaryFrame(record) : TextFrame(record.fields);
      FUZZ_CHECK(expected && event.bytes == *expected);
      awaitingEcho = event.bytes;
      continue;
    }
    // Protocol bytes: one, or the 0x00 with the poll or end byte after it.
    for (std::size_t b = 0; b < event.bytes.size(); ++b) {
      switch (Byte(event.bytes[b])) {
        case kPollByte:
          break;
        case kFrameBad:
          FUZZ_CHECK(event.bytes.size() == 1);
          awaitingEcho.reset();
          break;
        case kFrameOk:
          // Only the echo of the frame's own sum, read right before, is accepted.
          FUZZ_CHECK(b == 0 && awaitingEcho && afterOneByteRead);
          FUZZ_CHECK(Byte(previous->bytes[0]) == FrameChecksum(*awaitingEcho));
          awaitingEcho.reset();
          if (!event.failed) ++seen.accepted;
          break;
        case kEndByte: {
          // A write the line refused carried its 0x00 too: that record was
          // answered, though the instrument never heard it.
          const bool okInThisFailedWrite = b == 1 && event.failed;
          FUZZ_CHECK(seen.accepted + (okInThisFailedWrite ? 1 : 0) == records.size());
          FUZZ_CHECK(b == 1
                         ? event.bytes[0] == '\0'
                         : previous && previous->write && previous->bytes == std::string(1, '\0'));
          seen.ended = !event.failed;
          break;
        }
        default:
          FUZZ_CHECK(false);
      }
    }
  }
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::vector<Record>& records = kJobs[data[0] % kJobs.size()];
  JobDocument job;
  for (const Record& record : records) job.JobText.push_back(ComposeRecordLine(record.fields));
  const JobDocument before = job;

  fuzz::InstrumentScript script(fuzz::Bytes(data + 1, size - 1));
  fuzz::FuzzTransferPort port(script);
  fuzz::FuzzTransferView view(port);
  RawUnitState units;
  TransferSession session(job, port, view, TransferDirection::kSend, units);
  view.Attach(session);
  fuzz::RunTransfer(session, port, view, script, size);

  const SendSeen seen = CheckLine(port.transcript, records);
  FUZZ_CHECK(session.TransferCount() == static_cast<int>(seen.accepted));
  FUZZ_CHECK(view.label3 == session.TransferCount());
  FUZZ_CHECK((session.Outcome() == TransferOutcome::kSendComplete) == seen.ended);
  if (seen.ended) FUZZ_CHECK(view.label1 == kSendEndText);
  // A record the binary frame cannot carry stops the send when it is asked
  // for as binary, and is named.
  FUZZ_CHECK((session.Outcome() == TransferOutcome::kUnsendableRecord) ==
             view.unsendable.has_value());
  if (view.unsendable) {
    FUZZ_CHECK(seen.accepted < records.size() && !records[seen.accepted].packable);
    FUZZ_CHECK(view.unsendable->lineNumber == static_cast<int>(seen.accepted) + 1);
    FUZZ_CHECK(view.unsendable->pointName == records[seen.accepted].fields.name);
    const fuzz::LineEvent& last = port.transcript.back();
    FUZZ_CHECK(!last.write && last.bytes == std::string(1, static_cast<char>(kBinaryRequest)));
  }
  FUZZ_CHECK(job.JobText == before.JobText);
  FUZZ_CHECK(job.CoordinateMode == before.CoordinateMode);
  FUZZ_CHECK(job.RawRecordBuffer == before.RawRecordBuffer);
  return 0;
}
