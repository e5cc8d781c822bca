// A serial device for one program alone, on POSIX: the other processes that
// have the device open (seen under /proc), and the UUCP lock file that serial
// programs leave in /var/lock while they use a device ("LCK..ttyUSB0",
// holding the user's PID). Part of the POSIX serial backend.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "comm/SerialDevice.h"

namespace lumaq::posix {

inline constexpr const char* kLockFolder = "/var/lock";

// The serial line of this system, keeping its UUCP lock files in lockFolder.
std::unique_ptr<SerialDevice> CreateSerialDevice(std::string lockFolder);

// A process for the user: "ModemManager（PID 812）", or "PID 812" when its
// name cannot be read.
std::string DescribeProcess(pid_t pid);

// Another process than this one that has the device of device open (the
// same character device, or the same file), described; nothing when none can
// be seen. Processes of other users are seen only where the system lets this
// one look into them (as root).
std::optional<std::string> OtherProcessHolding(const struct stat& device);

// The name of a device's lock file: "LCK..ttyS0" for /dev/ttyS0, after
// following links (so /dev/serial/by-id/... locks its real device); a device
// in a subfolder of /dev has its slashes as underscores ("LCK..pts_3"), one
// outside /dev its file name.
std::string LockFileName(const std::string& devicePath);

// The PID a lock file holds: ten ASCII digits with blanks and a line end
// around them, or four binary bytes; 0 when it holds none.
pid_t LockFilePid(std::string_view bytes);

// The lock file of a device while the port has it open; removed with the
// object when it still names this process.
class DeviceLockFile {
 public:
  DeviceLockFile() = default;
  ~DeviceLockFile();
  DeviceLockFile(DeviceLockFile&& other) noexcept;
  DeviceLockFile& operator=(DeviceLockFile&& other) noexcept;

  // Takes the lock of devicePath in folder. A lock file that names a live
  // process (this one included), or that cannot be read, refuses with
  // SerialError EBUSY naming the process; one that names a dead process or
  // none is stale and removed. Then a lock file naming this process is made.
  // Where none can be made (no such folder, no permission, a stale file that
  // cannot be removed) the port goes on without: empty Path().
  static DeviceLockFile Take(const std::string& devicePath, const std::string& folder);

  const std::string& Path() const { return path_; }

 private:
  explicit DeviceLockFile(std::string path) : path_(std::move(path)) {}
  void Release() noexcept;

  std::string path_;
};

}  // namespace lumaq::posix
