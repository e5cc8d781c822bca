#include "comm/FrameHeaders.h"

#include <gtest/gtest.h>

#include <string>

#include "rawdata/MeasurementFrames.h"
#include "records/JobDocument.h"

namespace lumaq {
namespace {

TEST(FrameHeaders, EveryHeaderOfTheTableIsFoundWithItsBody) {
  struct Case {
    std::uint8_t header;
    std::size_t body;
    bool coordinates;
  } cases[] = {{0xAA, 32, true},  {0xAF, 51, false}, {0x06, 53, true},  {0xA0, 56, false},
               {0xA1, 47, false}, {0xA2, 39, false}, {0xA3, 56, false}, {0xA8, 42, false}};
  for (const Case& c : cases) {
    const auto found = FindFrameHeader(c.header);
    ASSERT_TRUE(found) << int{c.header};
    EXPECT_EQ(found->bodySize, c.body) << int{c.header};
    EXPECT_EQ(found->coordinateData, c.coordinates) << int{c.header};
    EXPECT_LE(found->bodySize, kLongestFrameBody);
  }
}

TEST(FrameHeaders, TheMeasurementFramesAndRawRecordsAgreeWithTheirOwnSizes) {
  for (const std::uint8_t header : {std::uint8_t{0xA0}, std::uint8_t{0xA1}, std::uint8_t{0xA2},
                                    std::uint8_t{0xA3}, std::uint8_t{0xAF}}) {
    EXPECT_EQ(FindFrameHeader(header)->bodySize, MeasurementFrameBodySize(header)) << int{header};
  }
  EXPECT_EQ(FindFrameHeader(0xA8)->bodySize, static_cast<std::size_t>(kRawRecordSize));
}

TEST(FrameHeaders, OtherBytesAreNoHeader) {
  for (const int byte : {0x00, 0xBB, 0xB7, 0xEE, 0xFF, 0xA4, 0xA9, 0x07}) {
    EXPECT_FALSE(FindFrameHeader(static_cast<std::uint8_t>(byte))) << byte;
  }
}

TEST(FrameHeaders, TheChecksumIsTheSumModulo256) {
  EXPECT_EQ(FrameChecksum(""), 0);
  EXPECT_EQ(FrameChecksum(std::string("\x01\x02\x03", 3)), 6);
  EXPECT_EQ(FrameChecksum(std::string(2, '\xFF')), 0xFE);
  EXPECT_EQ(FrameChecksum(std::string(256, '\x01')), 0);
}

}  // namespace
}  // namespace lumaq
