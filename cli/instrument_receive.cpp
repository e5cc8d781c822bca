// The instrument receiving: each poll 0xAA of the program is answered with a
// request for a binary (0xBB) or text (0xB7) frame; the frame's checksum is
// echoed; the program's verdict 0x00 makes the record the instrument's. The
// end byte 0xEE after an accepted record ends the transfer.
#include <iostream>
#include <string>

#include "Instrument.h"
#include "comm/FrameHeaders.h"
#include "rawdata/String_func.h"
#include "records/RecordLine.h"

namespace lumaq::cli {
namespace {

// The record line of a whole frame as the program sends it.
std::string RecordOfFrame(std::string_view frame, bool text) {
  return text ? DecodeTextCoordinateColumns(frame) : DecodeBinaryCoordinateRecord(frame);
}

}  // namespace

bool ReceiveRecords(InstrumentLine& line, const InstrumentOptions& options,
                    const InstrumentLog& log, JobText& records) {
  const std::uint8_t request = options.text ? kTextRequest : kBinaryRequest;
  const std::size_t size = options.text ? kTextRecordFrameSize : kBinaryRecordFrameSize;
  line.AwaitFarEnd(log);

  int accepted = 0;          // records the program counts as sent
  int attempt = 0;           // frames received of the record being sent
  bool afterOk = false;      // the last answer of the program was 0x00
  bool lostRecord = false;   // one was accepted by the program but came short
  bool pollDropped = false;  // the first poll for the record being sent was ignored
  for (;;) {
    const std::uint8_t byte = *line.ReadByte(Deadline::Never());
    if (byte == kEndByte && afterOk) break;
    afterOk = false;
    if (byte != kPollByte) continue;

    const int number = accepted + 1;
    std::string said = "record " + std::to_string(number);
    if (!pollDropped && DropsPoll(number, options)) {
      pollDropped = true;
      log.Say(said + ": poll ignored, as if lost on the line");
      continue;
    }
    std::string frame;
    for (;;) {
      PauseBeforeFrame(options);
      // The program may have polled more than once meanwhile: one request.
      line.DiscardInput();
      line.Write(LineBytes({request}));
      // The program answers a request, however long it takes; once the frame
      // has begun, its bytes follow within the time-out and their wire time.
      frame.assign(1, static_cast<char>(*line.ReadByte(Deadline::Never())));
      frame += line.ReadBytes(size - 1, Deadline::In(options.timeout + line.WireTime(size - 1)));
      // Polls alone: the request was lost to the program's purge.
      const bool polls = frame.size() < size &&
                         frame.find_first_not_of(static_cast<char>(kPollByte)) == std::string::npos;
      if (!polls) break;
      log.Say(said + ": polled again instead of a frame, requesting again");
    }
    if (++attempt > 1) said += " (attempt " + std::to_string(attempt) + ")";
    if (frame.size() < size) {
      said += " [came short: " + std::to_string(frame.size()) + " of " + std::to_string(size) +
              " bytes]";
    }
    std::string fault;
    const std::string echo = PlanEcho(FrameChecksum(frame), number, attempt, options, fault);
    if (!fault.empty()) said += " [" + fault + "]";
    line.Write(echo);

    // The program answers every echo, 0x00 or 0xFF.
    const auto verdict = line.AwaitOneOf(LineBytes({kFrameOk, kFrameBad}), Deadline::Never());
    if (*verdict == kFrameBad) {
      log.Say(said + ": echo " + HexByte(static_cast<std::uint8_t>(echo[0])) + " refused (0xFF)");
      continue;
    }
    afterOk = true;
    attempt = 0;
    pollDropped = false;
    ++accepted;
    if (frame.size() < size) {
      // The program counts it as sent; the instrument has no whole record.
      lostRecord = true;
      log.Say(said + ": accepted by the program, but the record is incomplete and left out");
      continue;
    }
    records.push_back(RecordOfFrame(frame, options.text));
    log.Say(said + ": received " + TrimControl(records.back()));
    if (number == options.hangupAfter) {
      line.Close();
      std::cerr << "lumaq-cli instrument: hung up after record " << number << " (--hangup-after)"
                << std::endl;
      return false;
    }
  }
  log.Say("end byte 0xEE received");
  line.LetFarEndFinish();
  return !lostRecord;
}

}  // namespace lumaq::cli
