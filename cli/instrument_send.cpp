// The instrument sending: the frames of a job, a measurement data file or a
// frames file, each after its header was answered 0xBB, until the program
// accepts it with 0x00; then the end byte.
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Instrument.h"
#include "SendableRecords.h"
#include "comm/FrameHeaders.h"
#include "comm/RecordFrames.h"
#include "rawdata/String_func.h"
#include "records/JobDocument.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/RecordTable.h"

namespace lumaq::cli {
namespace {

// The record lines the program's Send would send of the file: its first
// 15999 lines through the record table.
JobText RecordsOfJob(const std::string& path) {
  if (!IsBdtExtension(path)) throw RejectedInput("not a record file (.BDT or .bdt): " + path);
  return SendableRecords(path);
}

// Binary: the frame the program's send makes of the record.
Frame BinaryCoordinateFrame(const std::string& line) {
  return {kBinaryCoordinateHeader, BinaryRecordFrame(line)};
}

// A record that the program would read back otherwise from a text frame.
class TextFrameError : public std::runtime_error {
 public:
  explicit TextFrameError(const std::string& readBack)
      : std::runtime_error("in a text frame it would read back as \"" + readBack + "\"") {}
};

// Text: "name,code,N,E,Z", zero-filled; taken only when the program reads
// the same record line back from it.
Frame TextCoordinateFrame(const std::string& line) {
  std::string body = EncodeTextCoordinateRecord(line);
  body.resize(FindFrameHeader(kTextCoordinateHeader)->bodySize, '\0');
  const std::string readBack = DecodeTextCoordinateRecord(body);
  if (readBack != line) throw TextFrameError(TrimControl(readBack));
  return {kTextCoordinateHeader, body};
}

std::vector<Frame> JobFrames(const InstrumentOptions& options) {
  const JobText records = RecordsOfJob(options.file);
  std::vector<Frame> frames;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string where = "\"" + options.file + "\" record " + std::to_string(i + 1) + " \"" +
                              TrimControl(records[i]) + "\"";
    try {
      frames.push_back(options.text ? TextCoordinateFrame(records[i])
                                    : BinaryCoordinateFrame(records[i]));
    } catch (const CoordinatePackError& error) {
      throw RejectedInput(std::string(error.what()) + " " + where);
    } catch (const TextFrameError& error) {
      throw RejectedInput(where + " cannot be sent: " + error.what());
    }
  }
  return frames;
}

std::vector<Frame> RawFrames(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  if (!IsAcceptedTsm(bytes)) {
    throw RejectedInput("\"" + path +
                        "\": not a measurement data file (its size is not a multiple of 42 bytes"
                        " or its first record is not an instrument record)");
  }
  std::vector<Frame> frames;
  for (std::size_t at = 0; at < bytes.size(); at += kRawRecordSize) {
    frames.push_back({kRawRecordHeader, bytes.substr(at, kRawRecordSize)});
  }
  return frames;
}

std::vector<Frame> FileFrames(const std::string& path) {
  FramesFileContent content;
  try {
    content = ReadFramesFile(path);
  } catch (const InvalidFramesFile& error) {
    throw RejectedInput(error.what());
  }
  if (content.cutFrame) {
    throw RejectedInput("\"" + path + "\": its last frame (" + HexByte(content.cutFrame->header) +
                        ") is cut short after " + std::to_string(content.cutFrame->body.size()) +
                        " body bytes");
  }
  return content.frames;
}

// One attempt at a frame; true when the program accepted it.
bool SendAttempt(InstrumentLine& line, const Frame& frame, int number, int attempt,
                 const InstrumentOptions& options, const InstrumentLog& log) {
  PauseBeforeFrame(options);
  const FrameAttempt plan = PlanFrameAttempt(frame, number, attempt, options);
  std::string said = "frame " + std::to_string(number) + " " + HexByte(frame.header);
  if (attempt > 1) said += " (attempt " + std::to_string(attempt) + ")";
  if (!plan.fault.empty()) said += " [" + plan.fault + "]";

  line.DiscardInput();
  line.Write(plan.beforeAck);
  if (!line.AwaitOneOf(LineBytes({kHeaderAck}), Deadline::In(options.timeout))) {
    log.Say(said + ": header not answered, sending it again");
    return false;
  }
  line.Write(plan.afterAck);
  const auto verdict =
      line.AwaitOneOf(LineBytes({kFrameOk, kFrameBad}), Deadline::In(options.timeout));
  if (!verdict) {
    log.Say(said + ": no answer to the frame, sending it again");
    return false;
  }
  if (*verdict == kFrameBad) {
    log.Say(said + ": refused (0xFF), sending it again");
    return false;
  }
  log.Say(said + ": accepted");
  StrayAfterAccepted(line, number, options, log);
  return true;
}

}  // namespace

std::vector<Frame> FramesToSend(const InstrumentOptions& options) {
  switch (options.action) {
    case InstrumentAction::kSendJob:
      return JobFrames(options);
    case InstrumentAction::kSendRaw:
      return RawFrames(options.file);
    case InstrumentAction::kSendFrames:
      return FileFrames(options.file);
    case InstrumentAction::kReceive:
      break;
  }
  return {};
}

bool SendFrames(InstrumentLine& line, const std::vector<Frame>& frames,
                const InstrumentOptions& options, const InstrumentLog& log) {
  line.AwaitFarEnd(log);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    for (int attempt = 1; !SendAttempt(line, frames[i], number, attempt, options, log); ++attempt) {
    }
    if (number == options.hangupAfter) {
      line.Close();
      std::cerr << "lumaq-cli instrument: hung up after frame " << number << " (--hangup-after)"
                << std::endl;
      return false;
    }
  }
  line.Write(LineBytes({kEndByte}));
  log.Say("end byte 0xEE sent");
  line.LetFarEndFinish();
  return true;
}

}  // namespace lumaq::cli
