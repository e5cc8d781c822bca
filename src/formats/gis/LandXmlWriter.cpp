#include "formats/gis/LandXmlWriter.h"

#include <ctime>
#include <string_view>

#include "formats/gis/CodePage.h"
#include "formats/gis/XmlWriter.h"

namespace lumaq::gis {
namespace {

std::string_view View(LumaqGisText text) {
  return {text.bytes, text.size};
}

std::string Stamp(const char* format) {
  const std::time_t now = std::time(nullptr);
  char text[32];
  const std::size_t size = std::strftime(text, sizeof text, format, std::localtime(&now));
  return std::string(text, size);
}

// "northing easting elevation", the texts as the record holds them; a point
// without a height has two.
std::string Coordinates(const LumaqGisPoint& point) {
  std::string text = std::string(View(point.north)) + " " + std::string(View(point.east));
  if (point.hasHeight != 0) text += " " + std::string(View(point.height));
  return text;
}

void WriteBody(XmlWriter& xml, const ReferenceSystem& system,
               std::span<const LumaqGisPoint> points) {
  xml.Start("LandXML");
  xml.Attribute("xmlns", "http://www.landxml.org/schema/LandXML-1.2");
  xml.Attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
  xml.Attribute("xsi:schemaLocation",
                "http://www.landxml.org/schema/LandXML-1.2 "
                "http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd");
  xml.Attribute("version", "1.2");
  xml.Attribute("date", Stamp("%Y-%m-%d"));
  xml.Attribute("time", Stamp("%H:%M:%S"));

  xml.Start("Units");
  xml.Start("Metric");
  xml.Attribute("linearUnit", "meter");
  xml.Attribute("areaUnit", "squareMeter");
  xml.Attribute("volumeUnit", "cubicMeter");
  xml.Attribute("angularUnit", "decimal degrees");
  xml.Attribute("directionUnit", "decimal degrees");
  xml.End();
  xml.End();

  xml.Start("CoordinateSystem");
  xml.Attribute("name", system.Name());
  xml.Attribute("epsgCode", system.Number());
  if (const std::string datum = system.DatumName(); !datum.empty()) {
    xml.Attribute("horizontalDatum", datum);
  }
  xml.End();

  xml.Start("Application");
  xml.Attribute("name", "Lumaq");
  xml.End();

  xml.Start("CgPoints");
  for (const LumaqGisPoint& point : points) {
    xml.Start("CgPoint");
    xml.Attribute("name", PrintableUtf8FromCodePage(View(point.name)));
    if (point.code.size > 0) xml.Attribute("code", PrintableUtf8FromCodePage(View(point.code)));
    xml.Text(Coordinates(point));
    xml.End();
  }
  xml.End();
  xml.End();
}

}  // namespace

std::string LandXmlDocument(const ReferenceSystem& system, std::span<const LumaqGisPoint> points) {
  XmlWriter xml("LandXML");
  WriteBody(xml, system, points);
  return xml.Finish();
}

}  // namespace lumaq::gis
