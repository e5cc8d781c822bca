#include "formats/UserFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "records/JobFiles.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace lumaq {
namespace {

using test::TempDir;
using test::WorkingFolder;

UserFormat Format(std::string name, std::string extension, std::array<int, 5> order, bool serial) {
  return {std::move(name), std::move(extension), order, serial};
}

JobText Section(const std::string& name, const std::string& extension, const std::string& word) {
  return {"[ComPort1]",          "ComPort=COM1",    "",
          "[UserDefFormat1]",    "DefName=" + name, "DefFileExt=" + extension,
          "DefOrderWord=" + word};
}

TEST(ParseUserFormat, AcceptsOnlyACompleteSection) {
  struct Case {
    const char* what;
    JobText lines;
    std::optional<UserFormat> expected;
  } cases[] = {
      {"stored layout", Section("Survey", "txt", "312041"),
       Format("Survey", "txt", {3, 1, 2, 0, 4}, true)},
      {"every position the name", Section("N", "dat", "000001"),
       Format("N", "dat", {0, 0, 0, 0, 0}, true)},
      {"long extension cut to three", Section("N", "abcd", "012340"),
       Format("N", "abc", {0, 1, 2, 3, 4}, false)},
      {"empty extension", Section("N", "", "012340"), Format("N", "", {0, 1, 2, 3, 4}, false)},
      {"blank extension", Section("N", "   ", "012340"), Format("N", "", {0, 1, 2, 3, 4}, false)},
      {"name kept as written", Section(" Survey 1", "dat", "012340"),
       Format(" Survey 1", "dat", {0, 1, 2, 3, 4}, false)},
      {"blanks around the lines",
       {"  [UserDefFormat1] ", "\tDefName=A  ", " DefFileExt=x ", " DefOrderWord=432100 "},
       Format("A", "x", {4, 3, 2, 1, 0}, false)},
      {"five digits", Section("N", "dat", "01234"), std::nullopt},
      {"seven digits", Section("N", "dat", "0123401"), std::nullopt},
      {"flag 5", Section("N", "dat", "012345"), std::nullopt},
      {"field number 5", Section("N", "dat", "012350"), std::nullopt},
      {"not a digit", Section("N", "dat", "01a340"), std::nullopt},
      {"empty word", Section("N", "dat", ""), std::nullopt},
      {"empty name", Section("", "dat", "012340"), std::nullopt},
      {"blank name", Section("  ", "dat", "012340"), std::nullopt},
      {"keys out of order",
       {"[UserDefFormat1]", "DefFileExt=dat", "DefName=N", "DefOrderWord=012340"},
       std::nullopt},
      {"file ends early", {"[UserDefFormat1]", "DefName=N", "DefFileExt=dat"}, std::nullopt},
      {"no section", {"DefName=N", "DefFileExt=dat", "DefOrderWord=012340"}, std::nullopt},
      {"no lines", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ParseUserFormat(c.lines), c.expected);
  }
}

TEST(OrderWord, FiveFieldNumbersAndTheFlag) {
  EXPECT_EQ(OrderWord(FallbackUserFormat()), "012340");
  EXPECT_EQ(OrderWord(Format("S", "txt", {3, 1, 2, 0, 4}, true)), "312041");
}

TEST(RewriteUserFormatLines, KeepsOtherLinesAndOneSection) {
  const UserFormat survey = Format("Survey", "txt", {3, 1, 2, 0, 4}, true);
  const JobText settings{"[ComPort1]",          "",
                         "ComPort=COM2",        "   ",
                         "BaudRate=9600",       "[UserDefFormat1]",
                         "DefName=Old",         "DefFileExt=dat",
                         "DefOrderWord=012340", "Other=1"};
  const JobText once = RewriteUserFormatLines(settings, survey);
  const JobText expected{
      "[ComPort1]",     "ComPort=COM2",   "BaudRate=9600",      "Other=1", "", "[UserDefFormat1]",
      "DefName=Survey", "DefFileExt=txt", "DefOrderWord=312041"};
  EXPECT_EQ(once, expected);
  EXPECT_EQ(RewriteUserFormatLines(once, survey), expected);
  EXPECT_EQ(RewriteUserFormatLines({}, FallbackUserFormat()),
            (JobText{"", "[UserDefFormat1]", "DefName=" + FallbackUserFormat().name,
                     "DefFileExt=dat", "DefOrderWord=012340"}));
}

class SettingsFileTest : public ::testing::Test {
 protected:
  TempDir work;
  TempDir program;
  WorkingFolder inWork{work.Folder()};
};

TEST_F(SettingsFileTest, WithoutAFileReadingFailsAndWritingCreatesOne) {
  EXPECT_EQ(FindSettingsFile(program.Folder()), "");
  EXPECT_EQ(ReadUserFormat(program.Folder()), std::nullopt);
  const UserFormat survey = Format("Survey", "txt", {3, 1, 2, 0, 4}, true);
  WriteUserFormat(survey, program.Folder());
  EXPECT_EQ(ReadFileBytes(work.Path("Commpara")),
            "\r\n[UserDefFormat1]\r\nDefName=Survey\r\nDefFileExt=txt\r\nDefOrderWord=312041\r\n");
  EXPECT_EQ(ReadUserFormat(program.Folder()), survey);
  EXPECT_FALSE(std::filesystem::exists(program.Path("Commpara")));
}

TEST_F(SettingsFileTest, TheWorkingFolderComesFirstAndIsWrittenAlways) {
  program.Write("Commpara",
                "[ComPort1]\r\nComPort=COM3\r\n\r\n[UserDefFormat1]\r\n"
                "DefName=Beside\r\nDefFileExt=pts\r\nDefOrderWord=012341\r\n");
  EXPECT_EQ(FindSettingsFile(program.Folder()), program.Path("Commpara"));
  EXPECT_EQ(ReadUserFormat(program.Folder())->name, "Beside");

  // Written to the working folder, from the lines found beside the program.
  WriteUserFormat(Format("Here", "", {0, 1, 2, 3, 4}, false), program.Folder());
  EXPECT_EQ(ReadFileBytes(work.Path("Commpara")),
            "[ComPort1]\r\nComPort=COM3\r\n\r\n[UserDefFormat1]\r\nDefName=Here\r\n"
            "DefFileExt=\r\nDefOrderWord=012340\r\n");
  EXPECT_EQ(FindSettingsFile(program.Folder()), "Commpara");
  EXPECT_EQ(ReadUserFormat(program.Folder())->name, "Here");
  EXPECT_EQ(ReadUserFormat(program.Folder())->extension, "");
  EXPECT_EQ(ReadFileBytes(program.Path("Commpara")).find("Here"), std::string::npos);
}

TEST_F(SettingsFileTest, AnInstalledCopyKeepsTheLayoutInTheUsersConfigurationFolder) {
  // A program folder that cannot be written (one that does not exist).
  const std::string installed = program.Path("usr/bin");
  TempDir home;
  test::ScopedEnvironment variables;
  variables.Set("XDG_CONFIG_HOME", home.Path("config"));
  const std::string stored = home.Path("config/lumaq/Commpara");
  std::filesystem::create_directory(work.Path("Commpara"));  // a folder is no settings file

  EXPECT_EQ(FindSettingsFile(installed), "");
  const UserFormat survey = Format("Survey", "txt", {3, 1, 2, 0, 4}, true);
  WriteUserFormat(survey, installed);
  EXPECT_EQ(ReadFileBytes(stored),
            "\r\n[UserDefFormat1]\r\nDefName=Survey\r\nDefFileExt=txt\r\nDefOrderWord=312041\r\n");
  EXPECT_EQ(FindSettingsFile(installed), stored);
  EXPECT_EQ(ReadUserFormat(installed), survey);

  // A settings file in the working folder still comes first, and is written.
  std::filesystem::remove(work.Path("Commpara"));
  work.Write("Commpara", "[ComPort1]\r\nPort=COM2\r\n");
  WriteUserFormat(Format("Here", "", {0, 1, 2, 3, 4}, false), installed);
  EXPECT_EQ(ReadFileBytes(work.Path("Commpara")),
            "[ComPort1]\r\nPort=COM2\r\n\r\n[UserDefFormat1]\r\nDefName=Here\r\n"
            "DefFileExt=\r\nDefOrderWord=012340\r\n");
  EXPECT_EQ(ReadUserFormat(installed)->name, "Here");
  EXPECT_EQ(ReadFileBytes(stored).find("Here"), std::string::npos);
}

TEST_F(SettingsFileTest, AnExportFallsBackWhenNoLayoutCanBeRead) {
  enum class Settings { kNone, kFile, kUnreadable };
  struct Case {
    const char* label;
    Settings settings;
    std::string bytes;
    UserFormat expected;
  } cases[] = {
      {"no settings file", Settings::kNone, "", FallbackUserFormat()},
      {"a valid layout", Settings::kFile,
       "[UserDefFormat1]\r\nDefName=Mine\r\nDefFileExt=txt\r\nDefOrderWord=401231\r\n",
       Format("Mine", "txt", {4, 0, 1, 2, 3}, true)},
      {"an incomplete layout", Settings::kFile, "[UserDefFormat1]\r\nDefName=Mine\r\n",
       FallbackUserFormat()},
      {"a settings file that cannot be read", Settings::kUnreadable, "", FallbackUserFormat()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const TempDir folder;
    if (c.settings == Settings::kFile) folder.Write("Commpara", c.bytes);
    if (c.settings == Settings::kUnreadable) {
      // A regular file whose first byte fails to read, even for root: the
      // process's own memory at address 0.
      std::filesystem::create_symlink("/proc/self/mem", folder.Path("Commpara"));
      EXPECT_THROW(ReadUserFormat(folder.Folder()), FileError);
    }
    EXPECT_EQ(UserFormatForExport(folder.Folder()), c.expected);
  }
}

TEST_F(SettingsFileTest, NamesAreTheFileBytes) {
  // "测量" in the code page, stored and read back unchanged.
  const UserFormat chinese = Format("\xB2\xE2\xC1\xBF", "dat", {0, 1, 2, 3, 4}, false);
  WriteUserFormat(chinese, program.Folder());
  EXPECT_NE(ReadFileBytes("Commpara").find("DefName=\xB2\xE2\xC1\xBF\r\n"), std::string::npos);
  EXPECT_EQ(ReadUserFormat(program.Folder()), chinese);
}

}  // namespace
}  // namespace lumaq
