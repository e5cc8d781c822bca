// A transfer dialog's session on a scripted line, its dialog shown and the
// log of the opening cleared: a receive awaits its first header.
#pragma once

#include <cstdint>
#include <string>

#include "comm/TransferSession.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"
#include "support/RecordingTransferView.h"
#include "support/ScriptedTransferPort.h"
#include "support/TransferLog.h"

namespace lumaq::test {

struct TransferRig {
  TransferLog log;
  ScriptedTransferPort port{log};
  RecordingTransferView view{log};
  JobDocument job;
  RawUnitState units;
  TransferSession session;

  explicit TransferRig(TransferDirection direction = TransferDirection::kReceive)
      : session(job, port, view, direction, units) {
    session.FormShow();
    log.clear();
  }
  // Bytes reach the port; its event reports how many wait.
  void Deliver(const std::string& bytes) {
    port.Arrive(bytes);
    session.ComPort1RxChar(port.InputCount());
  }
  // A header, and after the program's 0xBB the rest of the frame.
  void Frame(std::uint8_t header, const std::string& rest) {
    port.ReplyTo("\xBB", rest);
    Deliver(std::string(1, static_cast<char>(header)));
  }
};

}  // namespace lumaq::test
