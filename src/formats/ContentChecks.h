// The content checks of the import formats (ExchangeFormat::looksLike):
// whether the first bytes of a file look like the format. They read at most
// the first few lines, and a check says yes to whatever the format's reader
// would take for its own (a file could be either: it is not warned about),
// and no to what another format clearly is.
#pragma once

#include <cstddef>
#include <string_view>

namespace lumaq {

// How many of a file's first bytes the checks are given.
inline constexpr std::size_t kContentCheckBytes = 4096;

// Text formats: the first lines that are not empty (up to five; a line cut
// off at kContentCheckBytes is not looked at).
bool LooksLikeGtsPoints(std::string_view firstBytes);  // name,E,N,Z[,code]
bool LooksLikeScs2002(std::string_view firstBytes);    // count, then name/code/N/E/Z lines
bool LooksLikeSv300(std::string_view firstBytes);      // k,name,code,N,E,Z
bool LooksLikeCass(std::string_view firstBytes);       // name,code,E,N,Z
bool LooksLikeCsv(std::string_view firstBytes);        // "name","N","E","Z"[,"code"]

// GIS formats, by their signatures.
bool LooksLikeGeoPackage(std::string_view firstBytes);  // SQLite with a GeoPackage id
bool LooksLikeShapefile(std::string_view firstBytes);   // file code 9994, version 1000
bool LooksLikeGeoJson(std::string_view firstBytes);     // a JSON object with "type"
bool LooksLikeKml(std::string_view firstBytes);         // XML with a kml element

}  // namespace lumaq
