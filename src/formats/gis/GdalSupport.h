// What every use of GDAL here needs: its drivers registered once, its errors
// kept quiet (GDAL would print them on standard error; they reach the user
// in our messages instead), and the last of them for such a message.
#pragma once

#include <string>

namespace lumaq::gis {

void RegisterGdalDrivers();

// While one lives, GDAL's errors on this thread are kept, not printed.
class QuietGdalErrors {
 public:
  QuietGdalErrors();
  ~QuietGdalErrors();
  QuietGdalErrors(const QuietGdalErrors&) = delete;
  QuietGdalErrors& operator=(const QuietGdalErrors&) = delete;
};

// GDAL's last error message on this thread, or "" when there was none.
std::string LastGdalError();

// ": " and GDAL's last error, for the end of a message; "" when none.
std::string GdalReason();

}  // namespace lumaq::gis
