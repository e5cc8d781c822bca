// Raw measurement records built field by field, as an instrument writes them:
// most significant byte first by default (the byte order the program assumes
// before an instrument record says otherwise), or least significant first.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaq::test {

class RawRecordBuilder {
 public:
  explicit RawRecordBuilder(unsigned char type, bool mostSignificantFirst = true)
      : bytes_(42, '\0'), msbFirst_(mostSignificantFirst) {
    bytes_[0] = static_cast<char>(type);
  }

  RawRecordBuilder& Byte(std::size_t at, unsigned char value) {
    bytes_.at(at) = static_cast<char>(value);
    return *this;
  }
  // Raw bytes, exactly as given (no zero added).
  RawRecordBuilder& Bytes(std::size_t at, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) bytes_.at(at + i) = text[i];
    return *this;
  }
  RawRecordBuilder& Int16(std::size_t at, std::int16_t value) {
    return Number(at, static_cast<std::uint16_t>(value), 2);
  }
  RawRecordBuilder& UInt32(std::size_t at, std::uint32_t value) { return Number(at, value, 4); }
  RawRecordBuilder& Float(std::size_t at, float value) {
    return Number(at, std::bit_cast<std::uint32_t>(value), 4);
  }
  RawRecordBuilder& Coordinate(std::size_t at, std::int32_t whole, std::int16_t thousandths) {
    UInt32(at, static_cast<std::uint32_t>(whole));
    return Int16(at + 4, thousandths);
  }
  RawRecordBuilder& Link(unsigned char value) { return Byte(41, value); }

  // Point name at 1-9 and code at 10-18, zero-terminated.
  RawRecordBuilder& NameCode(std::string_view name, std::string_view code = "") {
    Bytes(1, name);
    return Bytes(10, code);
  }

  operator std::string() const { return bytes_; }

 private:
  RawRecordBuilder& Number(std::size_t at, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      const auto byte = static_cast<char>((value >> (8 * i)) & 0xFF);
      bytes_.at(msbFirst_ ? at + size - 1 - i : at + i) = byte;
    }
    return *this;
  }

  std::string bytes_;
  bool msbFirst_;
};

// Common records, in the instrument's byte order.
inline std::string InstRecord(std::string_view model, std::string_view version = "1.05",
                              std::string_view serial = "S0012345", std::string_view mark = "") {
  return RawRecordBuilder(0x81)
      .Bytes(1, model)
      .Bytes(11, version)
      .Bytes(15, serial)
      .Bytes(24, mark);
}

inline std::string StnRecord(std::string_view name, std::string_view code, float height,
                             std::int32_t n, std::int32_t e, std::int32_t z, unsigned char link,
                             bool msbFirst = true) {
  return RawRecordBuilder(0x03, msbFirst)
      .NameCode(name, code)
      .Float(19, height)
      .Coordinate(23, n, 0)
      .Coordinate(29, e, 0)
      .Coordinate(35, z, 0)
      .Link(link);
}

inline std::string BsRecord(std::string_view name, float height, std::int32_t n, std::int32_t e,
                            std::int32_t z, unsigned char link, bool msbFirst = true) {
  return RawRecordBuilder(0x06, msbFirst)
      .NameCode(name)
      .Float(19, height)
      .Coordinate(23, n, 0)
      .Coordinate(29, e, 0)
      .Coordinate(35, z, 0)
      .Link(link);
}

inline std::string DistRecord(std::string_view name, std::string_view code, float height,
                              float slope, std::uint32_t zenith, std::uint32_t horizontal,
                              unsigned char link, bool msbFirst = true) {
  return RawRecordBuilder(0x01, msbFirst)
      .NameCode(name, code)
      .Float(19, height)
      .Float(23, slope)
      .UInt32(27, zenith)
      .UInt32(31, horizontal)
      .Link(link);
}

// A unit record: distance, angle, temperature and pressure unit codes, then
// the EDM values.
inline std::string UnitRecord(unsigned char distance, unsigned char angle,
                              unsigned char temperatureUnit = 0, unsigned char pressureUnit = 0,
                              std::int16_t temperature = 68, std::int16_t pressure = 2992,
                              std::int16_t value9 = 0, signed char value11 = -30,
                              unsigned char value12 = 0, float factor = 1.0f,
                              bool msbFirst = true) {
  return RawRecordBuilder(0x83, msbFirst)
      .Byte(1, distance)
      .Byte(2, angle)
      .Byte(3, temperatureUnit)
      .Byte(4, pressureUnit)
      .Int16(5, temperature)
      .Int16(7, pressure)
      .Int16(9, value9)
      .Byte(11, static_cast<unsigned char>(value11))
      .Byte(12, value12)
      .Float(13, factor);
}

}  // namespace lumaq::test
