// FORMAT of lumaq-cli import and export: the command-line name of a format of
// the registry (formats/ExchangeFormats.h), and the help that lists them.
#pragma once

#include <string>
#include <string_view>

#include "CliCommand.h"
#include "formats/ExchangeFormats.h"

namespace lumaq::cli {

// The usage of a command with its formats: arguments, then
// "   (FORMAT: " and the formats' names joined by ", ", then ")".
std::string FormatUsage(std::string_view arguments, const FormatList& formats);

// The format called name among formats; for any other name UsageError
// "unknown <what> format: NAME (" and the names of formats, the last after
// " or ", then ")".
const ExchangeFormat& ParseFormat(const std::string& name, const FormatList& formats,
                                  std::string_view what);

// "lumaq-cli COMMAND --help" (or -h): prints "usage: lumaq-cli COMMAND USAGE"
// on standard output and gives true.
bool PrintHelpWhenAsked(const Arguments& arguments, std::string_view command,
                        std::string_view usage);

}  // namespace lumaq::cli
