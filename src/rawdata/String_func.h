// The instrument's codecs of the frame fields: its character code for names
// and codes, its packed decimal numbers, and the binary and text forms of a
// coordinate record. Every text is a byte string in the ANSI code page
// (GB2312/GB18030); nothing here re-encodes a byte beyond the instrument's
// own character code.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lumaq {

// The characters a point name or code may hold on the instrument, in the order
// of their codes in kInstrumentCharacterCodes (the last one is a blank).
inline constexpr std::string_view kInstrumentCharacterSet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.-+*#$&@!_/% ";

// The instrument's one-byte code of a character, if it has one.
std::optional<unsigned char> InstrumentCharacterCode(char c);

// Fills buffer (n bytes) with the instrument codes of text; a byte without a
// code (each byte of a two-byte character included) is sent as "#", the rest
// of the buffer is filled with 0xFF. Characters beyond n are not written.
void EncodeInstrumentText(std::string_view text, std::span<char> buffer);

// The characters of n instrument codes, "#" for a byte that is no code, with
// trailing blanks (the 0xFF fill) removed.
std::string DecodeInstrumentText(std::string_view codes);

// A number text that cannot be packed into the instrument's five-byte decimal
// form: outside -999999.999..9999999.999 after rounding to three decimals, or
// not a number at all. Its message names the text.
class CoordinatePackError : public std::runtime_error {
 public:
  explicit CoordinatePackError(std::string_view text);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The ten digit positions of a coordinate: seven before the point, three after
// it (rounded, halves away from zero), the point left out, a minus sign just
// before the integer digits and zeros in front: "-12" gives "0000-12000",
// "0.5" gives "0000000500". The text may carry blanks around it, a sign and an
// exponent ("1E-6", as the record table writes tiny values); an empty text is
// 0. A value that rounds to zero is written without sign. Raises
// CoordinatePackError for a text that cannot be packed.
std::string FormatDigitField(std::string_view number);

// Packs a coordinate two digit positions to a byte, the minus sign as 0xF:
// -12.345 gives 00 00 F1 23 45. Raises CoordinatePackError (the buffer is
// left untouched) for a text that cannot be packed.
void PackBcdNumber(std::string_view number, std::span<char, 5> buffer);

// The number of n packed bytes with three decimals: 00 00 F1 23 45 gives
// "-12.345", 00 00 00 00 00 gives "0.000".
std::string UnpackBcdNumber(std::string_view packed);
// An angle of n packed bytes with four decimals: 01 23 45 06 gives
// "123.4506", 00 00 12 34 gives ".1234".
std::string UnpackBcdAngle(std::string_view packed);

// Binary coordinate frame body: name (8 codes), code (8 codes), N, E, Z (five
// packed bytes each); byte 31 is not used. The body must hold at least 31
// bytes (std::invalid_argument otherwise).
std::string DecodeBinaryCoordinateRecord(std::string_view body);
// Fills bytes 0-30 of buffer (at least 31 bytes) from a record line. Raises
// CoordinatePackError, leaving the buffer untouched, when N, E or Z cannot be
// packed.
void EncodeBinaryCoordinateRecord(std::string_view line, std::span<char> buffer);

// Text coordinate frame body as received: at most 53 bytes of text up to the
// first zero byte, "name,code,N,E,Z".
std::string DecodeTextCoordinateRecord(std::string_view body);
// The text of that body for a record line: its five fields, trimmed, between
// commas (the zero bytes after it are the frame's).
std::string EncodeTextCoordinateRecord(std::string_view line);

// The columns of a record in the text the instrument takes: name, code, N, E
// and Z, 49 characters in all.
inline constexpr std::array<std::size_t, 5> kTextRecordColumns = {8, 8, 11, 11, 11};
// The record line as those 49 characters: each field left-aligned in its
// column and filled with blanks.
std::string FormatTextCoordinateRecord(std::string_view line);
// The same 49 characters followed by a zero byte, into a buffer of at least 50
// bytes (std::invalid_argument otherwise).
void FormatTextCoordinateRecord(std::string_view line, std::span<char> buffer);
// The record line back from those columns, each trimmed; columns past the end
// of text are empty.
std::string DecodeTextCoordinateColumns(std::string_view text);

}  // namespace lumaq
