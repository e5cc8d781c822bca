#include "formats/ExchangeFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "formats/ExportFormats.h"
#include "formats/ImportFormats.h"
#include "records/JobFiles.h"
#include "records/ReplacingFile.h"

namespace lumaq {
namespace {

// The extension of a format's pattern, ".shp" of "*.shp".
std::string_view PatternExtension(const ExchangeFormat& format) {
  const std::string_view pattern = format.pattern;
  const auto dot = pattern.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : pattern.substr(dot);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() > end.size() &&
         std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

bool IsUpperCase(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return std::isupper(static_cast<unsigned char>(c)); });
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

void RemoveStaleIndexes(const std::string& stem, bool upper) {
  for (const std::string_view index : {".qix", ".sbn", ".sbx"}) {
    std::error_code ignored;
    std::filesystem::remove(stem + (upper ? UpperCase(index) : std::string(index)), ignored);
  }
}

void WriteFileSet(const JobText& recordLines, const ExchangeFormat& format, ExchangeOptions options,
                  const std::string& path) {
  const std::string stem = OutputStem(path, format);
  const bool upper = IsUpperCase(std::string_view(path).substr(stem.size()));
  if (options.layer.empty()) options.layer = FileNameOf(stem);
  std::vector<std::unique_ptr<ReplacingFile>> files;
  bool several = false;
  format.writer.files(recordLines, options, [&](std::string_view suffix, std::string_view bytes) {
    several = several || !suffix.empty();
    const std::string target =
        suffix.empty() ? path : stem + (upper ? UpperCase(suffix) : std::string(suffix));
    files.push_back(std::make_unique<ReplacingFile>(target));
    files.back()->Write(bytes);
  });
  for (const auto& file : files) file->Commit();
  if (several) RemoveStaleIndexes(stem, upper);
}

}  // namespace

ImportedRecords ImportExchangeFile(const ExchangeFormat& format, const std::string& path,
                                   const ExchangeOptions& options) {
  if (format.reader.path != nullptr) return format.reader.path(path, options);
  return ImportFile(format, path, options);
}

void ExportExchangeFile(const JobText& recordLines, const ExchangeFormat& format,
                        const ExchangeOptions& options, const std::string& path) {
  if (format.writer.files != nullptr) {
    WriteFileSet(recordLines, format, options, path);
  } else {
    ExportRecordsToFile(recordLines, format, options, path);
  }
}

std::string OutputStem(const std::string& path, const ExchangeFormat& format) {
  const std::string_view extension = PatternExtension(format);
  return EndsWithIgnoringCase(path, extension) ? path.substr(0, path.size() - extension.size())
                                               : path;
}

}  // namespace lumaq
