#include "comm/IniFile.h"

#include <filesystem>
#include <system_error>

#include "records/JobFiles.h"
#include "records/TextLines.h"

namespace lumaq {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// The name of a "[name]" line, if the line is one.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// The key and value of a "key=value" line; comment lines are none.
std::optional<KeyLine> SplitKeyLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

}  // namespace

IniFile IniFile::Load(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) return IniFile();
  return IniFile(SplitTextLines(ReadFileBytes(path)));
}

void IniFile::Save(const std::string& path) const {
  WriteFileAtomically(path, Text());
}

std::string IniFile::Text() const {
  return JoinLinesCrLf(lines_);
}

std::optional<IniFile::SectionRange> IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name || !SameName(*name, Trim(section))) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(const SectionRange& range, std::string_view key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const auto line = SplitKeyLine(lines_[i]);
    if (line && SameName(line->key, Trim(key))) return i;
  }
  return std::nullopt;
}

bool IniFile::HasSection(std::string_view section) const {
  return FindSection(section).has_value();
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto index = FindKey(*range, key);
  if (!index) return std::nullopt;
  return Unquote(SplitKeyLine(lines_[*index])->value);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  auto value = Read(section, key);
  return value ? std::move(*value) : std::string(fallback);
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSection(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> entries;
  const auto range = FindSection(section);
  if (!range) return entries;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    if (const auto line = SplitKeyLine(lines_[i])) {
      entries.emplace_back(std::string(line->key), Unquote(line->value));
    }
  }
  return entries;
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(Trim(key)) + "=" + std::string(value);
  const auto range = FindSection(section);
  if (!range) {
    // A new section goes at the end, apart from the text before it.
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(std::move(line));
    return;
  }
  if (const auto index = FindKey(*range, key)) {
    lines_[*index] = std::move(line);
    return;
  }
  // A new key follows the last non-blank line of its section, so that the
  // blank lines before the next section stay before it.
  std::size_t at = range->end;
  while (at > range->header + 1 && Trim(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view fallback) {
  return IniFile::Load(path).ReadString(section, key, fallback);
}

void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  IniFile file = IniFile::Load(path);
  file.Write(section, key, value);
  file.Save(path);
}

}  // namespace lumaq
