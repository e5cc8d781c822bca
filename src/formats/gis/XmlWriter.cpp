#include "formats/gis/XmlWriter.h"

#include <utility>

#include "formats/gis/GisFailure.h"

namespace lumaq::gis {
namespace {

const xmlChar* Xml(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}

}  // namespace

XmlWriter::XmlWriter(std::string what) : what_(std::move(what)), buffer_(xmlBufferCreate()) {
  if (!buffer_) throw Failed("libxml2 无法分配 " + what_ + " 文件的内存");
  writer_.reset(xmlNewTextWriterMemory(buffer_.get(), 0));
  if (!writer_) throw Failed("libxml2 无法建立 " + what_ + " 写出器");
  Check(xmlTextWriterSetIndent(writer_.get(), 1));
  Check(xmlTextWriterSetIndentString(writer_.get(), Xml("  ")));
  Check(xmlTextWriterStartDocument(writer_.get(), nullptr, "UTF-8", nullptr));
}

void XmlWriter::Start(const char* element) {
  Check(xmlTextWriterStartElement(writer_.get(), Xml(element)));
}

void XmlWriter::End() {
  Check(xmlTextWriterEndElement(writer_.get()));
}

void XmlWriter::Attribute(const char* name, const std::string& value) {
  Check(xmlTextWriterWriteAttribute(writer_.get(), Xml(name), Xml(value.c_str())));
}

void XmlWriter::Text(const std::string& text) {
  Check(xmlTextWriterWriteString(writer_.get(), Xml(text.c_str())));
}

void XmlWriter::Element(const char* element, const std::string& text) {
  Check(xmlTextWriterWriteElement(writer_.get(), Xml(element), Xml(text.c_str())));
}

std::string XmlWriter::Finish() {
  Check(xmlTextWriterEndDocument(writer_.get()));
  writer_.reset();  // flushes into the buffer
  return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_.get())),
                     static_cast<std::size_t>(xmlBufferLength(buffer_.get())));
}

void XmlWriter::Check(int result) const {
  if (result < 0) throw Failed("libxml2 无法写出 " + what_ + " 文件");
}

}  // namespace lumaq::gis
