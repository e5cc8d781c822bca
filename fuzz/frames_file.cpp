// A frames file (a receive journal, or the frames the simulated instrument
// sends) read into frames; the frames written again give the file's bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "comm/FramesFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view bytes = fuzz::Bytes(data, size);
  try {
    const FramesFileContent content = ParseFrames(bytes);
    std::string written;
    for (const Frame& frame : content.frames) written += FrameBytes(frame);
    if (content.cutFrame) {
      written += static_cast<char>(content.cutFrame->header);
      written += content.cutFrame->body;
    }
    FUZZ_CHECK(written == bytes);
  } catch (const InvalidFramesFile& error) {
    FUZZ_CHECK(error.offset() < size);
  }
  return 0;
}
