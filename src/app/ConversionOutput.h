// What a conversion writes, record by record, into a temporary file that
// replaces its target once complete (ReplacingFile, made at the first
// write). A failure to write is held back until Commit, so that the caller
// can read its input through first and report a fault of the input before
// it.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "records/ReplacingFile.h"

namespace lumaq {

class ConversionOutput {
 public:
  explicit ConversionOutput(std::string path) : path_(std::move(path)) {}

  // After a failure, bytes are no longer written.
  void Write(std::string_view bytes);

  // Raises the failure held back, or FileError when the target cannot be
  // replaced; else the target is replaced.
  void Commit();

 private:
  std::string path_;
  std::optional<ReplacingFile> file_;
  std::exception_ptr failure_;
};

}  // namespace lumaq
