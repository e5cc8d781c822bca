#include "formats/gis/GdalSupport.h"

#include <mutex>

#include <cpl_error.h>
#include <gdal.h>

namespace lumaq::gis {

void RegisterGdalDrivers() {
  static std::once_flag registered;
  std::call_once(registered, [] { GDALAllRegister(); });
}

QuietGdalErrors::QuietGdalErrors() {
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
}

QuietGdalErrors::~QuietGdalErrors() {
  CPLPopErrorHandler();
}

std::string LastGdalError() {
  const char* message = CPLGetLastErrorMsg();
  return message != nullptr ? message : "";
}

std::string GdalReason() {
  const std::string message = LastGdalError();
  return message.empty() ? std::string() : "：" + message;
}

}  // namespace lumaq::gis
