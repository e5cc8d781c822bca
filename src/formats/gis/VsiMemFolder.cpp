#include "formats/gis/VsiMemFolder.h"

#include <atomic>

#include <cpl_string.h>
#include <cpl_vsi.h>

#include "formats/gis/GisFailure.h"

namespace lumaq::gis {

VsiMemFolder::VsiMemFolder() {
  static std::atomic<unsigned long> folders{0};
  folder_ = "/vsimem/lumaq-export-" + std::to_string(++folders);
  if (VSIMkdir(folder_.c_str(), 0700) != 0) throw Failed("无法在内存中建立导出文件夹");
}

VsiMemFolder::~VsiMemFolder() {
  VSIRmdirRecursive(folder_.c_str());
}

std::string VsiMemFolder::Path(std::string_view name) const {
  return folder_ + "/" + std::string(name);
}

std::vector<std::string> VsiMemFolder::Files() const {
  const CPLStringList names(VSIReadDir(folder_.c_str()));
  std::vector<std::string> files;
  for (int i = 0; i < names.size(); ++i) files.emplace_back(names[i]);
  return files;
}

std::string VsiMemFolder::Bytes(std::string_view name) const {
  vsi_l_offset size = 0;
  const GByte* bytes = VSIGetMemFileBuffer(Path(name).c_str(), &size, FALSE);
  if (bytes == nullptr) throw Failed("导出文件 " + std::string(name) + " 没有写成");
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
}

}  // namespace lumaq::gis
