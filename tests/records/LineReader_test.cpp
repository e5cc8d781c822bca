#include "records/LineReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "records/InputLimits.h"

namespace lumaq {
namespace {

// A source that hands out at most chunk bytes at a time.
LineReader::Source Chunks(std::string_view bytes, std::size_t chunk) {
  return [bytes, chunk](char* buffer, std::size_t room) mutable {
    const std::size_t n = std::min({room, chunk, bytes.size()});
    std::memcpy(buffer, bytes.data(), n);
    bytes.remove_prefix(n);
    return n;
  };
}

JobText AllLines(LineReader& reader) {
  JobText lines;
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

TEST(LineReader, FindsTheLinesSplitTextLinesFindsInChunksOfAnySize) {
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"one line without a break", "P1"},
      {"CR LF, lone CR, lone LF", "a\r\nb\rc\nd"},
      {"final break starts no line", "a\r\n"},
      {"empty lines", "\r\n\r\n\n\r"},
      {"CR then LF is one break", "x\r\ny"},
      {"LF then CR is two", "x\n\ry"},
      {"GB2312 bytes and NUL", std::string("\xb5\xe3\0P\r\n", 6)},
  };
  for (const auto& c : cases) {
    for (const std::size_t chunk : {1u, 2u, 3u, 65536u}) {
      SCOPED_TRACE(std::string(c.label) + ", chunks of " + std::to_string(chunk));
      LineReader reader(Chunks(c.bytes, chunk), "\"IN\"");
      EXPECT_EQ(AllLines(reader), SplitTextLines(c.bytes));
      EXPECT_EQ(reader.SawNul(), c.bytes.find('\0') != std::string::npos);
    }
  }
}

TEST(LineReader, ALineOverTheLimitIsRefusedWithItsNumber) {
  const std::string bytes = "short\r\n" + std::string(kMaxLineBytes, 'x') + "\r\n" +
                            std::string(kMaxLineBytes + 1, 'y') + "\r\nnever read\r\n";
  LineReader reader(bytes, "\"BIG.CSV\"");
  std::string line;
  ASSERT_TRUE(reader.Next(line));
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line.size(), kMaxLineBytes);
  try {
    reader.Next(line);
    FAIL() << "the third line was read";
  } catch (const OversizedInput& error) {
    EXPECT_STREQ(error.what(), "文件中的行太长，无法读入 \"BIG.CSV\"：第 3 行超过 1 MB");
  }
}

TEST(ReadCappedLines, KeepsTheFirstAndTheLastLinesAndCountsAll) {
  const struct {
    const char* label;
    std::string bytes;
    std::size_t head;
    std::size_t tail;
    JobText kept;
    std::size_t total;
  } cases[] = {
      {"fewer than kept", "1\n2\n3", 2, 2, {"1", "2", "3"}, 3},
      {"exactly kept", "1\n2\n3\n4", 2, 2, {"1", "2", "3", "4"}, 4},
      {"the middle left out", "1\n2\n3\n4\n5\n6\n7", 2, 2, {"1", "2", "6", "7"}, 7},
      {"no tail", "1\n2\n3\n4", 1, 0, {"1"}, 4},
      {"empty", "", 2, 1, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    LineReader reader(c.bytes, "\"IN\"");
    const CappedLines capped = ReadCappedLines(reader, c.head, c.tail);
    EXPECT_EQ(capped.lines, c.kept);
    EXPECT_EQ(capped.total, c.total);
    EXPECT_FALSE(capped.hasNul);
  }
}

}  // namespace
}  // namespace lumaq
