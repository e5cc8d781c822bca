// Which way the next transfer with the instrument runs: set by the Receive and
// Send commands, read by the transfer when it starts.
#pragma once

namespace lumaq {

enum class TransferDirection { kReceive, kSend };

}  // namespace lumaq
