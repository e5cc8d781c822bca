#include "records/JobFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "records/InputLimits.h"
#include "records/JobDocument.h"
#include "records/ReplacingFile.h"

namespace lumaq {
namespace {

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

constexpr const char* kOpenFailed = "无法打开文件";

}  // namespace

FileHandle OpenForReading(const std::string& path) {
  const OpenedFile opened = OpenRegularFile(path);
  if (opened.stream) return FileHandle(opened.stream);
  if (opened.error != 0 || opened.kind == FileKind::kNone) {
    ThrowFileError(kOpenFailed, path, opened.error);
  }
  ThrowNotARegularFile(kOpenFailed, path, opened.kind);
}

std::string FileErrorReason(int error) {
  switch (error) {
    case ENOENT:
      return "文件或文件夹不存在";
    case EACCES:
    case EPERM:
      return "没有访问权限";
    case ENOSPC:
    case EDQUOT:
      return "磁盘已满";
    case EROFS:
      return "文件系统是只读的";
    case ENAMETOOLONG:
      return "文件名太长";
    case EISDIR:
      return "这是一个文件夹";
    case ENOTDIR:
      return "路径中有一项不是文件夹";
    case EFBIG:
      return "文件超过了允许的大小";
    default:
      return "系统错误 " + std::to_string(error) + "（" + std::generic_category().message(error) +
             "）";
  }
}

void ThrowNotARegularFile(const char* what, const std::string& path, FileKind kind) {
  const char* instead = "这不是普通文件";
  switch (kind) {
    case FileKind::kFolder:
      instead = "这是一个文件夹，不是普通文件";
      break;
    case FileKind::kDevice:
      instead = "这是一个设备，不是普通文件";
      break;
    case FileKind::kPipe:
      instead = "这是一个管道（FIFO），不是普通文件";
      break;
    case FileKind::kSocket:
      instead = "这是一个套接字，不是普通文件";
      break;
    case FileKind::kNone:
    case FileKind::kRegular:
    case FileKind::kOther:
      break;
  }
  throw NotARegularFile(std::string(what) + " \"" + path + "\"：" + instead);
}

void ThrowFileError(const char* what, const std::string& path, int error) {
  throw FileError(std::string(what) + " \"" + path + "\"：" +
                  FileErrorReason(error != 0 ? error : EIO));
}

std::string ReadFileBytes(const std::string& path) {
  FileHandle file = OpenForReading(path);
  // A file too large is refused by its size, before its bytes are read.
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(path, sizeError);
  if (!sizeError && size > kMaxFileBytes) throw OversizedInput(OversizedFileMessage(Quoted(path)));
  // A regular file is read straight into bytes of its size; what else comes
  // (from a file that grows, or one without a size, as a pipe) is appended.
  std::string bytes;
  if (!sizeError) {
    bytes.resize(static_cast<std::size_t>(size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  }
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (bytes.size() + got > kMaxFileBytes)
      throw OversizedInput(OversizedFileMessage(Quoted(path)));
    bytes.append(buffer, got);
  }
  if (std::ferror(file.get())) ThrowFileError("无法读取文件", path, errno);
  return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  ReplacingFile file(path);
  file.Write(bytes);
  file.Commit();
}

JobText ReadTextFile(const std::string& path) {
  return SplitFileLines(ReadFileBytes(path), path);
}

JobText SplitFileLines(std::string_view bytes, const std::string& path) {
  JobText lines = SplitTextLines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() > kMaxLineBytes) {
      throw OversizedInput(OverlongLineMessage(Quoted(path), i + 1));
    }
  }
  return lines;
}

CappedLines ReadCappedTextFile(const std::string& path, std::size_t headCount,
                               std::size_t tailCount) {
  FileHandle file = OpenForReading(path);
  LineReader reader(
      [&](char* buffer, std::size_t size) {
        const std::size_t got = std::fread(buffer, 1, size, file.get());
        if (got == 0 && std::ferror(file.get())) ThrowFileError("无法读取文件", path, errno);
        return got;
      },
      Quoted(path));
  return ReadCappedLines(reader, headCount, tailCount);
}

void WriteTextFile(const std::string& path, const JobText& lines) {
  WriteFileAtomically(path, JoinLinesCrLf(lines));
}

std::size_t CapLines(JobText& lines, std::size_t maxLines) {
  if (lines.size() <= maxLines) return 0;
  const std::size_t leftOut = lines.size() - maxLines;
  lines.resize(maxLines);
  return leftOut;
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

std::string TextFileBeside(std::string_view path) {
  const std::string extension = ExtensionOf(path);
  const char* text = extension == ".tsm" ? ".txt" : ".TXT";
  // A name that is a text file's already keeps its extension: ".TXT" follows.
  const bool textName =
      std::equal(extension.begin(), extension.end(), std::string_view(".TXT").begin(),
                 std::string_view(".TXT").end(),
                 [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; });
  if (textName) return std::string(path) + text;
  return std::string(path.substr(0, path.size() - extension.size())) + text;
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
