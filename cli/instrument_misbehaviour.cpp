// The instrument's misbehaviour on request. Each kind applies to every Nth
// frame or record, on its first attempt only, so the attempt after it is
// sound and the transfer can still complete.
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

}  // namespace

FrameAttempt PlanFrameAttempt(const Frame& frame, int number, int attempt,
                              const InstrumentOptions& options) {
  const std::uint8_t sum = FrameChecksum(frame.body);
  FrameAttempt plan;
  plan.beforeAck.assign(1, static_cast<char>(frame.header));
  plan.afterAck = frame.body;
  plan.afterAck.push_back(static_cast<char>(sum));

  if (Applies(options.doubled, number, attempt)) {
    plan.beforeAck += frame.body.substr(0, 1);
    AddFault(plan.fault, "header and first body byte at once");
  }
  if (Applies(options.badChecksum, number, attempt)) {
    plan.afterAck.back() = static_cast<char>(sum + 1);
    AddFault(plan.fault, "wrong checksum");
  }
  if (Applies(options.cut, number, attempt)) {
    const std::size_t half = frame.body.size() / 2;
    plan.afterAck = frame.body.substr(0, half);
    AddFault(plan.fault, "body cut after " + std::to_string(half) + " of " +
                             std::to_string(frame.body.size()) + " bytes");
  }
  return plan;
}

std::uint8_t PlanEcho(std::uint8_t sum, int number, int attempt, const InstrumentOptions& options,
                      std::string& fault) {
  if (!Applies(options.wrongEcho, number, attempt)) return sum;
  AddFault(fault, "wrong echo");
  return static_cast<std::uint8_t>(sum + 1);
}

void PauseBeforeFrame(const InstrumentOptions& options) {
  if (options.pause.count() > 0) std::this_thread::sleep_for(options.pause);
}

}  // namespace lumaq::cli
