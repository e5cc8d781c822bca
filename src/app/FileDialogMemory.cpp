#include "app/FileDialogMemory.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace lumaq {

std::string FolderOf(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? std::string() : absolute.parent_path().string();
}

FileDialogMemory::FileDialogMemory(std::string startFolder) : folder_(std::move(startFolder)) {}

int FileDialogMemory::TypeIndex(FileDialogKind kind, int typeCount) const {
  const int index = kind == FileDialogKind::kOpen ? openType_ : saveType_;
  return index >= 1 && index <= typeCount ? index : 1;
}

void FileDialogMemory::Remember(FileDialogKind kind, const FileChoice& choice) {
  (kind == FileDialogKind::kOpen ? openType_ : saveType_) = choice.filterIndex;
  RememberFolderOf(choice.path);
}

void FileDialogMemory::RememberFolderOf(const std::string& path) {
  std::string folder = FolderOf(path);
  if (!folder.empty()) folder_ = std::move(folder);
}

}  // namespace lumaq
