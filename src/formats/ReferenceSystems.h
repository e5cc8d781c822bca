// The coordinate reference systems a job's may be chosen from: the projected
// systems of PROJ's EPSG database (through the GIS module) of the families
// Chinese surveys use, and any projected system by its EPSG code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaq {

struct CrsEntry {
  std::string code;  // "EPSG:4547"
  std::string name;  // "CGCS2000 / 3-degree Gauss-Kruger CM 114E"
  bool operator==(const CrsEntry&) const = default;
};

// The families: CGCS2000, Xian 1980 and Beijing 1954 Gauss-Kruger zones (3
// and 6 degrees, with the zone number in the easting or without), and
// WGS 84 / UTM.
bool IsJobCrsFamily(std::string_view name);

// The systems of those families in PROJ's database, family by family in the
// order above, each by its EPSG number. Raises GisModuleMissing and GisError.
std::vector<CrsEntry> JobCrsChoices();

// A projected system by a code as the user types it ("EPSG:4547", "4547").
// Raises RejectedGisInput for a code that is no EPSG code, not in the
// database or no projected system.
CrsEntry DescribeCrs(std::string_view code);

// "CGCS2000 / 3-degree Gauss-Kruger CM 114E (EPSG:4547)".
std::string CrsLabel(const CrsEntry& entry);

}  // namespace lumaq
