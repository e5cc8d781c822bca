// Who else uses a serial device: the processes that have it open and the UUCP
// lock files of serial programs.
#include "comm/serial_posix_owner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "records/JobFiles.h"
#include "support/ChildProcess.h"
#include "support/DeviceHolder.h"
#include "support/PseudoTerminal.h"
#include "support/TempDir.h"

namespace lumaq::posix {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

std::string AsciiPid(pid_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
  return text;
}

std::string BinaryPid(std::int32_t pid) {
  return std::string(reinterpret_cast<const char*>(&pid), 4);
}

// A PID no process has any more: a child that has ended.
pid_t DeadPid(const TempDir& dir) {
  test::ChildProcess done("/bin/true", {}, dir.Path("true.err"));
  EXPECT_EQ(done.WaitForExit(10s), 0);
  return done.Pid();
}

struct stat StatOf(const std::string& path) {
  struct stat device {};
  EXPECT_EQ(::stat(path.c_str(), &device), 0) << path;
  return device;
}

TEST(LockFileName, TheDeviceBelowDevWithItsSlashesAsUnderscores) {
  TempDir dir;
  std::filesystem::create_symlink("/dev/null", dir.Path("by-id-link"));
  dir.Write("ttyFake", "");
  struct Case {
    std::string device;
    std::string expected;
  } cases[] = {
      {"/dev/ttyS0", "LCK..ttyS0"},
      {"/dev/pts/7", "LCK..pts_7"},
      {"/dev/serial/by-id/usb-X-port0", "LCK..serial_by-id_usb-X-port0"},  // no such link here
      {dir.Path("by-id-link"), "LCK..null"},                               // followed
      {dir.Path("ttyFake"), "LCK..ttyFake"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    EXPECT_EQ(LockFileName(c.device), c.expected);
  }
}

TEST(LockFilePid, TenAsciiDigitsOrFourBinaryBytes) {
  struct Case {
    const char* label;
    std::string bytes;
    pid_t expected;
  } cases[] = {
      {"ASCII, as written", "      4711\n", 4711},
      {"ASCII without blanks or line end", "4711", 4711},
      {"four ASCII bytes", "471\n", 471},
      {"binary", BinaryPid(4711), 4711},
      {"binary zero", BinaryPid(0), 0},
      {"binary negative", BinaryPid(-5), 0},
      {"empty", "", 0},
      {"blanks", "   \n", 0},
      {"text after the digits", "  4711 x\n", 0},
      {"no number", "locked\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(LockFilePid(c.bytes), c.expected);
  }
}

TEST(DeviceLockFile, IsMadeWithOurPidAndRemovedWithTheObject) {
  TempDir locks;
  const std::string file = locks.Path("LCK..ttyS0");
  {
    DeviceLockFile lock = DeviceLockFile::Take("/dev/ttyS0", locks.Folder());
    EXPECT_EQ(lock.Path(), file);
    EXPECT_EQ(ReadFileBytes(file), AsciiPid(::getpid()));
    DeviceLockFile moved = std::move(lock);
    EXPECT_TRUE(std::filesystem::exists(file)) << "moving keeps the lock";
  }
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(locks.Folder()), {}), 0)
      << "nothing else is left in the folder";
}

TEST(DeviceLockFile, ALockOfALiveProcessRefusesNamingIt) {
  TempDir locks;
  // A running program ("sleep", holding some other device).
  const test::DeviceHolder other("/dev/null", locks.Path("sleep.err"));
  ASSERT_TRUE(other.Ready());
  const std::string file = locks.Path(LockFileName("/dev/ttyUSB0"));
  for (const std::string& bytes : {AsciiPid(other.Pid()), BinaryPid(other.Pid())}) {
    locks.Write(LockFileName("/dev/ttyUSB0"), bytes);
    try {
      DeviceLockFile::Take("/dev/ttyUSB0", locks.Folder());
      FAIL() << "took a lock a live process holds";
    } catch (const SerialError& error) {
      EXPECT_EQ(error.Code(), EBUSY);
      EXPECT_EQ(error.Holder(), other.Description());
    }
    EXPECT_EQ(ReadFileBytes(file), bytes) << "another program's lock stays";
  }
}

TEST(DeviceLockFile, AStaleLockIsReplacedByOurs) {
  TempDir locks;
  const std::string file = locks.Path("LCK..ttyACM0");
  for (const std::string& stale : {AsciiPid(DeadPid(locks)), BinaryPid(DeadPid(locks)),
                                   std::string("garbage\n"), std::string()}) {
    locks.Write("LCK..ttyACM0", stale);
    const DeviceLockFile lock = DeviceLockFile::Take("/dev/ttyACM0", locks.Folder());
    EXPECT_EQ(ReadFileBytes(file), AsciiPid(::getpid()));
  }
}

TEST(DeviceLockFile, ALockThatIsNoLongerOursStaysWhenReleased) {
  TempDir locks;
  const std::string file = locks.Path("LCK..ttyS1");
  {
    const DeviceLockFile lock = DeviceLockFile::Take("/dev/ttyS1", locks.Folder());
    locks.Write("LCK..ttyS1", AsciiPid(1));
  }
  EXPECT_EQ(ReadFileBytes(file), AsciiPid(1));
}

TEST(DeviceLockFile, WithoutALockFolderThePortGoesOnWithout) {
  TempDir locks;
  const DeviceLockFile lock = DeviceLockFile::Take("/dev/ttyS0", locks.Path("missing"));
  EXPECT_EQ(lock.Path(), "");
}

TEST(OtherProcessHolding, NamesAnotherProcessButNotThisOne) {
  TempDir dir;
  test::PseudoTerminal pty;
  const struct stat device = StatOf(pty.Path());
  EXPECT_EQ(OtherProcessHolding(device), std::nullopt) << "nobody has it open";

  const int own = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(own, 0);
  EXPECT_EQ(OtherProcessHolding(device), std::nullopt) << "this process is no other";
  ::close(own);

  test::DeviceHolder holder(pty.Path(), dir.Path("holder.err"));
  ASSERT_TRUE(holder.Ready());
  EXPECT_EQ(OtherProcessHolding(device), holder.Description());

  dir.Write("plain-file", "");
  EXPECT_EQ(OtherProcessHolding(StatOf(dir.Path("plain-file"))), std::nullopt);
}

}  // namespace
}  // namespace lumaq::posix
