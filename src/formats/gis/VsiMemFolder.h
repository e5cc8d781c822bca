// A folder of GDAL's in-memory file system (/vsimem/) of its own, removed
// with what it holds. An export is written there whole, then handed to the
// core, which replaces the user's files as every writer does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaq::gis {

class VsiMemFolder {
 public:
  VsiMemFolder();
  ~VsiMemFolder();
  VsiMemFolder(const VsiMemFolder&) = delete;
  VsiMemFolder& operator=(const VsiMemFolder&) = delete;

  std::string Path(std::string_view name) const;
  // The names of the files in it.
  std::vector<std::string> Files() const;
  // The bytes of one of them.
  std::string Bytes(std::string_view name) const;

 private:
  std::string folder_;
};

}  // namespace lumaq::gis
