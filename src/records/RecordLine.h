// The record line: the fixed-column text form of a coordinate record, 54
// characters: point name 9, code 9, N 12, E 12, Z 12, each left-aligned and
// filled with blanks. It is the line of a BDT file and the form in which
// records move between the table, the job files, the transfer and the
// exchange formats. Every text is a byte string in the ANSI code page
// (GB2312/GB18030); nothing here re-encodes a byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumaq {

// True for a character of code 32 or below: a blank or a control character.
inline bool IsControlOrBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// Removes every character of code 32 or below (blanks and control characters)
// from both ends.
std::string TrimControl(std::string_view text);
// The same, as the part of text it keeps.
std::string_view TrimmedControl(std::string_view text);
// The same, on the text itself.
void TrimControlInPlace(std::string& text);

// Appends field, then blanks up to width characters; a longer field is
// appended whole.
void AppendPadded(std::string& line, std::string_view field, std::size_t width);

// Builds a record line: name and code padded with blanks to 9 columns, N, E and
// Z to 12. Pads, never cuts: a longer field is taken whole and shifts the rest.
std::string ComposeRecordLine(std::string_view name, std::string_view code, std::string_view n,
                              std::string_view e, std::string_view z);

// Field readers: fixed 1-based columns of a record line, trimmed. A range past
// the end of the line gives what is there, or nothing.
std::string RecordLineName(std::string_view line);  // columns 1-8
std::string RecordLineCode(std::string_view line);  // columns 10-17
std::string RecordLineN(std::string_view line);     // columns 19-29
std::string RecordLineE(std::string_view line);     // columns 31-41
std::string RecordLineZ(std::string_view line);     // columns 43-53

// The five fields of a record.
struct RecordFields {
  std::string name;
  std::string code;
  std::string n;
  std::string e;
  std::string z;
  bool operator==(const RecordFields&) const = default;
};

// The five fields of a record line, read from their columns and trimmed.
RecordFields RecordLineFields(std::string_view line);

// The record line of five fields, as ComposeRecordLine builds it.
std::string ComposeRecordLine(const RecordFields& fields);

}  // namespace lumaq
