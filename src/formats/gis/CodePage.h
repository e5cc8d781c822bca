// Point names and codes are bytes of the code page (GB2312/GB18030) in the
// job, and UTF-8 in every GIS file: GeoPackage and GeoJSON (RFC 7946) know no
// other encoding, KML and LandXML are written as UTF-8 XML, and the
// Shapefile's .cpg says UTF-8 so that GIS readers do not guess. So the GIS
// formats are where the program re-encodes text, here alone: decoded on
// export, encoded back on import.
#pragma once

#include <string>
#include <string_view>

namespace lumaq::gis {

// A byte sequence that is no GB18030 character becomes U+FFFD.
std::string Utf8FromCodePage(std::string_view bytes);
// The same with every control character as U+FFFD: XML (KML, LandXML) may
// not hold them, and no reader shows them in a name.
std::string PrintableUtf8FromCodePage(std::string_view bytes);
// A byte that is no part of a UTF-8 character becomes "?".
std::string CodePageFromUtf8(std::string_view utf8);

}  // namespace lumaq::gis
