#include "comm/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/JobFiles.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using Lines = std::vector<std::string>;

const Lines kFile = {
    "; settings",
    "Port=COM9",
    "[ComPort1]",
    "Port=COM3",
    "  baudrate =  \"1200\" ",
    "Parity=",
    "; Parity=Odd",
    "",
    "[UserDefFormat1]",
    "DefName=\xd7\xd4\xb6\xa8\xd2\xe5",
    "[comport1]",
    "StopBits=2",
};

struct ReadCase {
  const char* label;
  const char* section;
  const char* key;
  const char* expected;  // nullptr: no such key
};

TEST(IniFileRead, FindsKeysAsTheProfileFunctionsDo) {
  const ReadCase cases[] = {
      {"exact names", "ComPort1", "Port", "COM3"},
      {"names in any case", "COMPORT1", "PORT", "COM3"},
      {"value trimmed and unquoted, key with blanks", "ComPort1", "BaudRate", "1200"},
      {"empty value", "ComPort1", "Parity", ""},
      {"commented key is none", "ComPort1", "; Parity", nullptr},
      {"first section of the name only", "ComPort1", "StopBits", nullptr},
      {"keys before any section are in none", "", "Port", nullptr},
      {"bytes of another code page kept", "UserDefFormat1", "DefName", "\xd7\xd4\xb6\xa8\xd2\xe5"},
      {"missing section", "PortMap", "COM1", nullptr},
  };
  const IniFile file(kFile);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const auto value = file.Read(c.section, c.key);
    if (c.expected) {
      ASSERT_TRUE(value.has_value());
      EXPECT_EQ(*value, c.expected);
    } else {
      EXPECT_FALSE(value.has_value()) << *value;
    }
  }
  EXPECT_EQ(file.ReadString("ComPort1", "DataBits", "8"), "8");
  EXPECT_TRUE(file.HasSection("userdefformat1"));
  EXPECT_EQ(file.ReadSection("ComPort1"),
            (std::vector<std::pair<std::string, std::string>>{
                {"Port", "COM3"}, {"baudrate", "1200"}, {"Parity", ""}}));
}

struct WriteCase {
  const char* label;
  Lines before;
  const char* section;
  const char* key;
  const char* value;
  Lines after;
};

TEST(IniFileWrite, ReplacesOrAppendsAndKeepsEveryOtherLine) {
  const WriteCase cases[] = {
      {"empty file gets the section", {}, "ComPort1", "Port", "COM1", {"[ComPort1]", "Port=COM1"}},
      {"key replaced in place, other case kept apart",
       {"[comport1]", "PORT = COM3", "BaudRate=1200"},
       "ComPort1",
       "Port",
       "COM4",
       {"[comport1]", "Port=COM4", "BaudRate=1200"}},
      {"new key after the section's last line, before the blank line",
       {"[ComPort1]", "Port=COM3", "", "", "[UserDefFormat1]", "DefName=a"},
       "ComPort1",
       "CustomBaudRate",
       "14400",
       {"[ComPort1]", "Port=COM3", "CustomBaudRate=14400", "", "", "[UserDefFormat1]",
        "DefName=a"}},
      {"new key in an empty section",
       {"[ComPort1]", "[PortMap]"},
       "ComPort1",
       "Port",
       "COM2",
       {"[ComPort1]", "Port=COM2", "[PortMap]"}},
      {"new section after a blank line",
       {"", "[UserDefFormat1]", "DefName=a", "DefFileExt=", "DefOrderWord=012340"},
       "ComPort1",
       "Port",
       "COM1",
       {"", "[UserDefFormat1]", "DefName=a", "DefFileExt=", "DefOrderWord=012340", "", "[ComPort1]",
        "Port=COM1"}},
      {"comment lines are no keys",
       {"[ComPort1]", "; Port=COM9"},
       "ComPort1",
       "Port",
       "COM1",
       {"[ComPort1]", "; Port=COM9", "Port=COM1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    IniFile file(c.before);
    file.Write(c.section, c.key, c.value);
    EXPECT_EQ(file.Lines(), c.after);
  }
}

TEST(IniFileDisk, ReadsAnyLineEndAndWritesCrLf) {
  test::TempDir dir;
  const std::string path = dir.Write("Commpara", "[A]\nx=1\r\n[B]\ry=2");
  WriteProfileString(path, "B", "z", "3");
  EXPECT_EQ(ReadFileBytes(path), "[A]\r\nx=1\r\n[B]\r\ny=2\r\nz=3\r\n");
  EXPECT_EQ(ReadProfileString(path, "b", "Y", "-"), "2");
  EXPECT_EQ(ReadProfileString(dir.Path("missing"), "B", "y", "-"), "-");
  WriteProfileString(dir.Path("new"), "S", "k", "v");
  EXPECT_EQ(ReadFileBytes(dir.Path("new")), "[S]\r\nk=v\r\n");
}

TEST(IniFileDisk, UnreadableOrUnwritableFileRaises) {
  test::TempDir dir;
  EXPECT_THROW(IniFile::Load(dir.Folder()), FileError);
  EXPECT_THROW(WriteProfileString(dir.Path("missing/Commpara"), "S", "k", "v"), FileError);
}

}  // namespace
}  // namespace lumaq
