// Where "Commpara" is kept: beside the program when its folder can be
// written, else in the user's configuration folder.
#include "records/SettingsLocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "records/JobFiles.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Environment {
  std::optional<std::string> configHome;
  std::optional<std::string> home;
};

class SettingsLocation : public ::testing::Test {
 protected:
  void Use(const Environment& environment) {
    variables.Set("XDG_CONFIG_HOME", environment.configHome);
    variables.Set("HOME", environment.home);
  }

  TempDir program;
  test::ScopedEnvironment variables;
};

TEST_F(SettingsLocation, AWritableProgramFolderKeepsTheSettingsWhateverTheEnvironment) {
  const Environment environments[] = {
      {"/config", "/home/alice"}, {std::nullopt, "/home/alice"}, {std::nullopt, std::nullopt}};
  for (const Environment& environment : environments) {
    Use(environment);
    EXPECT_TRUE(ProgramFolderKeepsSettings(program.Folder()));
    EXPECT_EQ(SettingsFilePath(program.Folder()), program.Path("Commpara"));
  }
}

// The superuser may write in /usr/bin, but an installed copy must not leave a
// settings file there that no package owns.
TEST_F(SettingsLocation, TheSystemsProgramFoldersNeverKeepTheSettings) {
  Use({"/config", "/home/alice"});
  for (const char* folder :
       {"/usr/bin", "/usr/bin/", "/usr/local/bin", "/bin", "/usr/sbin/../bin"}) {
    SCOPED_TRACE(folder);
    EXPECT_FALSE(ProgramFolderKeepsSettings(folder));
    EXPECT_EQ(SettingsFilePath(folder), "/config/lumaq/Commpara");
  }
}

TEST_F(SettingsLocation, AReadOnlyFileInAWritableFolderStaysTheSettingsFile) {
  program.Write("Commpara", "[ComPort1]\r\n");
  fs::permissions(program.Path("Commpara"), fs::perms::owner_read | fs::perms::group_read);
  Use({"/config", "/home/alice"});
  EXPECT_EQ(SettingsFilePath(program.Folder()), program.Path("Commpara"));
}

TEST_F(SettingsLocation, WithoutAProgramFolderToWriteTheUsersConfigurationFolderServes) {
  struct Case {
    const char* label;
    Environment environment;
    std::string expected;  // for a folder that does not exist
  } cases[] = {
      {"XDG_CONFIG_HOME", {"/config", "/home/alice"}, "/config/lumaq/Commpara"},
      {"unset: HOME/.config", {std::nullopt, "/home/alice"}, "/home/alice/.config/lumaq/Commpara"},
      {"empty: HOME/.config", {"", "/home/alice"}, "/home/alice/.config/lumaq/Commpara"},
      {"relative: HOME/.config", {"config", "/home/alice"}, "/home/alice/.config/lumaq/Commpara"},
      {"neither variable: the program's own", {std::nullopt, std::nullopt}, ""},
  };
  const std::string missing = program.Path("not-there");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Use(c.environment);
    EXPECT_FALSE(ProgramFolderKeepsSettings(missing));
    EXPECT_EQ(SettingsFilePath(missing), c.expected.empty() ? missing + "/Commpara" : c.expected);
  }
  Use({"/config", "/home/alice"});
  EXPECT_EQ(SettingsFilePath(""), "/config/lumaq/Commpara") << "a program folder not known";
}

TEST_F(SettingsLocation, AFolderThisUserCannotWriteSendsTheSettingsToTheConfigurationFolder) {
  ::chmod(program.Folder().c_str(), 0555);
  Use({"/config", "/home/alice"});
  const auto found = test::RunUnprivileged([&] {
    return std::string(ProgramFolderKeepsSettings(program.Folder()) ? "kept; " : "not kept; ") +
           SettingsFilePath(program.Folder());
  });
  ::chmod(program.Folder().c_str(), 0755);
  if (!found) GTEST_SKIP() << "no user without privileges to be had";
  EXPECT_EQ(*found, "not kept; /config/lumaq/Commpara");
}

TEST(UserStateFolder, FollowsXdgStateHomeElseHomeLocalState) {
  struct Case {
    const char* label;
    std::optional<std::string> stateHome;
    std::optional<std::string> home;
    std::string expected;
  } cases[] = {
      {"XDG_STATE_HOME", "/state", "/home/alice", "/state/lumaq"},
      {"unset", std::nullopt, "/home/alice", "/home/alice/.local/state/lumaq"},
      {"empty", "", "/home/alice", "/home/alice/.local/state/lumaq"},
      {"relative", "state", "/home/alice", "/home/alice/.local/state/lumaq"},
      {"neither variable: none", std::nullopt, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::ScopedEnvironment variables;
    variables.Set("XDG_STATE_HOME", c.stateHome);
    variables.Set("HOME", c.home);
    EXPECT_EQ(UserStateFolder(), c.expected);
  }
}

TEST(SettingsFolder, MissingFoldersAreMadeForTheUserAlone) {
  TempDir dir;
  const std::string file = dir.Path("config/lumaq/Commpara");
  CreateSettingsFolder(file);
  for (const char* folder : {"config", "config/lumaq"}) {
    SCOPED_TRACE(folder);
    EXPECT_TRUE(fs::is_directory(dir.Path(folder)));
    EXPECT_EQ(fs::status(dir.Path(folder)).permissions(), fs::perms::owner_all);
  }
  EXPECT_FALSE(fs::exists(file));
  const fs::perms before = fs::status(dir.Folder()).permissions();
  CreateSettingsFolder(file);  // there already: nothing changes
  EXPECT_EQ(fs::status(dir.Folder()).permissions(), before);
}

TEST(SettingsFolder, AFileInTheWayIsReportedByName) {
  TempDir dir;
  dir.Write("config", "not a folder");
  try {
    CreateSettingsFolder(dir.Path("config/lumaq/Commpara"));
    FAIL() << "made a folder where a file is";
  } catch (const FileError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("无法创建文件夹 \"" + dir.Path("config") + "\"", 0),
              0u)
        << error.what();
  }
}

}  // namespace
}  // namespace lumaq
