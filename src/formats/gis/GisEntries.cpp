// The module's entry table (formats/GisEntries.h): each entry runs its work
// and turns what fails into a result and a message, for no exception may
// leave the module.
#include "formats/GisEntries.h"

#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "formats/gis/CodePage.h"
#include "formats/gis/CrsList.h"
#include "formats/gis/GisFailure.h"
#include "formats/gis/KmlWriter.h"
#include "formats/gis/LandXmlWriter.h"
#include "formats/gis/LayerFormats.h"
#include "formats/gis/PointLayerReader.h"
#include "formats/gis/PointLayerWriter.h"
#include "formats/gis/ReferenceSystem.h"

namespace lumaq::gis {
namespace {

LumaqGisText Text(std::string_view text) {
  return {text.data(), text.size()};
}

template <typename Work>
LumaqGisResult Run(LumaqGisMessageSink message, void* messageContext, Work work) {
  const auto fail = [&](LumaqGisResult result, std::string_view text) {
    message(messageContext, Text(text));
    return result;
  };
  try {
    work();
    return kLumaqGisDone;
  } catch (const Rejected& error) {
    return fail(kLumaqGisRejected, error.what());
  } catch (const std::bad_alloc&) {
    return fail(kLumaqGisFailed, "内存不足，无法完成操作");
  } catch (const std::exception& error) {
    return fail(kLumaqGisFailed, error.what());
  } catch (...) {
    return fail(kLumaqGisFailed, "GIS 模块中出现了未知的错误");
  }
}

std::string_view Or(const char* text) {
  return text != nullptr ? text : "";
}

LumaqGisResult ExportPoints(const LumaqGisExport* request, LumaqGisFileSink files,
                            void* filesContext, LumaqGisMessageSink message, void* messageContext) {
  return Run(message, messageContext, [&] {
    const ReferenceSystem system(Or(request->crs));
    const std::span<const LumaqGisPoint> points(request->points, request->count);
    for (const LumaqGisPoint& point : points) {
      system.CheckWithinArea(point.e, point.n,
                             PrintableUtf8FromCodePage({point.name.bytes, point.name.size}));
    }
    const std::string_view format = Or(request->format);
    if (format == "landxml") {
      const std::string document = LandXmlDocument(system, points);
      files(filesContext, Text(""), Text(document));
      return;
    }
    if (format == "kml") {
      const std::string document = KmlDocument(system, Or(request->layer), points);
      files(filesContext, Text(""), Text(document));
      return;
    }
    const LayerFormat* layerFormat = FindLayerFormat(format);
    if (layerFormat == nullptr) throw Failed("GIS 模块不认识格式 " + std::string(format));
    WritePointLayer(*layerFormat, system, Or(request->layer), points,
                    [&](std::string_view suffix, std::string_view bytes) {
                      files(filesContext, Text(suffix), Text(bytes));
                    });
  });
}

LumaqGisResult ImportPoints(const LumaqGisImport* request, LumaqGisPointSink points,
                            void* pointsContext, size_t* pointCount, LumaqGisMessageSink message,
                            void* messageContext) {
  return Run(message, messageContext, [&] {
    const LayerFormat* format = FindLayerFormat(Or(request->format));
    if (format == nullptr) throw Failed("GIS 模块不认识格式 " + std::string(Or(request->format)));
    const ReferenceSystem system(Or(request->crs));
    *pointCount = ReadPointLayer(
        *format, std::string(Or(request->path)), system, Or(request->layer), request->maxPoints,
        [&](const LumaqGisPoint& point) { points(pointsContext, &point); });
  });
}

LumaqGisResult ListProjected(LumaqGisCrsSink systems, void* systemsContext,
                             LumaqGisMessageSink message, void* messageContext) {
  return Run(message, messageContext, [&] {
    ListProjectedCrs([&](std::string_view code, std::string_view name) {
      systems(systemsContext, Text(code), Text(name));
    });
  });
}

LumaqGisResult DescribeCrs(const char* code, LumaqGisCrsSink system, void* systemContext,
                           LumaqGisMessageSink message, void* messageContext) {
  return Run(message, messageContext, [&] {
    const ReferenceSystem described(Or(code));
    system(systemContext, Text(described.Code()), Text(described.Name()));
  });
}

constexpr LumaqGisEntries kEntries{LUMAQ_GIS_ENTRIES_VERSION, ExportPoints, ImportPoints,
                                   ListProjected, DescribeCrs};

}  // namespace
}  // namespace lumaq::gis

extern "C" __attribute__((visibility("default"))) const LumaqGisEntries* lumaq_gis_entries() {
  return &lumaq::gis::kEntries;
}
