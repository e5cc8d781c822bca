#include "formats/gis/PointLayerWriter.h"

#include <memory>
#include <string>

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "formats/gis/CodePage.h"
#include "formats/gis/GdalSupport.h"
#include "formats/gis/GisFailure.h"
#include "formats/gis/VsiMemFolder.h"

namespace lumaq::gis {
namespace {

// Names and codes of up to 8 code-page bytes take at most 24 in UTF-8.
constexpr int kTextFieldWidth = 32;

std::string_view View(LumaqGisText text) {
  return {text.bytes, text.size};
}

void AddField(OGRLayer& layer, const char* name, OGRFieldType type) {
  OGRFieldDefn field(name, type);
  if (type == OFTString) field.SetWidth(kTextFieldWidth);
  if (layer.CreateField(&field) != OGRERR_NONE) {
    throw Failed(std::string("GDAL 无法建立属性 ") + name + GdalReason());
  }
}

CPLStringList LayerOptions(const LayerFormat& format) {
  CPLStringList options;
  if (format.name == "shp") options.SetNameValue("ENCODING", "UTF-8");
  if (format.name == "geojson") {
    options.SetNameValue("RFC7946", "YES");
    // 1e-9 degrees is a tenth of a millimetre: a surveyed point keeps its place.
    options.SetNameValue("COORDINATE_PRECISION", "9");
  }
  return options;
}

}  // namespace

void WritePointLayer(const LayerFormat& format, const ReferenceSystem& system,
                     std::string_view layer, std::span<const LumaqGisPoint> points,
                     const FileOut& out) {
  RegisterGdalDrivers();
  const QuietGdalErrors quiet;
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(format.driver);
  if (driver == nullptr) throw Failed(std::string("GDAL 没有 ") + format.driver + " 驱动");
  const VsiMemFolder folder;
  const std::string layerName(layer);
  {
    GDALDatasetUniquePtr dataset(
        driver->Create(folder.Path(layerName + std::string(format.extension)).c_str(), 0, 0, 0,
                       GDT_Unknown, nullptr));
    if (!dataset)
      throw Failed("GDAL 无法建立 " + std::string(format.name) + " 文件" + GdalReason());
    OGRSpatialReference layerSystem = format.lonLat ? Wgs84LonLat() : system.Srs();
    const std::unique_ptr<OGRCoordinateTransformation> toLonLat =
        format.lonLat ? Transformation(system.Srs(), layerSystem) : nullptr;
    OGRLayer* pointLayer = dataset->CreateLayer(layerName.c_str(), &layerSystem, wkbPoint25D,
                                                LayerOptions(format).List());
    if (pointLayer == nullptr) throw Failed("GDAL 无法建立点图层" + GdalReason());
    AddField(*pointLayer, "name", OFTString);
    AddField(*pointLayer, "code", OFTString);
    AddField(*pointLayer, "height", OFTReal);

    // One transaction: a GeoPackage would otherwise commit every point.
    const bool inTransaction = dataset->StartTransaction() == OGRERR_NONE;
    for (const LumaqGisPoint& point : points) {
      const OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(pointLayer->GetLayerDefn()));
      const std::string name = PrintableUtf8FromCodePage(View(point.name));
      feature->SetField(0, name.c_str());
      feature->SetField(1, PrintableUtf8FromCodePage(View(point.code)).c_str());
      if (point.hasHeight != 0) {
        feature->SetField(2, point.z);
      } else {
        feature->SetFieldNull(2);
      }
      double x = point.e;
      double y = point.n;
      if (toLonLat && !toLonLat->Transform(1, &x, &y)) {
        throw Rejected("点 " + name + " 不能换算为经纬度" + GdalReason());
      }
      OGRPoint geometry(x, y, point.hasHeight != 0 ? point.z : 0.0);
      feature->SetGeometry(&geometry);
      if (pointLayer->CreateFeature(feature.get()) != OGRERR_NONE) {
        throw Failed("GDAL 无法写入点 " + name + GdalReason());
      }
    }
    if (inTransaction && dataset->CommitTransaction() != OGRERR_NONE) {
      throw Failed("GDAL 无法写完 " + std::string(format.name) + " 文件" + GdalReason());
    }
    CPLErrorReset();
  }
  // Closing the dataset wrote its last bytes; a failure there is kept as the
  // last error.
  if (CPLGetLastErrorType() == CE_Failure) {
    throw Failed("GDAL 无法写完 " + std::string(format.name) + " 文件" + GdalReason());
  }
  const std::string mainFile = layerName + std::string(format.extension);
  if (!format.severalFiles) {
    out("", folder.Bytes(mainFile));
    return;
  }
  for (const std::string& file : folder.Files()) {
    // Every file GDAL made beside the first: layer.shx, layer.dbf, ...
    out(file.substr(layerName.size()), folder.Bytes(file));
  }
}

}  // namespace lumaq::gis
