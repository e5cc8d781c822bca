// Reading and writing job files. Files are bytes: nothing is re-encoded.
#pragma once

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "records/FileAccess.h"
#include "records/LineReader.h"
#include "records/TextLines.h"

namespace lumaq {

// A file that cannot be read or written; the message names the file and gives
// the system's reason.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Something that is not a regular file (a folder, a device, a FIFO, a
// socket) where a file is to be read or replaced: refused, and left as it is.
class NotARegularFile : public FileError {
 public:
  using FileError::FileError;
};

// Raises NotARegularFile: what failed ("无法写入文件"), the file, and what it
// is instead.
[[noreturn]] void ThrowNotARegularFile(const char* what, const std::string& path, FileKind kind);

// Raises FileError: what failed ("无法写入文件"), the file, and the system's
// reason for errno value error (EIO when it is 0), in the program's words for
// the common reasons (a missing file, no permission, a full disk, a read-only
// file system, a name too long, a folder).
[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int error);

// The system's reason for errno value error as the program words it.
std::string FileErrorReason(int error);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The regular file at path (or a link to one), open for reading. Anything
// else is refused with NotARegularFile and never waited on (a FIFO would
// hang an open); a file that cannot be opened raises FileError.
FileHandle OpenForReading(const std::string& path);

// The whole file. Raises FileError, NotARegularFile for what is no regular
// file (a FIFO or a device is never waited on), and OversizedInput for a file
// of more than kMaxFileBytes (refused by its size before reading).
std::string ReadFileBytes(const std::string& path);

// Replaces path with bytes as a whole: the bytes go to a temporary file in the
// same folder, which is renamed over path only once completely written. On any
// failure the temporary file is removed, path is left as it was and FileError
// is raised.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The lines of a file (OversizedInput for a line over kMaxLineBytes).
JobText ReadTextFile(const std::string& path);
// The lines of a file's bytes, with the same check; path names the file.
JobText SplitFileLines(std::string_view bytes, const std::string& path);
void WriteTextFile(const std::string& path, const JobText& lines);

// Keeps the first maxLines lines; returns how many were left out.
std::size_t CapLines(JobText& lines, std::size_t maxLines);

// The file name with its extension, without its folder.
std::string FileNameOf(std::string_view path);
// The extension with its dot (".BDT"), or empty.
std::string ExtensionOf(std::string_view path);

// The text file beside a measurement data file: path with the extension
// ".TXT" (".txt" for ".tsm") in place of its own, or added to a name
// without one or with ".TXT" in any letter case.
std::string TextFileBeside(std::string_view path);

// Open treats exactly ".BDT" and ".bdt" as record files, ".TSM" and ".tsm" as
// raw measurement files; other letter cases are text.
bool IsBdtExtension(std::string_view path);
bool IsUpperBdtExtension(std::string_view path);
bool IsTsmExtension(std::string_view path);

// A raw measurement file is accepted when its size is a multiple of 42 and its
// first record has the type byte 0x81. An empty file is accepted.
bool IsAcceptedTsm(std::string_view bytes);

}  // namespace lumaq
