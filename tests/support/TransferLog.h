// One ordered log of what a transfer did on its line and its face, shared by
// ScriptedTransferPort and RecordingTransferView, so that a test compares the
// whole sequence: "read AA", "write BB", "purge in", "Label3 1", "sleep 100"...
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace lumaq::test {

using TransferLog = std::vector<std::string>;

// A byte as two upper-case hex digits.
inline std::string Hex(std::uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(byte));
  return text;
}

// Bytes as hex digits with a blank between them.
inline std::string HexBytes(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    if (!text.empty()) text += ' ';
    text += Hex(static_cast<std::uint8_t>(c));
  }
  return text;
}

}  // namespace lumaq::test
