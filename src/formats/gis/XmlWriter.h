// A document written with libxml2's text writer into memory, each step
// checked: the one way the module writes XML (LandXML, KML).
#pragma once

#include <memory>
#include <string>

#include <libxml/xmlwriter.h>

namespace lumaq::gis {

class XmlWriter {
 public:
  // what names the document in a failure: "LandXML".
  explicit XmlWriter(std::string what);

  void Start(const char* element);
  void End();
  void Attribute(const char* name, const std::string& value);
  void Text(const std::string& text);
  // An element holding only text.
  void Element(const char* element, const std::string& text);

  // Ends the document and gives its UTF-8 bytes.
  std::string Finish();

 private:
  struct BufferFree {
    void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
  };
  struct WriterFree {
    void operator()(xmlTextWriter* writer) const { xmlFreeTextWriter(writer); }
  };
  void Check(int result) const;

  std::string what_;
  std::unique_ptr<xmlBuffer, BufferFree> buffer_;
  std::unique_ptr<xmlTextWriter, WriterFree> writer_;
};

}  // namespace lumaq::gis
