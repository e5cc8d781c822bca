#include "app/JobCrs.h"

#include "comm/IniFile.h"
#include "formats/ExchangeFormats.h"
#include "records/SettingsLocation.h"

namespace lumaq {

std::string StoredJobCrs(const std::string& programFolder) {
  const std::string file = SettingsFilePath(programFolder);
  if (!IsSettingsFile(file)) return {};
  return IniFile::Load(file).ReadString(kCrsSection, kCrsKey, "");
}

void StoreJobCrs(const std::string& programFolder, const std::string& code) {
  const std::string file = SettingsFilePath(programFolder);
  CreateSettingsFolder(file);
  IniFile settings = IniFile::Load(file);
  settings.Write(kCrsSection, kCrsKey, code);
  settings.Save(file);
}

ExchangeOptions JobExchangeOptions(const ExchangeFormat& format, const std::string& programFolder,
                                   const std::string& crs) {
  ExchangeOptions options = ExchangeOptionsFor(format, programFolder);
  if (format.usesCrs) options.crs = crs.empty() ? StoredJobCrs(programFolder) : crs;
  return options;
}

}  // namespace lumaq
