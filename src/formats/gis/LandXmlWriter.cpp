#include "formats/gis/LandXmlWriter.h"

#include <ctime>
#include <memory>
#include <string_view>

#include <libxml/xmlwriter.h>

#include "formats/gis/CodePage.h"
#include "formats/gis/GisFailure.h"

namespace lumaq::gis {
namespace {

struct BufferFree {
  void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};
struct WriterFree {
  void operator()(xmlTextWriter* writer) const { xmlFreeTextWriter(writer); }
};

const xmlChar* Xml(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}

std::string_view View(LumaqGisText text) {
  return {text.bytes, text.size};
}

// The document's elements and attributes, each step checked.
class Document {
 public:
  explicit Document(xmlTextWriter* writer) : writer_(writer) {}

  void Start(const char* element) { Check(xmlTextWriterStartElement(writer_, Xml(element))); }
  void End() { Check(xmlTextWriterEndElement(writer_)); }
  void Attribute(const char* name, const std::string& value) {
    Check(xmlTextWriterWriteAttribute(writer_, Xml(name), Xml(value.c_str())));
  }
  void Text(const std::string& text) {
    Check(xmlTextWriterWriteString(writer_, Xml(text.c_str())));
  }
  static void Check(int result) {
    if (result < 0) throw Failed("libxml2 无法写出 LandXML 文件");
  }

 private:
  xmlTextWriter* writer_;
};

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

void WriteBody(Document& xml, const ReferenceSystem& system,
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
  const std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
  if (!buffer) throw Failed("libxml2 无法分配 LandXML 文件的内存");
  {
    const std::unique_ptr<xmlTextWriter, WriterFree> writer(
        xmlNewTextWriterMemory(buffer.get(), 0));
    if (!writer) throw Failed("libxml2 无法建立 LandXML 写出器");
    Document::Check(xmlTextWriterSetIndent(writer.get(), 1));
    Document::Check(xmlTextWriterSetIndentString(writer.get(), Xml("  ")));
    Document::Check(xmlTextWriterStartDocument(writer.get(), nullptr, "UTF-8", nullptr));
    Document xml(writer.get());
    WriteBody(xml, system, points);
    Document::Check(xmlTextWriterEndDocument(writer.get()));
  }
  return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                     static_cast<std::size_t>(xmlBufferLength(buffer.get())));
}

}  // namespace lumaq::gis
