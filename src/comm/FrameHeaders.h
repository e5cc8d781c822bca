// The bytes of the transfer with the instrument, shared by the program's
// receive and send sides and by the simulated instrument: the answers, the
// end byte, the frame headers with their body lengths, and the checksum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumaq {

// Answers and markers on the line.
inline constexpr std::uint8_t kHeaderAck = 0xBB;  // receive: header understood, send the body
inline constexpr std::uint8_t kBinaryRequest =
    0xBB;                                           // send: the instrument asks for a binary frame
inline constexpr std::uint8_t kTextRequest = 0xB7;  // send: the instrument asks for a text frame
inline constexpr std::uint8_t kPollByte = 0xAA;     // send: the program offers the next record
inline constexpr std::uint8_t kFrameOk = 0x00;      // frame accepted
inline constexpr std::uint8_t kFrameBad = 0xFF;     // frame refused; it is to be sent again
inline constexpr std::uint8_t kEndByte = 0xEE;      // end of the transfer
// send: the instrument's answer to a poll, one request byte.
inline constexpr int kRequestSize = 1;

// A byte of the line as messages name it: "0xAA".
inline std::string HexByte(std::uint8_t byte) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  return {'0', 'x', kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

// The headers of the frames that carry one record each.
inline constexpr std::uint8_t kBinaryCoordinateHeader = 0xAA;
inline constexpr std::uint8_t kTextCoordinateHeader = 0x06;
inline constexpr std::uint8_t kRawRecordHeader = 0xA8;

// What a received frame becomes.
enum class FrameKind {
  kBinaryCoordinate,       // 0xAA: one record line
  kStationBlock,           // 0xAF: labelled measurement text
  kTextCoordinate,         // 0x06: one record line
  kCoordinateObservation,  // 0xA0: measurement text
  kSlopeDistance,          // 0xA1: measurement text
  kAngles,                 // 0xA2: measurement text
  kStation,                // 0xA3: measurement text
  kRawRecord,              // 0xA8: a raw measurement record and its text
};

struct FrameHeader {
  std::uint8_t header;
  std::size_t bodySize;  // without the checksum byte that follows the body
  FrameKind kind;
  bool coordinateData;  // the transfer is of coordinate records after this frame
};

// The eight headers the receive side recognises, in the order they are
// looked up.
inline constexpr std::array<FrameHeader, 8> kHeaderTable = {{
    {kBinaryCoordinateHeader, 32, FrameKind::kBinaryCoordinate, true},
    {0xAF, 51, FrameKind::kStationBlock, false},
    {kTextCoordinateHeader, 53, FrameKind::kTextCoordinate, true},
    {0xA0, 56, FrameKind::kCoordinateObservation, false},
    {0xA1, 47, FrameKind::kSlopeDistance, false},
    {0xA2, 39, FrameKind::kAngles, false},
    {0xA3, 56, FrameKind::kStation, false},
    {kRawRecordHeader, 42, FrameKind::kRawRecord, false},
}};

// The longest body of the table.
inline constexpr std::size_t kLongestFrameBody = 56;

// The table's entry of a header byte, if it has one.
constexpr std::optional<FrameHeader> FindFrameHeader(std::uint8_t header) {
  for (const FrameHeader& entry : kHeaderTable) {
    if (entry.header == header) return entry;
  }
  return std::nullopt;
}

// Send: the frames a record goes out in, as the instrument requests it, with
// no header and without their checksum, which the instrument echoes: binary,
// laid out as the body of 0xAA, or text in the columns name 8, code 8 and N,
// E, Z 11 each (RecordFrames.h builds both).
inline constexpr std::size_t kBinaryRecordFrameSize =
    FindFrameHeader(kBinaryCoordinateHeader)->bodySize;
inline constexpr std::size_t kTextRecordFrameSize = 49;

// The 8-bit sum, modulo 256, of the bytes.
constexpr std::uint8_t FrameChecksum(std::string_view bytes) {
  unsigned sum = 0;
  for (const char c : bytes) sum += static_cast<unsigned char>(c);
  return static_cast<std::uint8_t>(sum & 0xFFu);
}

}  // namespace lumaq
