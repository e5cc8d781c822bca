// The instrument's binary and text forms of coordinate records.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "rawdata/String_func.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (const unsigned v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

TEST(InstrumentCharacterCode, FollowsTheInstrumentsTable) {
  // The code ranges as the instrument's manual lists them.
  const auto expected = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return 0x0B + (c - 'A');
    if (c >= 'a' && c <= 'z') return 0x25 + (c - 'a');
    switch (c) {
      case '.':
        return 0x0A;
      case '-':
        return 0x3F;
      case '+':
        return 0x43;
      case '*':
        return 0x46;
      case '#':
        return 0x4A;
      case '$':
        return 0x61;
      case '&':
        return 0x62;
      case '@':
        return 0x63;
      case '!':
        return 0x64;
      case '_':
        return 0x65;
      case '/':
        return 0x66;
      case '%':
        return 0x67;
      case ' ':
        return 0xFF;
      default:
        return -1;
    }
  };
  int coded = 0;
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    SCOPED_TRACE(b);
    const auto code = InstrumentCharacterCode(c);
    ASSERT_EQ(code.has_value(), expected(c) >= 0);
    if (code) {
      EXPECT_EQ(*code, expected(c));
      ++coded;
    }
  }
  EXPECT_EQ(coded, 75);
}

TEST(InstrumentText, EncodesIntoExactlyNBytes) {
  struct Case {
    const char* label;
    std::string text;
    std::size_t n;
    std::string expected;
  } cases[] = {
      {"A, blank, b", "A b", 8, Bytes({0x0B, 0xFF, 0x26, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
      {"a Chinese character", "\xB5\xE3", 8,
       Bytes({0x4A, 0x4A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
      {"signs", "P-1.5%", 6, Bytes({0x1A, 0x3F, 0x01, 0x0A, 0x05, 0x67})},
      {"a comma has no code", ",", 2, Bytes({0x4A, 0xFF})},
      {"empty", "", 3, Bytes({0xFF, 0xFF, 0xFF})},
      {"longer than n", "ABCDEFGHIJ", 8, Bytes({0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string buffer(c.n + 2, '\x55');  // two guard bytes after the n
    EncodeInstrumentText(c.text, std::span<char>(buffer.data(), c.n));
    EXPECT_EQ(buffer.substr(0, c.n), c.expected);
    EXPECT_EQ(buffer.substr(c.n), "\x55\x55");
  }
}

TEST(InstrumentText, DecodesCodesAndDropsTheFill) {
  struct Case {
    std::string codes;
    const char* expected;
  } cases[] = {
      {Bytes({0x0B, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "AB"},
      {Bytes({0x70}), "#"},
      {Bytes({0x0B, 0xFF, 0x26, 0xFF}), "A b"},
      {Bytes({0xFF, 0x01}), " 1"},  // only trailing blanks go
      {Bytes({0x68, 0x40, 0xFE}), "###"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeInstrumentText(c.codes), c.expected);

  // Every character but the trailing blank comes back as it was sent.
  const std::string set(kInstrumentCharacterSet.substr(0, kInstrumentCharacterSet.size() - 1));
  std::string codes(set.size(), '\0');
  EncodeInstrumentText(set, codes);
  EXPECT_EQ(DecodeInstrumentText(codes), set);
}

TEST(FormatDigitField, TenDigitPositionsWithTheSignBeforeTheIntegerDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"123", "0000123000"},          {"-12", "0000-12000"},
      {"-12.5", "0000-12500"},        {"0.5", "0000000500"},
      {"12.3456", "0000012346"},      {"-12.3455", "0000-12346"},
      {"9.9996", "0000010000"},       {"0", "0000000000"},
      {"-0.5", "00000-0500"},         {"-.5", "00000-0500"},
      {".5", "0000000500"},           {"12.", "0000012000"},
      {"0012", "0000012000"},         {"+12.5", "0000012500"},
      {"  7.25 ", "0000007250"},      {"1E-6", "0000000000"},
      {"1.5e3", "0001500000"},        {"-2.5E-2", "00000-0025"},
      {"0.0005", "0000000001"},       {"-0.0004", "0000000000"},
      {"-0", "0000000000"},           {"", "0000000000"},
      {"-999999.999", "-999999999"},  {"9999999.999", "9999999999"},
      {"9999999.9994", "9999999999"}, {"-12345.678", "0-12345678"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(FormatDigitField(text), expected);
  }
}

TEST(FormatDigitField, RefusesWhatCannotBePacked) {
  const char* const cases[] = {
      "10000000", "9999999.9995",
      "-1000000", "-999999.9995",
      "1e7",      "1e400",
      "abc",      "12a",
      "-",        ".",
      "1e",       "1.2.3",
      "1,5",      "--1",
      "1 2",      "\xB5\xE3",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    try {
      FormatDigitField(text);
      ADD_FAILURE() << "packed";
    } catch (const CoordinatePackError& error) {
      EXPECT_EQ(error.Text(), text);
      EXPECT_NE(std::string(error.what()).find("-999999.999"), std::string::npos);
    }
  }
}

TEST(BcdNumber, PacksAndUnpacks) {
  struct Case {
    const char* text;
    std::string packed;
    const char* unpacked;
  } cases[] = {
      {"0", Bytes({0x00, 0x00, 0x00, 0x00, 0x00}), "0.000"},
      {"-0.5", Bytes({0x00, 0x00, 0x0F, 0x05, 0x00}), "-0.500"},
      {"1234.5", Bytes({0x00, 0x01, 0x23, 0x45, 0x00}), "1234.500"},
      {"-12.345", Bytes({0x00, 0x00, 0xF1, 0x23, 0x45}), "-12.345"},
      {"-12345.678", Bytes({0x0F, 0x12, 0x34, 0x56, 0x78}), "-12345.678"},
      {"0.345", Bytes({0x00, 0x00, 0x00, 0x03, 0x45}), "0.345"},
      {"-999999.999", Bytes({0xF9, 0x99, 0x99, 0x99, 0x99}), "-999999.999"},
      {"9999999.999", Bytes({0x99, 0x99, 0x99, 0x99, 0x99}), "9999999.999"},
      {"-1", Bytes({0x00, 0x00, 0x0F, 0x10, 0x00}), "-1.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::array<char, 5> buffer{};
    PackBcdNumber(c.text, buffer);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), c.packed);
    EXPECT_EQ(UnpackBcdNumber(c.packed), c.unpacked);
  }
}

TEST(BcdNumber, AFailedPackLeavesTheBufferAlone) {
  std::array<char, 5> buffer = {1, 2, 3, 4, 5};
  EXPECT_THROW(PackBcdNumber("12345678", buffer), CoordinatePackError);
  EXPECT_EQ(buffer, (std::array<char, 5>{1, 2, 3, 4, 5}));
}

TEST(BcdNumber, UnpacksShorterFieldsAndAngles) {
  const std::pair<std::string, const char*> numbers[] = {
      {Bytes({0x00, 0x15, 0x00}), "1.500"},              // a height, three bytes
      {Bytes({0x00, 0x12, 0x34, 0x56}), "123.456"},      // a distance, four bytes
      {Bytes({0x00, 0x00, 0x00, 0x00, 0x0A}), "0.010"},  // not a packed byte: its value
  };
  for (const auto& [packed, expected] : numbers) EXPECT_EQ(UnpackBcdNumber(packed), expected);
  const std::pair<std::string, const char*> angles[] = {
      {Bytes({0x01, 0x23, 0x45, 0x06}), "123.4506"},
      {Bytes({0x00, 0x00, 0x12, 0x34}), ".1234"},
      {Bytes({0x00, 0x90, 0x00, 0x00}), "90.0000"},
      {Bytes({0x03, 0x59, 0x59, 0x59}), "359.5959"},
  };
  for (const auto& [packed, expected] : angles) EXPECT_EQ(UnpackBcdAngle(packed), expected);
}

TEST(BinaryCoordinateRecord, DecodesAndEncodesTheFrameBody) {
  const std::string body = Bytes({0x1A, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // P1
                                  0x1E, 0x19, 0x1A, 0x19, 0xFF, 0xFF, 0xFF, 0xFF,  // TOPO
                                  0x00, 0x34, 0x56, 0x78, 0x90,                    // 34567.890
                                  0x00, 0x00, 0xF1, 0x23, 0x45,                    // -12.345
                                  0x00, 0x00, 0x01, 0x23, 0x00,                    // 12.300
                                  0xEE});
  const std::string line = ComposeRecordLine("P1", "TOPO", "34567.890", "-12.345", "12.300");
  EXPECT_EQ(DecodeBinaryCoordinateRecord(body),
            ComposeRecordLine("P1", "TOPO", "34567.890", "-12.345", "12.300"));

  std::string encoded(32, '\x55');
  EncodeBinaryCoordinateRecord(line, encoded);
  EXPECT_EQ(encoded.substr(0, 31), body.substr(0, 31));
  EXPECT_EQ(encoded[31], '\x55');  // byte 31 is not written

  EXPECT_THROW(DecodeBinaryCoordinateRecord(body.substr(0, 30)), std::invalid_argument);
  std::string small(30, '\0');
  EXPECT_THROW(EncodeBinaryCoordinateRecord(line, small), std::invalid_argument);
}

TEST(BinaryCoordinateRecord, ALineThatCannotBePackedIsRefusedWhole) {
  const std::string lines[] = {
      ComposeRecordLine("P1", "", "10000000", "1", "1"),
      ComposeRecordLine("P1", "", "1", "-1000000", "1"),
      ComposeRecordLine("P1", "", "1", "1", "X"),
  };
  for (const auto& line : lines) {
    SCOPED_TRACE(line);
    std::string buffer(31, '\x55');
    EXPECT_THROW(EncodeBinaryCoordinateRecord(line, buffer), CoordinatePackError);
    EXPECT_EQ(buffer, std::string(31, '\x55'));
  }
}

TEST(TextCoordinateRecord, DecodesTheReceivedText) {
  const auto body = [](std::string text) {
    text.resize(54, '\0');
    return text;
  };
  struct Case {
    const char* label;
    std::string body;
    std::string expected;
  } cases[] = {
      {"five fields", body("P1,TREE,3456.789,1234.567,12.300"),
       ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300")},
      {"empty code", body("P2,,1,2,3"), ComposeRecordLine("P2", "", "1", "2", "3")},
      {"N out of range", body("P3,C,10000001,2,3"), ComposeRecordLine("P3", "C", "0", "2", "3")},
      // Byte 53 is set to zero: a text of 53 characters ends there, and Z
      // fits its 11 columns.
      {"no zero byte", "P4      ,C       ,1          ,2          ,3.0000000007",
       ComposeRecordLine("P4", "C", "1", "2", "3.000000000")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(DecodeTextCoordinateRecord(c.body), c.expected);
  }
  // The text the simulated instrument sends of a record line.
  EXPECT_EQ(EncodeTextCoordinateRecord(cases[0].expected), "P1,TREE,3456.789,1234.567,12.300");
  EXPECT_EQ(EncodeTextCoordinateRecord(cases[1].expected), "P2,,1,2,3");
}

TEST(TextCoordinateRecord, FormatsFortyNineColumns) {
  struct Case {
    std::string line;
    std::string expected;
  } cases[] = {
      {ComposeRecordLine("P1", "", "3456.789", "1234.567", "12.300"),
       "P1" + std::string(14, ' ') + "3456.789   1234.567   12.300     "},
      {ComposeRecordLine("NAME1234", "CODE5678", "12345678901", "-999999.999", "0"),
       "NAME1234CODE567812345678901-999999.9990          "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string text = FormatTextCoordinateRecord(c.line);
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(text.size(), 49u);
    std::string buffer(51, '\x55');
    FormatTextCoordinateRecord(c.line, buffer);
    EXPECT_EQ(buffer, c.expected + '\0' + '\x55');
    EXPECT_EQ(DecodeTextCoordinateColumns(text), c.line);
  }
  EXPECT_EQ(DecodeTextCoordinateColumns("P1      C"), ComposeRecordLine("P1", "C", "", "", ""));
  EXPECT_EQ(FormatTextCoordinateRecord(ComposeRecordLine("P1", "", "1", "2", "3")).substr(8, 8),
            std::string(8, ' '));
  std::string small(49, '\0');
  EXPECT_THROW(FormatTextCoordinateRecord("P1", small), std::invalid_argument);
}

}  // namespace
}  // namespace lumaq
