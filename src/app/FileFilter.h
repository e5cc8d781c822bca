// File type lists of the open and save dialogs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaq {

inline constexpr const char* kFilterOpen =
    "全站仪坐标记录文件(*.BDT)|*.BDT|全站仪测量数据文件(*.TSM)|*.TSM|文本文件(*.TXT)|*.TXT";
inline constexpr const char* kFilterSaveCoordinates =
    "全站仪坐标记录文件(*.BDT)|*.BDT|文本文件(*.TXT)|*.TXT";
inline constexpr const char* kFilterSaveText = "文本文件(*.TXT)|*.TXT";
inline constexpr const char* kFilterSaveMeasurement =
    "全站仪测量数据文件(*.TSM)|*.TSM|文本文件(*.TXT)|*.TXT";

struct FileType {
  std::string description;
  std::string pattern;
};

// "desc|pattern|desc|pattern" as a list of types.
std::vector<FileType> ParseFilter(std::string_view filter);

// The number of file types in a filter.
int FilterTypeCount(std::string_view filter);

// The position (1-based) of the type whose pattern "*.EXT" names the file's
// extension, in either letter case; 0 when none does.
int FilterIndexOfExtension(std::string_view filter, std::string_view path);

// A file name without an extension completed with the extension of the chosen
// type ("*.TSM" gives ".TSM"); names with an extension, and types whose
// pattern names no single extension, are left alone.
std::string CompleteFileName(const std::string& path, std::string_view filter, int filterIndex);

}  // namespace lumaq
