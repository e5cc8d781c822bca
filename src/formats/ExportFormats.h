// Writing the records of a job in the exchange formats of other programs: GTS
// points, SCS2002, SV300, CASS, CSV, DXF and the user's own layout. Fields are
// written exactly as the record lines hold them. Plain functions, shared by
// the export command and lumaq-cli.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "formats/UserFormat.h"
#include "records/RecordLine.h"
#include "records/TextLines.h"

namespace lumaq {

// The file types of the export dialog; the value is the 1-based type index.
enum class ExportFormat : int {
  kGtsPoints = 1,
  kScs2002 = 2,
  kSv300 = 3,
  kCass = 4,
  kCsv = 5,
  kDxf = 6,
  kUser = 7,
};
inline constexpr int kExportFormatCount = 7;

inline constexpr const char* kExportTitle = "导出为";
// The six fixed types; the user's layout is appended as the seventh.
inline constexpr const char* kExportFixedFilter =
    "拓普康 GTS700/600/800 Points(*.pts)|*.pts|SCS2002 坐标文件(*.dat)|*.dat|"
    "SV300坐标文件(*.dat)|*.dat|CASS5.X文件(*.DAT)|*.DAT|CSV文件(逗号分隔)(*.CSV)|*.CSV|"
    "AutoCAD DXF 文件(*.DXF)|*.DXF";
inline constexpr const char* kPolarFilter = "极坐标格式数据(*.dat)|*.dat";

// The format of a type index; an index outside 1..7 reads as the first type.
ExportFormat ExportFormatOfIndex(int typeIndex);

// Turns bytes of the code page into the UTF-8 the dialogs show.
using DisplayText = std::function<std::string(std::string_view)>;

// The export dialog's file types: the fixed six, then the user's layout as
// its name followed by "(自定义)", with "*." and its extension, or "*.*".
std::string ExportFilter(const UserFormat& user, const DisplayText& displayText);

// The line of record k in the user's layout.
std::string UserFormatRecord(std::size_t k, const RecordFields& r, const UserFormat& user);

// Hands the whole text of the job's records to sink, record by record.
void WriteRecords(const JobText& recordLines, ExportFormat format, const UserFormat& user,
                  const std::function<void(std::string_view)>& sink);

// Writes the records to path: streamed into a temporary file that replaces
// path only once complete. Raises FileError; path is then left as it was.
void ExportRecordsToFile(const JobText& recordLines, ExportFormat format, const UserFormat& user,
                         const std::string& path);

}  // namespace lumaq
