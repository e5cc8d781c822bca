// The projected systems of PROJ's EPSG database, as the list the user picks
// the job's system from is built: PROJ's own list, not one typed by hand.
#pragma once

#include <functional>
#include <string_view>

namespace lumaq::gis {

// Each system not deprecated: "EPSG:4547" and its name.
void ListProjectedCrs(const std::function<void(std::string_view code, std::string_view name)>& out);

}  // namespace lumaq::gis
