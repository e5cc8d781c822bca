// FORMAT of lumaq-cli import and export: the command-line name of a format of
// the registry (formats/ExchangeFormats.h), and the help that lists them.
#pragma once

#include <string>
#include <string_view>

#include "CliCommand.h"
#include "formats/ExchangeFormats.h"

namespace lumaq::cli {

// The help of a command with formats: "(FORMAT: " and the formats' names
// joined by ", ", then ")".
std::string FormatHelp(const FormatList& formats);

// The format called name among formats; for any other name UsageError
// "unknown <what> format: NAME (" and the names of formats, the last after
// " or ", then ")".
const ExchangeFormat& ParseFormat(const std::string& name, const FormatList& formats,
                                  std::string_view what);

// --crs CODE: the job's coordinate reference system, for the formats that
// use one (ExchangeFormat::usesCrs).
CliOption CrsCliOption();
// --layer NAME: the layer an import of a GIS format reads.
CliOption LayerCliOption();
// Raises UsageError when --crs or --layer is given for a format without a
// coordinate reference system.
void RefuseCrsOptionsFor(const CliCall& call, const ExchangeFormat& format);

}  // namespace lumaq::cli
