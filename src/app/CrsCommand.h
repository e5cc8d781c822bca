// 工具 > 坐标系: the user chooses the job's coordinate reference system from
// PROJ's list (ReferenceSystems.h) or types an EPSG code, and it is stored
// in "Commpara" (JobCrs.h). The window shows the list through the CrsDialog
// seam; tests answer it from a script.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/UserDialogs.h"
#include "formats/ReferenceSystems.h"

namespace lumaq {

inline constexpr const char* kCrsTitle = "坐标系";

struct CrsRequest {
  std::vector<CrsEntry> systems;  // the list to pick from
  std::string current;            // the stored code, or ""
  // The system of a code the user typed; raises RejectedGisInput, whose
  // message the dialog shows, for a code that names none.
  std::function<CrsEntry(const std::string& typed)> lookUp;
};

class CrsDialog {
 public:
  virtual ~CrsDialog() = default;
  // The chosen system; nothing when the user cancels.
  virtual std::optional<CrsEntry> AskCrs(const CrsRequest& request) = 0;
};

class CrsCommand {
 public:
  CrsCommand(std::string programFolder, UserDialogs& dialogs, CrsDialog& crsDialog);

  // Shows the list and stores the system chosen. A missing GIS module or an
  // unreadable settings file is told in a warning box; a settings file that
  // cannot be written raises FileError.
  void MenuCrsClick();

 private:
  std::string programFolder_;
  UserDialogs& dialogs_;
  CrsDialog& crsDialog_;
};

}  // namespace lumaq
