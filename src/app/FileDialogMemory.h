// What the file dialogs keep from one use to the next: the folder the user
// was last in, and the file type last chosen, one for the open dialog (Open,
// Import) and one for the save dialog (Save As, Export), each by its position
// in the dialog's list.
#pragma once

#include <string>

#include "app/UserDialogs.h"

namespace lumaq {

enum class FileDialogKind { kOpen, kSave };

// The folder of a file, as an absolute path.
std::string FolderOf(const std::string& path);

class FileDialogMemory {
 public:
  // startFolder: where the dialogs start before the user has chosen a file.
  explicit FileDialogMemory(std::string startFolder);

  // The folder of the file last chosen, or the start folder.
  const std::string& Folder() const { return folder_; }
  // The type last chosen in that dialog (1 before the first choice), or 1
  // when the dialog's list of typeCount types has no such position.
  int TypeIndex(FileDialogKind kind, int typeCount) const;

  // A file chosen in that dialog: its folder and type are kept.
  void Remember(FileDialogKind kind, const FileChoice& choice);
  // A file opened without a dialog (from the command line): its folder is kept.
  void RememberFolderOf(const std::string& path);

 private:
  std::string folder_;
  int openType_ = 1;
  int saveType_ = 1;
};

}  // namespace lumaq
