// Import and export of a file in any format of the registry, whatever kind
// of reader or writer it has: the lines of a text format read in bounded
// memory (ImportFile) or a library's format reading its file itself; the
// records streamed (ExportRecordsToFile) or the files a library's format
// makes, replaced together.
#pragma once

#include <string>

#include "formats/ExchangeFormat.h"
#include "records/TextLines.h"

namespace lumaq {

ImportedRecords ImportExchangeFile(const ExchangeFormat& format, const std::string& path,
                                   const ExchangeOptions& options);

// A format of several files (a Shapefile, its pattern "*.shp") takes path,
// less that extension in any case, as their stem: OUT.shp, OUT.shx,
// OUT.dbf, OUT.prj and OUT.cpg, the extensions in the case of the one in
// path. Each file is written beside its target first; the targets are
// replaced only once all are written, and a spatial index left by the
// Shapefile replaced (.qix, .sbn, .sbx) is removed. A format of one file
// replaces path. The layer written is named after the file. Raises
// FileError; the targets are then left as they were.
void ExportExchangeFile(const JobText& recordLines, const ExchangeFormat& format,
                        const ExchangeOptions& options, const std::string& path);

// The stem of the files of a format of several (see above).
std::string OutputStem(const std::string& path, const ExchangeFormat& format);

}  // namespace lumaq
