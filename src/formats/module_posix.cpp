// Loading the GIS module (GisModule.h) with dlopen.
#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "formats/GisModule.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;

// The program file's folder: /proc/self/exe leads to it.
fs::path ProgramFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : program.parent_path();
}

// Beside the program (the build tree), then the package's private library
// folder, LUMAQ_GIS_MODULE_DIR relative to the programs' folder.
std::vector<fs::path> Candidates() {
  const fs::path folder = ProgramFolder();
  return {folder / kGisModuleFile, folder / LUMAQ_GIS_MODULE_DIR / kGisModuleFile};
}

std::string Reason() {
  const char* reason = dlerror();
  return reason != nullptr ? reason : "原因不明";
}

const LumaqGisEntries* Load(std::string& failures) {
  for (const fs::path& candidate : Candidates()) {
    std::error_code error;
    if (!fs::exists(candidate, error)) {
      failures += "\n  " + candidate.string() + "：文件不存在";
      continue;
    }
    // Kept open for the run: the entries point into it.
    void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      failures += "\n  " + candidate.string() + "：" + Reason();
      continue;
    }
    void* symbol = dlsym(module, LUMAQ_GIS_ENTRIES_SYMBOL);
    if (symbol == nullptr) {
      failures += "\n  " + candidate.string() + "：" + Reason();
      dlclose(module);
      continue;
    }
    const auto entries = reinterpret_cast<LumaqGisEntriesFunction>(symbol)();
    if (entries == nullptr || entries->version != LUMAQ_GIS_ENTRIES_VERSION) {
      failures += "\n  " + candidate.string() + "：版本与本程序不符";
      dlclose(module);
      continue;
    }
    return entries;
  }
  return nullptr;
}

}  // namespace

const LumaqGisEntries& GisModuleEntries() {
  static std::string failures;
  static const LumaqGisEntries* const entries = Load(failures);
  if (entries == nullptr) {
    throw GisModuleMissing(
        "无法载入 GIS 模块 " + std::string(kGisModuleFile) +
        "，GeoPackage、Shapefile、GeoJSON、KML 和 LandXML 格式以及坐标系列表都需要它：" + failures +
        "\n请重新安装 Lumaq 的软件包（它带有这个模块，并依赖 GDAL、PROJ 和 libxml2）。");
  }
  return *entries;
}

}  // namespace lumaq
