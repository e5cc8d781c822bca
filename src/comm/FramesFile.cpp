#include "comm/FramesFile.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "comm/FrameHeaders.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

std::string NoHeaderMessage(std::size_t offset, std::uint8_t byte) {
  return "byte " + HexByte(byte) + " at offset " + std::to_string(offset) + " is no frame header";
}

}  // namespace

InvalidFramesFile::InvalidFramesFile(const std::string& message, std::size_t offset,
                                     std::uint8_t byte)
    : std::runtime_error(message), offset_(offset), byte_(byte) {}

FramesFileContent ParseFrames(std::string_view bytes) {
  FramesFileContent content;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const auto header = static_cast<std::uint8_t>(bytes[offset]);
    const auto entry = FindFrameHeader(header);
    if (!entry) throw InvalidFramesFile(NoHeaderMessage(offset, header), offset, header);
    const std::string_view body = bytes.substr(offset + 1, entry->bodySize);
    Frame frame{header, std::string(body)};
    if (body.size() < entry->bodySize) {
      content.cutFrame = std::move(frame);
      break;
    }
    content.frames.push_back(std::move(frame));
    offset += 1 + entry->bodySize;
  }
  return content;
}

FramesFileContent ReadFramesFile(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  try {
    return ParseFrames(bytes);
  } catch (const InvalidFramesFile& error) {
    throw InvalidFramesFile("\"" + path + "\": not a frames file: " + error.what(), error.offset(),
                            error.byte());
  }
}

std::string FrameBytes(const Frame& frame) {
  const auto entry = FindFrameHeader(frame.header);
  if (!entry) throw std::invalid_argument(HexByte(frame.header) + " is no frame header");
  if (frame.body.size() != entry->bodySize) {
    throw std::invalid_argument("a frame " + HexByte(frame.header) + " has " +
                                std::to_string(entry->bodySize) + " body bytes, not " +
                                std::to_string(frame.body.size()));
  }
  std::string bytes(1, static_cast<char>(frame.header));
  bytes += frame.body;
  return bytes;
}

void WriteFramesFile(const std::string& path, const std::vector<Frame>& frames) {
  std::string bytes;
  for (const Frame& frame : frames) bytes += FrameBytes(frame);
  WriteFileAtomically(path, bytes);
}

}  // namespace lumaq
