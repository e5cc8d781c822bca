// Where the settings file "Commpara" is kept, for the windows and lumaq-cli
// alike: beside the program when the program's folder is one the user may
// write in (a copy run from its build or a portable folder), otherwise in the
// user's configuration folder (an installed copy, whose folder /usr/bin the
// user cannot write).
//
// A read-only "Commpara" in a writable program folder stays the settings
// file: it is read as usual, and storing goes to that same file, as any file
// the program replaces (ReplacingFile decides what a read-only target gets).
// Whoever made it read-only meant those settings to count; moving to another
// file would silently hide them.
#pragma once

#include <string>

namespace lumaq {

inline constexpr const char* kSettingsFileName = "Commpara";

// Whether the program keeps its settings beside itself: programFolder is a
// folder in which this user may create and replace files, and not one of the
// system's folders of installed programs (/usr/bin and the like), which the
// superuser may write in too.
bool ProgramFolderKeepsSettings(const std::string& programFolder);

// programFolder/Commpara when ProgramFolderKeepsSettings, otherwise
// $XDG_CONFIG_HOME/lumaq/Commpara ($XDG_CONFIG_HOME unset, empty or relative:
// $HOME/.config). Without either variable there is nowhere else: the program
// folder's file.
std::string SettingsFilePath(const std::string& programFolder);

// Where the window keeps what belongs to the user's session rather than to
// the settings (its receive journals): $XDG_STATE_HOME/lumaq
// ($XDG_STATE_HOME unset, empty or relative: $HOME/.local/state/lumaq).
// Empty when neither variable gives a folder.
std::string UserStateFolder();

// A settings file is a regular file (or a link to one); a folder or a device
// of that name counts as no settings file.
bool IsSettingsFile(const std::string& path);

// Creates the folders of settingsFile that are missing, for the user alone
// (0700), before the file is first stored. Raises FileError naming the folder.
void CreateSettingsFolder(const std::string& settingsFile);

// The system's part: whether this user may create and replace files in
// folder (false for a folder that does not exist).
bool FolderIsWritable(const std::string& folder);

}  // namespace lumaq
