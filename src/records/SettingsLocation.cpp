#include "records/SettingsLocation.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "records/JobFiles.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;

// The value of an environment variable, empty when unset.
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The folder an XDG variable names, else the given folder under HOME; empty
// when there is none to be had.
fs::path XdgFolder(const char* variable, const char* underHome) {
  const fs::path folder = Environment(variable);
  if (folder.is_absolute()) return folder;
  const std::string home = Environment("HOME");
  if (home.empty()) return {};
  return fs::path(home) / underHome;
}

// The user's configuration folder; empty when there is none to be had.
fs::path ConfigFolder() {
  return XdgFolder("XDG_CONFIG_HOME", ".config");
}

// The system's folders of installed programs. The superuser may write in
// them, but a settings file there belongs to no package and would be left
// behind when the program is removed: an installed copy keeps its settings in
// the user's configuration folder, whoever runs it.
bool IsSystemProgramFolder(const std::string& programFolder) {
  const fs::path folder = fs::path(programFolder).lexically_normal();
  for (const char* system : {"/bin", "/sbin", "/usr/bin", "/usr/sbin", "/usr/games",
                             "/usr/local/bin", "/usr/local/sbin", "/usr/local/games"}) {
    if (folder == fs::path(system) || folder == fs::path(system) / "") return true;
  }
  return false;
}

}  // namespace

bool ProgramFolderKeepsSettings(const std::string& programFolder) {
  return !programFolder.empty() && !IsSystemProgramFolder(programFolder) &&
         FolderIsWritable(programFolder);
}

std::string SettingsFilePath(const std::string& programFolder) {
  const fs::path beside = fs::path(programFolder) / kSettingsFileName;
  if (ProgramFolderKeepsSettings(programFolder)) return beside.string();
  const fs::path config = ConfigFolder();
  if (config.empty()) return beside.string();
  return (config / "lumaq" / kSettingsFileName).string();
}

std::string UserStateFolder() {
  const fs::path state = XdgFolder("XDG_STATE_HOME", ".local/state");
  if (state.empty()) return {};
  return (state / "lumaq").string();
}

bool IsSettingsFile(const std::string& path) {
  std::error_code ignored;
  return fs::is_regular_file(path, ignored);
}

void CreateSettingsFolder(const std::string& settingsFile) {
  const fs::path folder = fs::path(settingsFile).parent_path();
  if (folder.empty()) return;
  // Each missing folder from the outermost in, so that every one the program
  // creates is the user's alone.
  fs::path partial;
  for (const fs::path& part : folder) {
    partial /= part;
    std::error_code error;
    if (fs::is_directory(partial, error)) continue;
    const bool created = fs::create_directory(partial, error);
    if (created) fs::permissions(partial, fs::perms::owner_all, error);
    if (error) ThrowFileError("无法创建文件夹", partial.string(), error.value());
  }
}

}  // namespace lumaq
