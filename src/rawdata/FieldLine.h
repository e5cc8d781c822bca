// A line of the measurement text or of the polar export: fields joined by
// commas after a tag, the code left out with its comma when it is empty. The
// line is written into a buffer of the caller's, which a long run of lines
// reuses.
#pragma once

#include <string>
#include <string_view>

namespace lumaq {

class FieldLine {
 public:
  // Appends the tag to line; the fields follow it.
  explicit FieldLine(std::string& line, std::string_view tag = {}) : line_(line) { line_ += tag; }

  FieldLine& Add(std::string_view field) {
    if (!first_) line_ += ',';
    first_ = false;
    line_ += field;
    return *this;
  }
  FieldLine& AddCode(std::string_view code) {
    if (!code.empty()) Add(code);
    return *this;
  }

 private:
  std::string& line_;
  bool first_ = true;
};

}  // namespace lumaq
