#include "app/ConversionOutput.h"

#include "records/JobFiles.h"

namespace lumaq {

void ConversionOutput::Write(std::string_view bytes) {
  if (failure_) return;
  try {
    if (!file_) file_.emplace(path_);
    file_->Write(bytes);
  } catch (const FileError&) {
    failure_ = std::current_exception();
    file_.reset();
  }
}

void ConversionOutput::Commit() {
  if (failure_) std::rethrow_exception(failure_);
  if (!file_) file_.emplace(path_);
  file_->Commit();
}

}  // namespace lumaq
