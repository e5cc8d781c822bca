#include "FormatArgument.h"

namespace lumaq::cli {
namespace {

// The names joined by ", ", the last by lastSeparator.
std::string FormatNames(const FormatList& formats, std::string_view lastSeparator) {
  std::string names;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    if (i > 0) names += i + 1 == formats.size() ? lastSeparator : std::string_view(", ");
    names += formats[i]->name;
  }
  return names;
}

}  // namespace

std::string FormatHelp(const FormatList& formats) {
  return "(FORMAT: " + FormatNames(formats, ", ") + ")";
}

const ExchangeFormat& ParseFormat(const std::string& name, const FormatList& formats,
                                  std::string_view what) {
  for (const ExchangeFormat* format : formats) {
    if (format->name == name) return *format;
  }
  throw UsageError("unknown " + std::string(what) + " format: " + name + " (" +
                   FormatNames(formats, " or ") + ")");
}

}  // namespace lumaq::cli
