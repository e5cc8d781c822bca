// The system's part of the settings location on POSIX.
#include <unistd.h>

#include "records/SettingsLocation.h"

namespace lumaq {

bool FolderIsWritable(const std::string& folder) {
  // Creating a file needs both: writing the folder and passing through it.
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace lumaq
