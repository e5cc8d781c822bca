#include "rawdata/MeasurementFrames.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace lumaq {
namespace {

// The GB18030 bytes of a UTF-8 text, as the system's own converter makes them.
std::string Gb(const std::string& utf8) {
  iconv_t cd = iconv_open("GB18030", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no GB18030 converter");
  std::string in = utf8;
  std::string out(utf8.size() * 2 + 4, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) throw std::runtime_error("cannot convert");
  out.resize(out.size() - outLeft);
  return out;
}

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (const unsigned v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

// A text body: the given columns, blanks elsewhere, zero bytes after size.
std::string TextBody(std::size_t size, std::initializer_list<std::pair<int, std::string>> fields) {
  std::string body(size, ' ');
  for (const auto& [column, text] : fields) {
    body.replace(static_cast<std::size_t>(column - 1), text.size(), text);
  }
  return body;
}

const std::string kSeparator(60, '-');

TEST(MeasurementFrames, TextObservationLines) {
  struct Case {
    const char* label;
    unsigned char header;
    std::string body;
    std::string expected;
  } cases[] = {
      {"0xA2 example", 0xA2,
       TextBody(39, {{1, "P1"}, {9, "TOPO"}, {17, "90.0000"}, {25, "123.4500"}, {33, "1.500"}}),
       "Pt.:P1 Tgt.h:1.500m HAR:123.4500 ZA:90.0000 Code:TOPO"},
      {"0xA1 with a blank code", 0xA1,
       TextBody(47, {{1, "P2"}, {17, "123.456"}, {25, "90.0000"}, {33, "45.3015"}, {41, "1.6"}}),
       "Pt.:P2 Tgt.h:1.6m HAR:45.3015 ZA:90.0000 Sdist:123.456m Code:"},
      {"0xA0", 0xA0,
       TextBody(
           56,
           {{1, "P3"}, {9, "C"}, {17, "3456.789"}, {28, "-1234.567"}, {39, "12.3"}, {50, "2.000"}}),
       "Pt.:P3 Tgt.h:2.000m N:3456.789m E:-1234.567m Z:12.3m Code:C"},
      {"0xA3", 0xA3,
       TextBody(56, {{1, "S1"}, {9, "STN"}, {17, "100"}, {28, "200"}, {39, "10"}, {50, "1.55"}}),
       "Pt.:S1 Ins.h:1.55m N0:100m E0:200m Z0:10m Code:STN"},
      {"fields filling their columns, text kept as received", 0xA0,
       TextBody(56, {{1, "ABCDEFGH"},
                     {9, "\xB5\xE7\xB8\xCB\xB5\xE7\xB8\xCB"},
                     {17, "12345678901"},
                     {28, "+0001.00000"},
                     {39, "abc"},
                     {50, "1234567"}}),
       "Pt.:ABCDEFGH Tgt.h:1234567m N:12345678901m E:+0001.00000m Z:abcm "
       "Code:\xB5\xE7\xB8\xCB\xB5\xE7\xB8\xCB"},
      {"zero byte in column 20", 0xA2,
       TextBody(39, {{1, "P1"},
                     {9, "TOPO"},
                     {17, "90.0000"},
                     {20, std::string(1, '\0')},
                     {25, "123.4500"},
                     {33, "1.500"}}),
       "Pt.:P1 Tgt.h:m HAR: ZA:90. Code:TOPO"},
      {"zero byte in column 1", 0xA3, TextBody(56, {{1, std::string(1, '\0')}, {9, "X"}}),
       "Pt.: Ins.h:m N0:m E0:m Z0:m Code:"},
      {"body shorter than its columns", 0xA1, "P9      C1      12.5",
       "Pt.:P9 Tgt.h:m HAR: ZA: Sdist:12.5m Code:C1"},
      {"bytes after the body are not read", 0xA2, TextBody(39, {{1, "P1"}, {33, "1.5"}}) + "999",
       "Pt.:P1 Tgt.h:1.5m HAR: ZA: Code:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    JobText text = {"earlier"};
    EXPECT_TRUE(AppendMeasurementFrameText(c.header, c.body, text));
    EXPECT_EQ(text, (JobText{"earlier", kSeparator, c.expected}));
  }
}

TEST(MeasurementFrames, StationBlockGivesSevenLabelledLines) {
  std::string body;
  body += Bytes({0x1A, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});  // P1
  body += Bytes({0x1E, 0x19, 0x1A, 0x19, 0xFF, 0xFF, 0xFF, 0xFF});  // TOPO
  body += Bytes({0x01, 0x23, 0x45, 0x06});                          // 123.4506
  body += Bytes({0x00, 0x90, 0x00, 0x00});                          // 90.0000
  body += Bytes({0x00, 0x12, 0x34, 0x56});                          // 123.456
  body += Bytes({0x00, 0x34, 0x56, 0x78, 0x90});                    // 34567.890
  body += Bytes({0x00, 0x00, 0xF1, 0x23, 0x45});                    // -12.345
  body += Bytes({0x00, 0x00, 0x00, 0x00, 0x00});                    // 0.000
  body += Bytes({0x00, 0x15, 0x00});                                // 1.500
  body += Bytes({0x00, 0x16, 0x50});                                // 1.650
  body += Bytes({0x77, 0x77});                                      // not used
  ASSERT_EQ(body.size(), 51u);

  JobText text;
  EXPECT_TRUE(AppendMeasurementFrameText(0xAF, body, text));
  EXPECT_EQ(text, (JobText{
                      kSeparator,
                      Gb("  点号名： P1"),
                      Gb("  标识符： TOPO"),
                      Gb("  水平角： 123.4506 垂直角： 90.0000 斜距： 123.456m"),
                      Gb("  测站坐标： N: 34567.890m   E：-12.345m   Z：0.000m"),
                      Gb("  仪器高： 1.500m"),
                      Gb("  棱镜高： 1.650m"),
                  }));

  // Whatever the values, seven lines, and the last two end in the unit.
  JobText blank;
  AppendMeasurementFrameText(0xAF, std::string(51, '\xFF'), blank);
  ASSERT_EQ(blank.size(), 7u);
  EXPECT_EQ(blank[1], Gb("  点号名： "));  // the blank fill of the name is removed
  EXPECT_TRUE(blank[5].ends_with("m"));
  EXPECT_TRUE(blank[6].ends_with("m"));

  EXPECT_THROW(AppendMeasurementFrameText(0xAF, body.substr(0, 48), text), std::invalid_argument);
}

TEST(MeasurementFrames, OtherHeadersAddNothing) {
  for (const unsigned header : {0x00u, 0x06u, 0xA4u, 0xA8u, 0xAAu, 0xAEu, 0xEEu}) {
    JobText text;
    EXPECT_FALSE(
        AppendMeasurementFrameText(static_cast<unsigned char>(header), std::string(56, 'x'), text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(MeasurementFrameBodySize(static_cast<unsigned char>(header)), 0u);
  }
  EXPECT_EQ(MeasurementFrameBodySize(0xA0), 56u);
  EXPECT_EQ(MeasurementFrameBodySize(0xA1), 47u);
  EXPECT_EQ(MeasurementFrameBodySize(0xA2), 39u);
  EXPECT_EQ(MeasurementFrameBodySize(0xA3), 56u);
  EXPECT_EQ(MeasurementFrameBodySize(0xAF), 51u);
}

}  // namespace
}  // namespace lumaq
