// What the user may type into the record table, and what happens to a cell's
// text when the user leaves it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumaq {

// Typing filter: names and codes take ASCII letters, digits, "." and "-";
// coordinates take digits, "." and "-". Control characters (Backspace, Enter,
// Escape...) always pass; blanks and every byte outside ASCII are dropped.
bool AcceptTypedChar(int column, char c);

// The typed text with every rejected character dropped (for pasted text).
std::string FilterTypedText(int column, std::string_view text);

// Reads the longest leading decimal number of text; a text without one reads
// as 0 (a lone "-" is 0, "12.5.3" is 12.5).
double LeadingNumber(std::string_view text);

// The number a coordinate cell holds: its whole text, trimmed of blanks and
// control characters, read as a finite decimal number ("12.5", "-3", "1E-6");
// nothing for an empty cell, a text with anything after the number ("12.5.3",
// "12m") or a number no double holds.
std::optional<double> CellNumber(std::string_view text);

// Writes a number in general form: at most 15 significant digits, no trailing
// zeros or point; magnitudes below 0.00001 other than zero with an exponent
// ("1E-6").
std::string FormatGeneralNumber(double value);

// Coordinates typed into the table must lie in this closed range.
inline constexpr double kMinTypedCoordinate = -1000000.0;
inline constexpr double kMaxTypedCoordinate = 10000000.0;

struct LeaveCellResult {
  bool refused = false;             // out of range: the cell keeps its text and stays current
  std::optional<std::string> text;  // the cell's new text, when it is rewritten
};

// The check made on the cell being left. Coordinates are normalised to general
// form or refused when out of range; names and codes longer than 8 characters
// (after trimming) are cut to 8.
LeaveCellResult CheckLeavingCell(int column, std::string_view cellText);

// The three-line box shown when a typed coordinate is out of range.
inline constexpr const char* kRangeMessage =
    "输入的坐标数据超出最大范围:\n(-999999.999m~9999999.999m)\n请重新输入!";

}  // namespace lumaq
