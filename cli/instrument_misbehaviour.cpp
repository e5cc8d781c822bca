// The instrument's misbehaviour on request. Each kind applies to every Nth
// frame or record, on its first attempt only, so the attempt after it is
// sound and the transfer can still complete.
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "Instrument.h"
#include "comm/FrameHeaders.h"

namespace lumaq::cli {
namespace {

bool Applies(int every, int number, int attempt) {
  return every > 0 && attempt == 1 && number % every == 0;
}

void AddFault(std::string& faults, const std::string& fault) {
  if (!faults.empty()) faults += "; ";
  faults += fault;
}

// Neither a header nor the end byte: the program drops it.
constexpr char kStrayByte = 0x55;
// On a serial line the next byte follows the stray one a byte's time later at
// the least, and the program takes the stray on its own; a pseudo-terminal
// would deliver both at once, so the instrument leaves a gap.
constexpr std::chrono::milliseconds kAfterStrayGap{50};

// A text frame's body with CR LF after the first character of its point name,
// the frame's length kept by giving up two bytes of its zero fill, and the
// checksum after it made anew.
void InsertLineBreakInName(std::string& bodyAndSum) {
  std::string body = bodyAndSum.substr(0, bodyAndSum.size() - 1);
  const std::size_t size = body.size();
  body.insert(1, "\r\n");
  body.resize(size);
  bodyAndSum = body + static_cast<char>(FrameChecksum(body));
}

}  // namespace

FrameAttempt PlanFrameAttempt(const Frame& frame, int number, int attempt,
                              const InstrumentOptions& options) {
  FrameAttempt plan;
  plan.beforeAck.assign(1, static_cast<char>(frame.header));
  plan.afterAck = frame.body;
  plan.afterAck.push_back(static_cast<char>(FrameChecksum(frame.body)));

  if (Applies(options.doubled, number, attempt)) {
    plan.beforeAck += frame.body.substr(0, 1);
    AddFault(plan.fault, "header and first body byte at once");
  }
  if (Applies(options.badChecksum, number, attempt)) {
    plan.afterAck.back() = static_cast<char>(FrameChecksum(frame.body) + 1);
    AddFault(plan.fault, "wrong checksum");
  }
  if (Applies(options.controlBytes, number, attempt) && frame.header == kTextCoordinateHeader) {
    InsertLineBreakInName(plan.afterAck);
    AddFault(plan.fault, "CR LF in the point name");
  }
  if (Applies(options.cut, number, attempt)) {
    const std::size_t half = frame.body.size() / 2;
    plan.afterAck = frame.body.substr(0, half);
    AddFault(plan.fault, "body cut after " + std::to_string(half) + " of " +
                             std::to_string(frame.body.size()) + " bytes");
  }
  return plan;
}

std::string PlanEcho(std::uint8_t sum, int number, int attempt, const InstrumentOptions& options,
                     std::string& fault) {
  std::string echo(1, static_cast<char>(sum));
  if (Applies(options.wrongEcho, number, attempt)) {
    echo[0] = static_cast<char>(sum + 1);
    AddFault(fault, "wrong echo");
  }
  if (Applies(options.doubleEcho, number, attempt)) {
    echo += echo;
    AddFault(fault, "echo as two bytes at once");
  }
  return echo;
}

bool DropsPoll(int number, const InstrumentOptions& options) {
  return number > 1 && Applies(options.dropPoll, number - 1, 1);
}

void StrayAfterAccepted(InstrumentLine& line, int number, const InstrumentOptions& options,
                        const InstrumentLog& log) {
  if (!Applies(options.strayAfterOk, number, 1)) return;
  line.Write(std::string(1, kStrayByte));
  log.Say("stray byte " + HexByte(static_cast<std::uint8_t>(kStrayByte)) + " after the 0x00");
  std::this_thread::sleep_for(
      std::max<std::chrono::microseconds>(kAfterStrayGap, line.WireTime(2)));
}

void PauseBeforeFrame(const InstrumentOptions& options) {
  if (options.pause.count() > 0) std::this_thread::sleep_for(options.pause);
}

}  // namespace lumaq::cli
