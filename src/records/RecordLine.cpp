#include "records/RecordLine.h"

namespace lumaq {
namespace {

// Characters first..last (1-based, inclusive) of the line, trimmed.
std::string ColumnField(std::string_view line, std::size_t first, std::size_t last) {
  if (line.size() < first) return {};
  return TrimControl(line.substr(first - 1, last - first + 1));
}

}  // namespace

void AppendPadded(std::string& line, std::string_view field, std::size_t width) {
  line.append(field);
  if (field.size() < width) line.append(width - field.size(), ' ');
}

std::string_view TrimmedControl(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsControlOrBlank(text[begin])) ++begin;
  while (end > begin && IsControlOrBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string TrimControl(std::string_view text) {
  return std::string(TrimmedControl(text));
}

void TrimControlInPlace(std::string& text) {
  const std::string_view kept = TrimmedControl(text);
  const auto begin = static_cast<std::size_t>(kept.data() - text.data());
  text.erase(begin + kept.size());
  text.erase(0, begin);
}

std::string ComposeRecordLine(std::string_view name, std::string_view code, std::string_view n,
                              std::string_view e, std::string_view z) {
  std::string line;
  line.reserve(54);
  AppendPadded(line, name, 9);
  AppendPadded(line, code, 9);
  AppendPadded(line, n, 12);
  AppendPadded(line, e, 12);
  AppendPadded(line, z, 12);
  return line;
}

std::string RecordLineName(std::string_view line) {
  return ColumnField(line, 1, 8);
}
std::string RecordLineCode(std::string_view line) {
  return ColumnField(line, 10, 17);
}
std::string RecordLineN(std::string_view line) {
  return ColumnField(line, 19, 29);
}
std::string RecordLineE(std::string_view line) {
  return ColumnField(line, 31, 41);
}
std::string RecordLineZ(std::string_view line) {
  return ColumnField(line, 43, 53);
}

std::string ComposeRecordLine(const RecordFields& fields) {
  return ComposeRecordLine(fields.name, fields.code, fields.n, fields.e, fields.z);
}

RecordFields RecordLineFields(std::string_view line) {
  return {RecordLineName(line), RecordLineCode(line), RecordLineN(line), RecordLineE(line),
          RecordLineZ(line)};
}

}  // namespace lumaq
