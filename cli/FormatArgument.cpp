#include "FormatArgument.h"

#include <iostream>

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

std::string FormatUsage(std::string_view arguments, const FormatList& formats) {
  return std::string(arguments) + "   (FORMAT: " + FormatNames(formats, ", ") + ")";
}

const ExchangeFormat& ParseFormat(const std::string& name, const FormatList& formats,
                                  std::string_view what) {
  for (const ExchangeFormat* format : formats) {
    if (format->name == name) return *format;
  }
  throw UsageError("unknown " + std::string(what) + " format: " + name + " (" +
                   FormatNames(formats, " or ") + ")");
}

bool PrintHelpWhenAsked(const Arguments& arguments, std::string_view command,
                        std::string_view usage) {
  if (arguments.size() != 1 || (arguments[0] != "--help" && arguments[0] != "-h")) return false;
  std::cout << "usage: lumaq-cli " << command << ' ' << usage << '\n';
  return true;
}

}  // namespace lumaq::cli
