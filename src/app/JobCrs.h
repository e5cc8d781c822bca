// The job's coordinate reference system, chosen once (工具 > 坐标系, or
// lumaq-cli's --crs) and kept in the settings file "Commpara", in a section
// of its own:
//
//   [CoordinateSystem]
//   Crs=EPSG:4547
//
// Stored as the serial settings are (SettingsFilePath), every other section
// left as it was. The GIS formats get it as ExchangeOptions::crs.
#pragma once

#include <string>

#include "formats/ExchangeFormat.h"

namespace lumaq {

inline constexpr const char* kCrsSection = "CoordinateSystem";
inline constexpr const char* kCrsKey = "Crs";

// The stored code, "" when none is. Raises FileError when the settings file
// is there but cannot be read.
std::string StoredJobCrs(const std::string& programFolder);
// Raises FileError.
void StoreJobCrs(const std::string& programFolder, const std::string& code);

// What an import or export in format needs (ExchangeOptionsFor), with the
// job's system for a format that uses one: crs when given (lumaq-cli's
// --crs), else the stored one.
ExchangeOptions JobExchangeOptions(const ExchangeFormat& format, const std::string& programFolder,
                                   const std::string& crs = {});

}  // namespace lumaq
