// The registry of exchange formats: the one table that the import and export
// dialogs, lumaq-cli import, export and polar, and the import fuzz harness
// take their formats from. Its order is the order of the dialogs' file types.
// A new format is one entry in ExchangeFormats.cpp, its reader or writer, and
// its tests.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ExchangeFormat.h"
#include "formats/UserFormat.h"

namespace lumaq {

std::span<const ExchangeFormat> ExchangeFormats();

// The format of a command-line name; nullptr for none.
const ExchangeFormat* FindExchangeFormat(std::string_view name);

using FormatList = std::vector<const ExchangeFormat*>;
// The formats with a reader: the import dialog's file types.
FormatList FormatsToImport();
// The formats whose writer takes records of that kind: the export dialog's
// file types for a coordinate job, and for a measurement job with raw records.
FormatList FormatsToExport(RecordKind records);

// The format of a dialog's 1-based type index; an index outside the list reads
// as the first type.
const ExchangeFormat& FormatOfTypeIndex(const FormatList& formats, int typeIndex);

// Turns bytes of the code page into the UTF-8 the dialogs show.
using DisplayText = std::function<std::string(std::string_view)>;

// The dialog's file types, "description|pattern|...". The user-defined format
// shows the layout's name followed by its description "(自定义)", with "*."
// and the layout's extension, or "*.*" when it has none.
std::string DialogFilter(const FormatList& formats, const UserFormat& user = {},
                         const DisplayText& displayText = {});

// What the format needs besides the records, as the program finds it: the
// user's layout (UserFormatForExport) for a format that uses it, the fallback
// layout otherwise, so that only that format reads the settings file.
ExchangeOptions ExchangeOptionsFor(const ExchangeFormat& format, const std::string& programFolder);

}  // namespace lumaq
