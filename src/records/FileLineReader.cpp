#include "records/FileLineReader.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "records/InputLimits.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

// Lines are taken from the file in pieces of this size: few enough system
// calls, few enough pages of memory.
constexpr std::size_t kPieceBytes = std::size_t{1} << 15;

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

}  // namespace

FileLineReader::FileLineReader(const std::string& path, std::uintmax_t maxBytes)
    : path_(path),
      maxBytes_(maxBytes),
      lines_([this](char* buffer, std::size_t size) { return Read(buffer, size); }, Quoted(path),
             kPieceBytes) {
  file_ = OpenForReading(path);
  // The reader's own buffer is the only one.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(path, sizeError);
  if (!sizeError && size > maxBytes_) throw OversizedInput(OversizedFileMessage(Quoted(path)));
}

std::size_t FileLineReader::Read(char* buffer, std::size_t size) {
  errno = 0;
  const std::size_t got = std::fread(buffer, 1, size, file_.get());
  if (got == 0 && std::ferror(file_.get())) ThrowFileError("无法读取文件", path_, errno);
  bytesRead_ += got;
  if (bytesRead_ > maxBytes_) throw OversizedInput(OversizedFileMessage(Quoted(path_)));
  return got;
}

}  // namespace lumaq
