#include "app/FileFilter.h"

#include <algorithm>

#include "records/JobFiles.h"

namespace lumaq {
namespace {

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::vector<FileType> ParseFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const auto bar = filter.find('|', start);
    const auto end = bar == std::string_view::npos ? filter.size() : bar;
    parts.emplace_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<FileType> types;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) types.push_back({parts[i], parts[i + 1]});
  return types;
}

int FilterTypeCount(std::string_view filter) {
  return static_cast<int>(ParseFilter(filter).size());
}

int FilterIndexOfExtension(std::string_view filter, std::string_view path) {
  const std::string extension = ExtensionOf(path);
  if (extension.empty()) return 0;
  const auto types = ParseFilter(filter);
  for (std::size_t i = 0; i < types.size(); ++i) {
    const std::string& pattern = types[i].pattern;
    if (pattern.size() == extension.size() + 1 && pattern[0] == '*' &&
        std::equal(extension.begin(), extension.end(), pattern.begin() + 1,
                   [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); })) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

std::string CompleteFileName(const std::string& path, std::string_view filter, int filterIndex) {
  const auto slash = path.find_last_of('/');
  const std::string_view name =
      std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.find('.') != std::string_view::npos) return path;
  const auto types = ParseFilter(filter);
  if (filterIndex < 1 || filterIndex > static_cast<int>(types.size())) return path;
  const std::string& pattern = types[static_cast<std::size_t>(filterIndex) - 1].pattern;
  // Only a pattern of the form "*.EXT" names one extension to add.
  if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0 ||
      pattern.find_first_of("*?;", 2) != std::string::npos) {
    return path;
  }
  return path + pattern.substr(1);
}

}  // namespace lumaq
