#include "comm/FramesFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "comm/FrameHeaders.h"
#include "records/JobFiles.h"
#include "support/InstrumentFrames.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::TempDir;

using test::CountingFrame;

std::string Stored(const std::vector<Frame>& frames) {
  std::string bytes;
  for (const Frame& frame : frames) bytes += FrameBytes(frame);
  return bytes;
}

TEST(FramesFile, ReadsEveryKindOfFrameInOrder) {
  std::vector<Frame> frames;
  int first = 1;
  for (const FrameHeader& entry : kHeaderTable)
    frames.push_back(CountingFrame(entry.header, first++));
  // A body may hold header bytes and the end byte: only the lengths count.
  frames.push_back({0xAA, std::string(32, '\xAA')});
  frames.push_back({0x06, std::string(53, '\xEE')});

  const FramesFileContent content = ParseFrames(Stored(frames));
  EXPECT_EQ(content.frames, frames);
  EXPECT_FALSE(content.cutFrame);
}

TEST(FramesFile, EmptyFileHasNoFrames) {
  const FramesFileContent content = ParseFrames("");
  EXPECT_TRUE(content.frames.empty());
  EXPECT_FALSE(content.cutFrame);
}

TEST(FramesFile, LastFrameCutShortIsToldApart) {
  const Frame whole = CountingFrame(0xA8, 'a');
  const Frame raw = CountingFrame(0xA8, 'A');
  struct Case {
    const char* label;
    std::string bytes;
    std::size_t wholeFrames;
    Frame cut;  // header and the body bytes that are there
  } cases[] = {
      {"a header alone", Stored({whole}) + "\xAA", 1, {0xAA, ""}},
      {"half a raw record",
       Stored({whole}) + FrameBytes(raw).substr(0, 22),
       1,
       {0xA8, raw.body.substr(0, 21)}},
      {"one byte short", FrameBytes(raw).substr(0, 42), 0, {0xA8, raw.body.substr(0, 41)}},
  };
  for (const Case& c : cases) {
    const FramesFileContent content = ParseFrames(c.bytes);
    EXPECT_EQ(content.frames.size(), c.wholeFrames) << c.label;
    ASSERT_TRUE(content.cutFrame) << c.label;
    EXPECT_EQ(*content.cutFrame, c.cut) << c.label;
  }
}

TEST(FramesFile, ByteThatIsNoHeaderMakesTheFileInvalidAtItsOffset) {
  const std::string frame = FrameBytes(CountingFrame(0xA2, 'a'));  // 40 bytes
  struct Case {
    const char* label;
    std::string bytes;
    std::size_t offset;
    std::uint8_t byte;
  } cases[] = {
      {"first byte", "\x41" + frame, 0, 0x41},
      {"after a frame", frame + "\xBB", 40, 0xBB},
      {"the end byte", frame + frame + "\xEE", 80, 0xEE},
      {"a zero byte", frame + std::string(1, '\0') + frame, 40, 0x00},
  };
  for (const Case& c : cases) {
    try {
      ParseFrames(c.bytes);
      ADD_FAILURE() << c.label << ": accepted";
    } catch (const InvalidFramesFile& error) {
      EXPECT_EQ(error.offset(), c.offset) << c.label;
      EXPECT_EQ(error.byte(), c.byte) << c.label;
      EXPECT_NE(std::string(error.what()).find("offset " + std::to_string(c.offset)),
                std::string::npos)
          << c.label << ": " << error.what();
    }
  }
}

TEST(FramesFile, ErrorOfAFileNamesTheFileAndTheOffset) {
  TempDir dir;
  const std::string path = dir.Write("bad.frames", FrameBytes(CountingFrame(0xAF, 'a')) + "x");
  try {
    ReadFramesFile(path);
    FAIL() << "accepted";
  } catch (const InvalidFramesFile& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("byte 0x78 at offset 52"), std::string::npos) << message;
  }
  EXPECT_THROW(ReadFramesFile(dir.Path("missing.frames")), FileError);
}

TEST(FramesFile, WrittenFramesReadBack) {
  TempDir dir;
  const std::vector<Frame> frames = {CountingFrame(0xAA, 1), CountingFrame(0x06, '0'),
                                     CountingFrame(0xA8, 'A')};
  WriteFramesFile(dir.Path("whole.frames"), frames);
  EXPECT_EQ(ReadFileBytes(dir.Path("whole.frames")), Stored(frames));
  EXPECT_EQ(ReadFramesFile(dir.Path("whole.frames")).frames, frames);
}

TEST(FramesFile, FrameThatDoesNotFitTheTableIsNotWritten) {
  TempDir dir;
  EXPECT_THROW(FrameBytes({0xAA, std::string(31, 'x')}), std::invalid_argument);
  EXPECT_THROW(FrameBytes({0xBB, std::string(32, 'x')}), std::invalid_argument);
  EXPECT_THROW(WriteFramesFile(dir.Path("out"), {{0xA8, std::string(43, 'x')}}),
               std::invalid_argument);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("out")));
}

}  // namespace
}  // namespace lumaq
