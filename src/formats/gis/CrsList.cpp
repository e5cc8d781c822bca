#include "formats/gis/CrsList.h"

#include <memory>
#include <string>

#include <proj.h>

#include "formats/gis/GisFailure.h"

namespace lumaq::gis {
namespace {

struct ContextDestroy {
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
struct ParametersDestroy {
  void operator()(PROJ_CRS_LIST_PARAMETERS* parameters) const {
    proj_get_crs_list_parameters_destroy(parameters);
  }
};
struct InfoListDestroy {
  void operator()(PROJ_CRS_INFO** list) const { proj_crs_info_list_destroy(list); }
};

}  // namespace

void ListProjectedCrs(
    const std::function<void(std::string_view code, std::string_view name)>& out) {
  const std::unique_ptr<PJ_CONTEXT, ContextDestroy> context(proj_context_create());
  const std::unique_ptr<PROJ_CRS_LIST_PARAMETERS, ParametersDestroy> parameters(
      proj_get_crs_list_parameters_create());
  if (!context || !parameters) throw Failed("PROJ 无法开始查询坐标系");
  const PJ_TYPE types[] = {PJ_TYPE_PROJECTED_CRS};
  parameters->types = types;
  parameters->typesCount = 1;
  parameters->allow_deprecated = 0;
  int count = 0;
  const std::unique_ptr<PROJ_CRS_INFO*, InfoListDestroy> list(
      proj_get_crs_info_list_from_database(context.get(), "EPSG", parameters.get(), &count));
  if (!list) {
    throw Failed(std::string("PROJ 的数据库中查不到坐标系：") +
                 proj_context_errno_string(context.get(), proj_context_errno(context.get())));
  }
  for (int i = 0; i < count; ++i) {
    const PROJ_CRS_INFO& info = *list.get()[i];
    if (info.deprecated != 0) continue;
    out("EPSG:" + std::string(info.code), info.name);
  }
}

}  // namespace lumaq::gis
