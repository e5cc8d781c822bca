// lumaq-cli instrument: the total station's side of a transfer, in software.
// Its options, its end of the line, its misbehaviour on request, and the two
// directions it plays: sending frames to the program (which receives) and
// receiving records from it (which sends).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CliCommand.h"
#include "comm/FrameHeaders.h"
#include "comm/FramesFile.h"
#include "comm/SerialDevice.h"
#include "comm/WireTime.h"
#include "records/TextLines.h"

namespace lumaq::cli {

using Milliseconds = std::chrono::milliseconds;

enum class InstrumentAction { kSendJob, kSendRaw, kSendFrames, kReceive };

struct InstrumentOptions {
  // The line: exactly one of port, device and pty.
  std::string port;    // --port COMn
  std::string device;  // --device PATH
  bool pty = false;    // --pty
  std::optional<int> baud;

  InstrumentAction action = InstrumentAction::kSendJob;
  std::string file;   // IN, or OUT for receive
  bool text = false;  // text frames (send-job, receive)

  Milliseconds timeout{1000};
  // Misbehaviour: each applies to every Nth frame or record, once; 0 never.
  int badChecksum = 0;
  int cut = 0;
  int doubled = 0;
  int wrongEcho = 0;
  int doubleEcho = 0;    // receiving: the echo as two bytes at once
  int dropPoll = 0;      // receiving: the first poll for such a record is ignored
  int strayAfterOk = 0;  // sending: one stray byte right after the program's 0x00
  int controlBytes = 0;  // sending: CR LF inside a text frame's point name
  int hangupAfter = 0;
  Milliseconds pause{0};
  bool verbose = false;
};

// The actions, for the help of lumaq-cli instrument.
inline constexpr const char* kInstrumentActions =
    "ACTION: send-job IN.BDT [--text] | send-raw IN.TSM | send-frames FILE |\n"
    "        receive OUT.BDT [--text]";

// The options of lumaq-cli instrument, for its declaration.
std::vector<CliOption> InstrumentCliOptions();
// Raises UsageError for a wrong call.
InstrumentOptions ParseInstrumentOptions(const CliCall& call);

// A byte as the log shows it: "0xAA".
// Protocol bytes as a byte string.
std::string LineBytes(std::initializer_list<std::uint8_t> bytes);

// One line on standard error per frame, with --verbose.
class InstrumentLog {
 public:
  explicit InstrumentLog(bool verbose) : verbose_(verbose) {}
  void Say(const std::string& line) const;

 private:
  bool verbose_;
};

// The instrument's end of the line, read byte by byte against deadlines.
// Every read and write raises SerialError once the line is gone.
class InstrumentLine {
 public:
  // Opens what the options name. With --pty, creates the pair and prints the
  // far end's path as the first line of out.
  static InstrumentLine Open(const InstrumentOptions& options, std::ostream& out);

  // A pseudo-terminal of our own waits here until a program opens its far
  // end; a device is ready at once.
  void AwaitFarEnd(const InstrumentLog& log);
  // The next byte, if one comes before the deadline.
  std::optional<std::uint8_t> ReadByte(Deadline deadline);
  // Up to count bytes, as many as come before the deadline.
  std::string ReadBytes(std::size_t count, Deadline deadline);
  // The first of the wanted bytes that comes before the deadline; other bytes
  // are passed over.
  std::optional<std::uint8_t> AwaitOneOf(std::string_view wanted, Deadline deadline);
  // Drops whatever has come in and not been read.
  void DiscardInput();
  void Write(std::string_view bytes);
  // How long count bytes take on the wire at the line's rate.
  std::chrono::microseconds WireTime(std::size_t count) const;
  // After the last byte of a transfer: a pseudo-terminal of our own is kept
  // open until the program has closed its end, at most a few seconds, since
  // closing it first would take from the program what it has not yet read.
  void LetFarEndFinish();
  // Hangs up, as a pulled cable does.
  void Close();

 private:
  InstrumentLine(std::unique_ptr<SerialDevice> device, bool ownPty, int baud);
  void Fill(Deadline deadline);

  std::unique_ptr<SerialDevice> device_;
  bool ownPty_;
  int baud_;
  std::string pending_;  // received, not yet read
};

// How one attempt at sending a frame goes on the line: what is sent before
// the answer 0xBB is awaited, what after it, and what was done wrong.
struct FrameAttempt {
  std::string beforeAck;  // the header (with --double, also the first body byte)
  std::string afterAck;   // the body and its checksum (or less, or wrong)
  std::string fault;      // empty when the attempt is sound
};
// Attempt (1 for the first) at frame number (1 for the first).
FrameAttempt PlanFrameAttempt(const Frame& frame, int number, int attempt,
                              const InstrumentOptions& options);
// The checksum echoed for record number at its attempt: the true sum, with
// --wrong-echo a different one, with --double-echo the sum twice at once.
std::string PlanEcho(std::uint8_t sum, int number, int attempt, const InstrumentOptions& options,
                     std::string& fault);
// Whether the first poll for record number is ignored (--drop-poll), as if
// lost on the line. The first record's request answers Timer1's polls.
bool DropsPoll(int number, const InstrumentOptions& options);
// Right after the program accepted frame number: with --stray-after-ok one
// stray byte, then a silence before the next byte.
void StrayAfterAccepted(InstrumentLine& line, int number, const InstrumentOptions& options,
                        const InstrumentLog& log);
// The silence before every frame.
void PauseBeforeFrame(const InstrumentOptions& options);

// The frames of the action's input file. Raises RejectedInput for a file the
// instrument cannot send, FileError for one it cannot read.
std::vector<Frame> FramesToSend(const InstrumentOptions& options);

// Both return true when the transfer ended with the end byte and every frame
// or record had been accepted, false when --hangup-after ended it.
bool SendFrames(InstrumentLine& line, const std::vector<Frame>& frames,
                const InstrumentOptions& options, const InstrumentLog& log);
// Appends each record accepted to records as a record line.
bool ReceiveRecords(InstrumentLine& line, const InstrumentOptions& options,
                    const InstrumentLog& log, JobText& records);

}  // namespace lumaq::cli
