// A line of the measurement text or of the polar export: fields joined by
// commas after a tag, the code left out with its comma when it is empty.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace lumaq {

class FieldLine {
 public:
  explicit FieldLine(std::string_view tag = {}) : text_(tag) {}

  FieldLine& Add(std::string_view field) {
    if (!first_) text_ += ',';
    first_ = false;
    text_ += field;
    return *this;
  }
  FieldLine& AddCode(std::string_view code) {
    if (!code.empty()) Add(code);
    return *this;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
  bool first_ = true;
};

}  // namespace lumaq
