#include "formats/FormatDetection.h"

#include <cstdio>
#include <memory>

#include "formats/ContentChecks.h"
#include "records/FileAccess.h"

namespace lumaq {

std::string FirstBytesOf(const std::string& path) {
  // Only a regular file is looked at: a FIFO would hang the open.
  if (KindOfFile(path) != FileKind::kRegular) return {};
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             std::fclose);
  if (!file) return {};
  std::string bytes(kContentCheckBytes, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  return bytes;
}

FormatList FormatsItLooksLike(std::string_view firstBytes, const FormatList& candidates) {
  FormatList fitting;
  for (const ExchangeFormat* format : candidates) {
    if (format->looksLike != nullptr && format->looksLike(firstBytes)) fitting.push_back(format);
  }
  return fitting;
}

FormatList OtherFormatsItLooksLike(const ExchangeFormat& chosen, std::string_view firstBytes,
                                   const FormatList& candidates) {
  if (chosen.looksLike == nullptr || chosen.looksLike(firstBytes)) return {};
  return FormatsItLooksLike(firstBytes, candidates);
}

std::string MismatchText(const ExchangeFormat& chosen, const FormatList& others,
                         const std::string& fileName) {
  return "文件“" + fileName + "”看起来不是" + ShownFormats({&chosen}) + "格式，而像是" +
         ShownFormats(others) + "格式。";
}

std::string ShownFormats(const FormatList& formats) {
  std::string shown;
  for (const ExchangeFormat* format : formats) {
    if (!shown.empty()) shown += "或";
    shown += "“" + std::string(format->description) + "”";
  }
  return shown;
}

}  // namespace lumaq
