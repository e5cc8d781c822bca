// The export layout the user defines: which record fields go into a line, in
// which order, with or without a serial number, under a name and a file
// extension of its own. It lives in the section [UserDefFormat1] of the
// settings file "Commpara".
#pragma once

#include <array>
#include <optional>
#include <string>

#include "records/TextLines.h"

namespace lumaq {

// Field numbers of the order: also the item positions of the dialog's lists.
enum UserField : int {
  kFieldName = 0,
  kFieldN = 1,
  kFieldE = 2,
  kFieldZ = 3,
  kFieldCode = 4,
};

struct UserFormat {
  std::string name;       // bytes of the settings file (GB2312)
  std::string extension;  // 0 to 3 characters, without a dot
  std::array<int, 5> order{kFieldName, kFieldN, kFieldE, kFieldZ, kFieldCode};
  bool serialNumbers = false;
  bool operator==(const UserFormat&) const = default;
};

// What the export uses when no layout can be read: "自定义数据格式", "dat",
// name N E Z code, no serial numbers.
UserFormat FallbackUserFormat();

// "Commpara" in the current working directory, else the settings file of
// programFolder (SettingsFilePath); empty when there is neither. A folder of
// that name is no settings file.
std::string FindSettingsFile(const std::string& programFolder);

// The layout in the lines of a settings file; nothing when the section is
// missing, incomplete or holds a bad value.
std::optional<UserFormat> ParseUserFormat(const JobText& lines);

// Finds and reads the settings file. Nothing when there is no file or no
// valid layout in it; FileError when the file is there but cannot be read.
std::optional<UserFormat> ReadUserFormat(const std::string& programFolder);

// The layout an export uses: the one ReadUserFormat finds, else the fallback,
// also when the settings file cannot be read. An export does not fail over its
// settings file.
UserFormat UserFormatForExport(const std::string& programFolder);

// Six digits: the five field numbers and the serial-number flag.
std::string OrderWord(const UserFormat& format);

// The settings lines with every empty line, every section header and every
// key line of the layout removed, and the layout's section appended after one
// empty line. The other lines keep their order and text.
JobText RewriteUserFormatLines(JobText lines, const UserFormat& format);

// Rewrites the settings file found as FindSettingsFile does into "Commpara"
// in the current working directory, replacing any file there as a whole. A
// copy of the program whose folder does not keep its settings (an installed
// one) writes there only when the file is there, and otherwise its settings
// file, creating that file's folder.
void WriteUserFormat(const UserFormat& format, const std::string& programFolder);

}  // namespace lumaq
