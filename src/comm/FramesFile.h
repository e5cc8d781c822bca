// The frames file: a plain sequence of transfer frames, each its header byte
// followed by its body, the body as long as the header table says; the
// checksum is not stored. The simulated instrument sends the frames of such a
// file, and a receive journal is one, growing by each frame accepted.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lumaq {

struct Frame {
  std::uint8_t header = 0;
  std::string body;
  bool operator==(const Frame&) const = default;
};

struct FramesFileContent {
  std::vector<Frame> frames;  // the whole frames, in file order
  // A last frame cut short, as a journal written up to a crash may end: its
  // header and the body bytes that are there (fewer than the table's).
  std::optional<Frame> cutFrame;
};

// A byte where a frame header is due that is no header of the table.
class InvalidFramesFile : public std::runtime_error {
 public:
  InvalidFramesFile(const std::string& message, std::size_t offset, std::uint8_t byte);
  std::size_t offset() const { return offset_; }
  std::uint8_t byte() const { return byte_; }

 private:
  std::size_t offset_;
  std::uint8_t byte_;
};

// The frames of the bytes of a frames file. Raises InvalidFramesFile naming
// the offset of the first byte that should be a header and is none.
FramesFileContent ParseFrames(std::string_view bytes);
// The same for a file; the error names the file. Raises FileError when the
// file cannot be read.
FramesFileContent ReadFramesFile(const std::string& path);

// The header and body of a frame as they are stored, and as they go on the
// line before the checksum. Raises std::invalid_argument for a header that
// is not in the table or a body that is not as long as it says.
std::string FrameBytes(const Frame& frame);

// Replaces path with the frames as a whole (FileError when it cannot).
void WriteFramesFile(const std::string& path, const std::vector<Frame>& frames);

}  // namespace lumaq
