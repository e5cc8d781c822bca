#include "rawdata/String_func.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "records/FieldSplit.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

// The instrument's codes, in the order of kInstrumentCharacterSet.
constexpr std::array<unsigned char, 75> kInstrumentCharacterCodes = {
    // A-Z
    0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A,
    0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24,
    // a-z
    0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34,
    0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E,
    // 0-9
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
    // . - + * # $ & @ ! _ / % and the blank
    0x0A, 0x3F, 0x43, 0x46, 0x4A, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0xFF};
static_assert(kInstrumentCharacterSet.size() == kInstrumentCharacterCodes.size());

constexpr unsigned char kHashCode = 0x4A;  // "#", sent for a character without a code
constexpr unsigned char kFillCode = 0xFF;  // a blank, fills a name after its end

// For each byte value, the character whose code it is, or "#".
constexpr std::array<char, 256> MakeDecodeTable() {
  std::array<char, 256> table{};
  table.fill('#');
  for (std::size_t i = kInstrumentCharacterCodes.size(); i-- > 0;) {
    table[kInstrumentCharacterCodes[i]] = kInstrumentCharacterSet[i];  // the first entry wins
  }
  return table;
}
constexpr std::array<char, 256> kDecodeTable = MakeDecodeTable();

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Adds one unit in the last place of a string of decimal digits.
void IncrementDigits(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(0, 1, '1');
}

// Non-ASCII and control bytes of a text as \xHH, for messages.
std::string Printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u < 127) {
      out.push_back(c);
    } else {
      out += "\\x";
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 15]);
    }
  }
  return out;
}

// The packed bytes as text, a point inserted at index `point` (clamped), and
// the leading zeros removed.
std::string UnpackDigits(std::string_view packed, bool pointFromEnd, std::size_t places) {
  std::string text;
  text.reserve(packed.size() * 2 + 1);
  for (const char c : packed) {
    const auto byte = static_cast<unsigned char>(c);
    const int high = byte >> 4;
    const int low = byte & 15;
    if (byte <= 9) {
      text += '0';
      text += static_cast<char>('0' + byte);
    } else if (byte == 0x0F) {
      text += "0-";
    } else if (high == 0xF) {
      text += '-';
      text += std::to_string(low);
    } else {
      text += std::to_string(10 * high + low);
    }
  }
  // Three decimals: the point before character 2n - 2 (counted from 1), which
  // leaves three digits after it when every byte gave two. Four decimals: the
  // point before the fourth character from the end.
  std::size_t point = 0;
  if (pointFromEnd) {
    point = text.size() >= places ? text.size() - places : 0;
  } else if (2 * packed.size() >= 3) {
    point = std::min(2 * packed.size() - 3, text.size());
  }
  text.insert(point, 1, '.');
  const std::size_t zeros = text.find_first_not_of('0');
  text.erase(0, zeros == std::string::npos ? text.size() : zeros);
  return text;
}

}  // namespace

std::optional<unsigned char> InstrumentCharacterCode(char c) {
  const std::size_t at = kInstrumentCharacterSet.find(c);
  if (at == std::string_view::npos) return std::nullopt;
  return kInstrumentCharacterCodes[at];
}

void EncodeInstrumentText(std::string_view text, std::span<char> buffer) {
  std::size_t i = 0;
  for (; i < buffer.size() && i < text.size(); ++i) {
    buffer[i] = static_cast<char>(InstrumentCharacterCode(text[i]).value_or(kHashCode));
  }
  for (; i < buffer.size(); ++i) buffer[i] = static_cast<char>(kFillCode);
}

std::string DecodeInstrumentText(std::string_view codes) {
  std::string text;
  text.reserve(codes.size());
  for (const char c : codes) text.push_back(kDecodeTable[static_cast<unsigned char>(c)]);
  while (!text.empty() && IsControlOrBlank(text.back())) text.pop_back();
  return text;
}

CoordinatePackError::CoordinatePackError(std::string_view text)
    : std::runtime_error("坐标数据无法发送（不是数字或超出 -999999.999~9999999.999）：\"" +
                         Printable(text) + "\""),
      text_(text) {}

std::string FormatDigitField(std::string_view number) {
  const std::string text = TrimControl(number);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // The digits of the mantissa, and how many of them stand before the point.
  std::string digits;
  while (i < text.size() && IsDigit(text[i])) digits.push_back(text[i++]);
  long point = static_cast<long>(digits.size());
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) digits.push_back(text[i++]);
  }
  if (digits.empty()) {
    if (text.empty()) return std::string(10, '0');  // an empty coordinate is 0
    throw CoordinatePackError(number);
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negativeExponent = text[i++] == '-';
    if (i == text.size() || !IsDigit(text[i])) throw CoordinatePackError(number);
    long exponent = 0;
    while (i < text.size() && IsDigit(text[i])) {
      exponent = std::min(exponent * 10 + (text[i++] - '0'), 100000L);
    }
    point += negativeExponent ? -exponent : exponent;
  }
  if (i != text.size()) throw CoordinatePackError(number);

  // value = 0.digits x 10^point, with a leading digit other than zero.
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return std::string(10, '0');
  digits.erase(0, first);
  point -= static_cast<long>(first);
  if (point > 7) throw CoordinatePackError(number);  // 10^7 and more
  if (point < -3) return std::string(10, '0');       // below 0.0001: rounds to 0.000

  // The value in thousandths: the first point + 3 digits (0 to 10 of them),
  // rounded up when the digit after them is 5 or more.
  const auto kept = static_cast<std::size_t>(point + 3);
  std::string scaled = digits.substr(0, kept);
  scaled.resize(std::max<std::size_t>(kept, 1), '0');
  if (kept < digits.size() && digits[kept] >= '5') IncrementDigits(scaled);
  if (scaled.find_first_not_of('0') == std::string::npos) return std::string(10, '0');

  if (scaled.size() < 4) scaled.insert(0, 4 - scaled.size(), '0');
  std::string integer = scaled.substr(0, scaled.size() - 3);
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
  if (integer.size() > (negative ? 6u : 7u)) throw CoordinatePackError(number);
  std::string field = (negative ? "-" : "") + integer;
  field.insert(0, 7 - field.size(), '0');
  return field + scaled.substr(scaled.size() - 3);
}

void PackBcdNumber(std::string_view number, std::span<char, 5> buffer) {
  const std::string field = FormatDigitField(number);
  for (std::size_t k = 0; k < 5; ++k) {
    const char first = field[2 * k];
    const char second = field[2 * k + 1];
    unsigned char byte = 0;
    if (second == '-') {
      byte = 0x0F;
    } else if (first == '-') {
      byte = static_cast<unsigned char>(0xF0 + (second - '0'));
    } else {
      byte = static_cast<unsigned char>(((first - '0') << 4) | (second - '0'));
    }
    buffer[k] = static_cast<char>(byte);
  }
}

std::string UnpackBcdNumber(std::string_view packed) {
  std::string text = UnpackDigits(packed, false, 3);
  if (!text.empty() && text.front() == '.') text.insert(0, 1, '0');
  return text;
}

std::string UnpackBcdAngle(std::string_view packed) {
  std::string text = UnpackDigits(packed, true, 4);
  if (text.size() == 10) text.insert(0, 1, '0');
  return text;
}

std::string DecodeBinaryCoordinateRecord(std::string_view body) {
  if (body.size() < 31) throw std::invalid_argument("a binary coordinate record has 31 bytes");
  return ComposeRecordLine(DecodeInstrumentText(body.substr(0, 8)),
                           DecodeInstrumentText(body.substr(8, 8)),
                           UnpackBcdNumber(body.substr(16, 5)), UnpackBcdNumber(body.substr(21, 5)),
                           UnpackBcdNumber(body.substr(26, 5)));
}

void EncodeBinaryCoordinateRecord(std::string_view line, std::span<char> buffer) {
  if (buffer.size() < 31) throw std::invalid_argument("a binary coordinate record has 31 bytes");
  // Packed apart first, so that a coordinate that cannot be packed leaves the
  // caller's buffer as it was.
  std::array<char, 31> packed{};
  const std::span<char, 31> out(packed);
  EncodeInstrumentText(RecordLineName(line), out.subspan<0, 8>());
  EncodeInstrumentText(RecordLineCode(line), out.subspan<8, 8>());
  PackBcdNumber(RecordLineN(line), out.subspan<16, 5>());
  PackBcdNumber(RecordLineE(line), out.subspan<21, 5>());
  PackBcdNumber(RecordLineZ(line), out.subspan<26, 5>());
  std::copy(packed.begin(), packed.end(), buffer.begin());
}

std::string DecodeTextCoordinateRecord(std::string_view body) {
  std::string_view text = body.substr(0, std::min<std::size_t>(body.size(), 53));
  text = text.substr(0, text.find('\0'));
  return ComposeRecordLine(SplitFixedFields(text, FixedLayout::kReceivedCoordinateLine));
}

std::string EncodeTextCoordinateRecord(std::string_view line) {
  const RecordFields f = RecordLineFields(line);
  return f.name + ',' + f.code + ',' + f.n + ',' + f.e + ',' + f.z;
}

std::string FormatTextCoordinateRecord(std::string_view line) {
  const RecordFields f = RecordLineFields(line);
  const std::array<const std::string*, 5> fields = {&f.name, &f.code, &f.n, &f.e, &f.z};
  std::string text;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    // Each field as a C string: it ends at a zero byte.
    const std::string& field = *fields[i];
    AppendPadded(text, std::string_view(field).substr(0, field.find('\0')), kTextRecordColumns[i]);
  }
  return text;
}

std::string DecodeTextCoordinateColumns(std::string_view text) {
  std::array<std::string, 5> fields;
  std::size_t at = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (at < text.size()) fields[i] = TrimControl(text.substr(at, kTextRecordColumns[i]));
    at += kTextRecordColumns[i];
  }
  return ComposeRecordLine(fields[0], fields[1], fields[2], fields[3], fields[4]);
}

void FormatTextCoordinateRecord(std::string_view line, std::span<char> buffer) {
  const std::string text = FormatTextCoordinateRecord(line);
  if (buffer.size() < text.size() + 1) {
    throw std::invalid_argument("a text coordinate record needs 50 bytes");
  }
  std::copy(text.begin(), text.end(), buffer.begin());
  buffer[text.size()] = '\0';
}

}  // namespace lumaq
