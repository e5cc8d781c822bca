// A receive journal's file on disk, held open and locked for one program: the
// file that a receive appends its accepted frames to, or a journal left
// behind by a run that ended without saving, taken over to be restored, set
// aside or removed. The lock is the system's advisory whole-file lock; it
// goes with the descriptor, so a program that dies (killed, crashed, power
// gone) holds nothing afterwards.
//
// The system calls live in the platform's file (journal_posix.cpp), which
// CMake picks.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "records/JobFiles.h"

namespace lumaq {

// There is already a file where a new journal should go.
class JournalExists : public FileError {
 public:
  JournalExists(const std::string& message, bool inUse) : FileError(message), inUse_(inUse) {}
  // A running program holds it (its receive is going on); otherwise it was
  // left behind.
  bool inUse() const { return inUse_; }

 private:
  bool inUse_;
};

class JournalFile {
 public:
  // Creates path, which must not exist, and locks it. Raises JournalExists
  // when something is there, FileError when it cannot be created.
  static JournalFile Create(const std::string& path);
  // Opens the existing journal at path and locks it; nothing when another
  // program holds it. Raises FileError when it cannot be opened.
  static std::optional<JournalFile> Claim(const std::string& path);
  // A lock file at path, made when missing and held by this program, as a
  // journal is held: another program that asks for it while this one runs
  // gets nothing, one that asks after this one died gets it. Remove it when
  // done. Raises FileError when it cannot be made.
  static std::optional<JournalFile> HoldLock(const std::string& path);
  // Whether a running program holds the journal at path (false when there is
  // no file).
  static bool InUse(const std::string& path);
  // When the file at path was last written: the time of its last frame.
  // Raises FileError.
  static std::chrono::system_clock::time_point LastWriteTime(const std::string& path);
  // A time as the local date and time "20240315-142502", for file names.
  static std::string DateStamp(std::chrono::system_clock::time_point time);

  JournalFile(JournalFile&& other) noexcept;
  JournalFile& operator=(JournalFile&& other) noexcept;
  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;
  // Closes the file, which stays, and so lets go of the lock.
  ~JournalFile();

  const std::string& Path() const { return path_; }

  // Writes bytes at the end of the file; when it returns they are the
  // system's (a killed process loses none of them). On failure the file is cut
  // back to what it held before, as far as the system lets it, and FileError
  // is raised. May run beside DataSync on another thread.
  void Append(std::string_view bytes);
  // Waits until what was appended is on the disk. Raises FileError.
  void DataSync();
  // Removes the file, still locked, then closes it. Raises FileError.
  void Remove();
  // Renames the file, still locked, to a name that no longer ends in
  // ".journal": its path followed by the local date and time of its last
  // frame ("X.journal.20240315-142502", "-2" and on when that is taken), then
  // closes it. Returns the new path. Raises FileError.
  std::string SetAside();

 private:
  JournalFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  void Close();

  int fd_ = -1;
  std::string path_;
  // What Append has made of the file, to cut it back to after a failure. Only
  // the program holding the lock writes to it.
  unsigned long long size_ = 0;
};

}  // namespace lumaq
