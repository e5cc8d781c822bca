#include "records/JobFiles.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "records/JobDocument.h"
#include "records/ReplacingFile.h"

namespace lumaq {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void ThrowFileError(const char* what, const std::string& path, int error) {
  throw FileError(std::string(what) + " \"" + path + "\"：" +
                  std::generic_category().message(error != 0 ? error : EIO));
}

std::string ReadFileBytes(const std::string& path) {
  errno = 0;
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) ThrowFileError("无法打开文件", path, errno);
  std::string bytes;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
  if (std::ferror(file.get())) ThrowFileError("无法读取文件", path, errno);
  return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  ReplacingFile file(path);
  file.Write(bytes);
  file.Commit();
}

JobText ReadTextFile(const std::string& path) {
  return SplitTextLines(ReadFileBytes(path));
}

void WriteTextFile(const std::string& path, const JobText& lines) {
  WriteFileAtomically(path, JoinLinesCrLf(lines));
}

void CapLines(JobText& lines, std::size_t maxLines) {
  if (lines.size() > maxLines) lines.resize(maxLines);
}

std::string FileNameOf(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtensionOf(std::string_view path) {
  const std::string name = FileNameOf(path);
  const auto dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool IsBdtExtension(std::string_view path) {
  const std::string ext = ExtensionOf(path);
  return ext == ".BDT" || ext == ".bdt";
}

bool IsUpperBdtExtension(std::string_view path) {
  return ExtensionOf(path) == ".BDT";
}

bool IsTsmExtension(std::string_view path) {
  const std::string ext = ExtensionOf(path);
  return ext == ".TSM" || ext == ".tsm";
}

bool IsAcceptedTsm(std::string_view bytes) {
  if (bytes.size() % kRawRecordSize != 0) return false;
  return bytes.empty() || static_cast<unsigned char>(bytes[0]) == 0x81;
}

}  // namespace lumaq
