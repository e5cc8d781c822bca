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

// The names of the formats with a coordinate reference system; with
// readersOnly, of those among them that are imported.
std::string CrsFormatNames(bool readersOnly = false) {
  FormatList formats;
  for (const ExchangeFormat& format : ExchangeFormats()) {
    if (format.usesCrs && (!readersOnly || format.Reads())) formats.push_back(&format);
  }
  return FormatNames(formats, ", ");
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

CliOption CrsCliOption() {
  return {"--crs", "CODE",
          "the job's coordinate reference system, an EPSG code such as EPSG:4547 (" +
              CrsFormatNames() + "); else the one stored in Commpara"};
}

CliOption LayerCliOption() {
  return {"--layer", "NAME",
          "the layer to read (" + CrsFormatNames(/*readersOnly=*/true) +
              "); else the first point layer"};
}

void RefuseCrsOptionsFor(const CliCall& call, const ExchangeFormat& format) {
  if (format.usesCrs) return;
  for (const char* option : {"--crs", "--layer"}) {
    if (call.Has(option)) {
      throw call.Wrong(std::string(option) +
                       " is for the formats with a coordinate reference system (" +
                       CrsFormatNames() + "), not " + std::string(format.name));
    }
  }
}

}  // namespace lumaq::cli
