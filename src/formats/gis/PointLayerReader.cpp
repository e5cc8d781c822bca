#include "formats/gis/PointLayerReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <optional>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "formats/gis/CodePage.h"
#include "formats/gis/GdalSupport.h"
#include "formats/gis/GisFailure.h"

namespace lumaq::gis {
namespace {

// The attribute names taken, compared without regard to the case of Latin
// letters.
constexpr std::array<std::string_view, 7> kNameFields{
    "name", "pointname", "point_name", "pt_name", "ptname", "点号", "点名"};
constexpr std::array<std::string_view, 7> kCodeFields{
    "code", "pointcode", "point_code", "feature_code", "featurecode", "编码", "代码"};
constexpr std::array<std::string_view, 6> kHeightFields{"height", "elevation", "elev",
                                                        "z",      "h",         "高程"};

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

template <std::size_t N>
std::optional<int> FieldIndex(OGRFeatureDefn& fields,
                              const std::array<std::string_view, N>& names) {
  for (int i = 0; i < fields.GetFieldCount(); ++i) {
    const std::string name = Lowered(fields.GetFieldDefn(i)->GetNameRef());
    if (std::find(names.begin(), names.end(), name) != names.end()) return i;
  }
  return std::nullopt;
}

const OGRPoint* PointOf(const OGRFeature& feature) {
  const OGRGeometry* geometry = feature.GetGeometryRef();
  if (geometry == nullptr || geometry->IsEmpty()) return nullptr;
  if (wkbFlatten(geometry->getGeometryType()) != wkbPoint) return nullptr;
  return geometry->toPoint();
}

bool HasPoints(OGRLayer& layer) {
  layer.ResetReading();
  for (const auto& feature : layer) {
    if (PointOf(*feature) != nullptr) return true;
  }
  return false;
}

std::string LayerNames(GDALDataset& dataset) {
  std::string names;
  for (OGRLayer* layer : dataset.GetLayers()) {
    names += (names.empty() ? "" : "、") + std::string("“") + layer->GetName() + "”";
  }
  return names.empty() ? "没有图层" : "它的图层：" + names;
}

OGRLayer& PointLayer(GDALDataset& dataset, const std::string& path, std::string_view wanted) {
  if (!wanted.empty()) {
    OGRLayer* layer = dataset.GetLayerByName(std::string(wanted).c_str());
    if (layer == nullptr) {
      throw Rejected("文件 \"" + path + "\" 中没有名为“" + std::string(wanted) + "”的图层（" +
                     LayerNames(dataset) + "）");
    }
    if (!HasPoints(*layer)) throw Rejected("图层“" + std::string(wanted) + "”中没有点");
    return *layer;
  }
  for (OGRLayer* layer : dataset.GetLayers()) {
    const OGRwkbGeometryType type = wkbFlatten(layer->GetGeomType());
    if ((type == wkbPoint || type == wkbUnknown) && HasPoints(*layer)) return *layer;
  }
  throw Rejected("文件 \"" + path + "\" 中没有点图层（" + LayerNames(dataset) + "）");
}

std::optional<double> NumberOf(const char* text) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text) return std::nullopt;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  return *end == '\0' ? std::optional(value) : std::nullopt;
}

// Takes the points of one layer apart.
class PointTaker {
 public:
  PointTaker(OGRLayer& layer, const ReferenceSystem& system)
      : system_(system),
        nameField_(FieldIndex(*layer.GetLayerDefn(), kNameFields)),
        codeField_(FieldIndex(*layer.GetLayerDefn(), kCodeFields)),
        heightField_(FieldIndex(*layer.GetLayerDefn(), kHeightFields)) {
    // A layer without a system is taken to be in the job's.
    if (const OGRSpatialReference* from = layer.GetSpatialRef(); from != nullptr) {
      toJob_ = Transformation(*from, system.Srs());
    }
  }

  struct Taken {
    std::string name;  // code-page bytes
    std::string code;
    double e = 0;
    double n = 0;
    std::optional<double> z;
  };

  Taken Take(const OGRFeature& feature, const OGRPoint& point, std::size_t number) const {
    Taken taken;
    const std::string utf8Name = Text(feature, nameField_);
    // A point without a name would be no record: it is named by its number.
    const std::string shownName = !utf8Name.empty() ? utf8Name
                                  : feature.GetFID() != OGRNullFID
                                      ? std::to_string(feature.GetFID())
                                      : std::to_string(number);
    taken.name = CodePageFromUtf8(shownName);
    taken.code = CodePageFromUtf8(Text(feature, codeField_));
    taken.e = point.getX();
    taken.n = point.getY();
    if (toJob_ && !toJob_->Transform(1, &taken.e, &taken.n)) {
      throw Rejected("点 " + shownName + " 不能换算到 " + system_.Name() + "（" + system_.Code() +
                     "）" + GdalReason());
    }
    system_.CheckWithinArea(taken.e, taken.n, shownName);
    if (heightField_ && feature.IsFieldSetAndNotNull(*heightField_)) {
      taken.z = NumberOf(feature.GetFieldAsString(*heightField_));
    }
    if (!taken.z && point.Is3D()) taken.z = point.getZ();
    return taken;
  }

 private:
  static std::string Text(const OGRFeature& feature, const std::optional<int>& field) {
    if (!field || !feature.IsFieldSetAndNotNull(*field)) return {};
    return feature.GetFieldAsString(*field);
  }

  const ReferenceSystem& system_;
  std::optional<int> nameField_;
  std::optional<int> codeField_;
  std::optional<int> heightField_;
  std::unique_ptr<OGRCoordinateTransformation> toJob_;
};

void Hand(const PointTaker::Taken& taken, const PointOut& out) {
  LumaqGisPoint point{};
  point.name = {taken.name.data(), taken.name.size()};
  point.code = {taken.code.data(), taken.code.size()};
  point.e = taken.e;
  point.n = taken.n;
  point.z = taken.z.value_or(0.0);
  point.hasHeight = taken.z ? 1 : 0;
  out(point);
}

}  // namespace

std::size_t ReadPointLayer(const LayerFormat& format, const std::string& path,
                           const ReferenceSystem& system, std::string_view layerName,
                           std::size_t maxPoints, const PointOut& out) {
  RegisterGdalDrivers();
  const QuietGdalErrors quiet;
  const char* const drivers[] = {format.driver, nullptr};
  const GDALDatasetUniquePtr dataset(GDALDataset::Open(
      path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
  if (!dataset) {
    throw Rejected("GDAL 不能把文件 \"" + path + "\" 当作 " + format.driver + " 读取" +
                   GdalReason());
  }
  OGRLayer& layer = PointLayer(*dataset, path, layerName);
  const PointTaker taker(layer, system);
  std::size_t count = 0;
  std::optional<PointTaker::Taken> last;
  layer.ResetReading();
  for (const auto& feature : layer) {
    const OGRPoint* point = PointOf(*feature);
    if (point == nullptr) continue;
    ++count;
    PointTaker::Taken taken = taker.Take(*feature, *point, count);
    if (count < maxPoints) {
      Hand(taken, out);
    } else {
      last = std::move(taken);
    }
  }
  if (last) Hand(*last, out);
  return count;
}

}  // namespace lumaq::gis
