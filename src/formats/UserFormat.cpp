#include "formats/UserFormat.h"

#include <string_view>
#include <utility>

#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/SettingsLocation.h"

namespace lumaq {
namespace {

constexpr const char* kUserFormatSection = "[UserDefFormat1]";

constexpr std::string_view kNameKey = "DefName=";
constexpr std::string_view kExtensionKey = "DefFileExt=";
constexpr std::string_view kOrderKey = "DefOrderWord=";

bool Contains(std::string_view line, std::string_view key) {
  return line.find(key) != std::string_view::npos;
}

// The line from its character after the key's length on: the key is expected
// at the start of the line, and only its presence is checked.
std::string AfterKey(const std::string& line, std::string_view key) {
  return line.size() > key.size() ? line.substr(key.size()) : std::string();
}

// Where the layout is stored: a copy that keeps its settings beside itself
// writes "Commpara" in the current working directory, as it always has; an
// installed one writes the file there only when there is one, and otherwise
// its settings location.
std::string UserFormatTarget(const std::string& programFolder) {
  if (ProgramFolderKeepsSettings(programFolder) || IsSettingsFile(kSettingsFileName)) {
    return kSettingsFileName;
  }
  return SettingsFilePath(programFolder);
}

}  // namespace

UserFormat FallbackUserFormat() {
  UserFormat format;
  format.name = "\xD7\xD4\xB6\xA8\xD2\xE5\xCA\xFD\xBE\xDD\xB8\xF1\xCA\xBD";  // 自定义数据格式
  format.extension = "dat";
  return format;
}

std::string FindSettingsFile(const std::string& programFolder) {
  if (IsSettingsFile(kSettingsFileName)) return kSettingsFileName;
  const std::string stored = SettingsFilePath(programFolder);
  return IsSettingsFile(stored) ? stored : std::string();
}

std::optional<UserFormat> ParseUserFormat(const JobText& lines) {
  std::size_t header = 0;
  while (header < lines.size() && TrimControl(lines[header]) != kUserFormatSection) ++header;
  if (header + 3 >= lines.size()) return std::nullopt;
  const std::string nameLine = TrimControl(lines[header + 1]);
  const std::string extensionLine = TrimControl(lines[header + 2]);
  const std::string orderLine = TrimControl(lines[header + 3]);

  UserFormat format;
  if (!Contains(nameLine, kNameKey)) return std::nullopt;
  format.name = AfterKey(nameLine, kNameKey);
  if (TrimControl(format.name).empty()) return std::nullopt;

  if (!Contains(extensionLine, kExtensionKey)) return std::nullopt;
  const std::string extension = AfterKey(extensionLine, kExtensionKey);
  format.extension = TrimControl(extension).empty() ? std::string() : extension.substr(0, 3);

  if (!Contains(orderLine, kOrderKey)) return std::nullopt;
  const std::string word = AfterKey(orderLine, kOrderKey);
  if (TrimControl(word).empty() || word.size() != 6) return std::nullopt;
  for (std::size_t i = 0; i < 6; ++i) {
    const char highest = i < 5 ? '4' : '1';
    if (word[i] < '0' || word[i] > highest) return std::nullopt;
    if (i < 5) format.order[i] = word[i] - '0';
  }
  format.serialNumbers = word[5] == '1';
  return format;
}

std::optional<UserFormat> ReadUserFormat(const std::string& programFolder) {
  const std::string path = FindSettingsFile(programFolder);
  if (path.empty()) return std::nullopt;
  return ParseUserFormat(ReadTextFile(path));
}

UserFormat UserFormatForExport(const std::string& programFolder) {
  try {
    if (auto format = ReadUserFormat(programFolder)) return *std::move(format);
  } catch (const FileError&) {
  }
  return FallbackUserFormat();
}

std::string OrderWord(const UserFormat& format) {
  std::string word;
  for (const int field : format.order) word += std::to_string(field);
  word += format.serialNumbers ? '1' : '0';
  return word;
}

JobText RewriteUserFormatLines(JobText lines, const UserFormat& format) {
  std::erase_if(lines, [](const std::string& line) {
    const std::string trimmed = TrimControl(line);
    return trimmed.empty() || trimmed == kUserFormatSection || Contains(line, kNameKey) ||
           Contains(line, kExtensionKey) || Contains(line, kOrderKey);
  });
  lines.emplace_back();
  lines.emplace_back(kUserFormatSection);
  lines.push_back(std::string(kNameKey) + format.name);
  lines.push_back(std::string(kExtensionKey) + format.extension);
  lines.push_back(std::string(kOrderKey) + OrderWord(format));
  return lines;
}

void WriteUserFormat(const UserFormat& format, const std::string& programFolder) {
  const std::string found = FindSettingsFile(programFolder);
  JobText lines = found.empty() ? JobText() : ReadTextFile(found);
  const std::string target = UserFormatTarget(programFolder);
  CreateSettingsFolder(target);
  WriteTextFile(target, RewriteUserFormatLines(std::move(lines), format));
}

}  // namespace lumaq
