// The port is opened for this program alone: a device that another process
// has open or another program's lock file names is refused, and the port
// leaves its own lock file while it has the device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "comm/ComPort.h"
#include "comm/ComTransferPort.h"
#include "comm/serial_posix_owner.h"
#include "records/JobFiles.h"
#include "support/DeviceHolder.h"
#include "support/PseudoTerminal.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;

std::string AsciiPid(pid_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
  return text;
}

// ComPort1 as designed on the pseudo-terminal, keeping its lock files in
// lockFolder.
struct Port {
  test::PseudoTerminal pty;
  LoopDispatcher loop;
  TComPort port;
  explicit Port(const std::string& lockFolder) : port(loop, posix::CreateSerialDevice(lockFolder)) {
    ApplyComPort1Design(port);
    port.SetDevicePath(pty.Path());
  }
  // The EComPort that Open raises; a port that opens fails the test.
  EComPort OpenFailure() {
    try {
      port.Open();
    } catch (const EComPort& error) {
      return error;
    }
    ADD_FAILURE() << "the port opened";
    return EComPort(0);
  }
};

TEST(ComPortExclusive, ADeviceAnotherProcessHasOpenIsRefusedNamingIt) {
  test::TempDir dir;
  Port p(dir.Folder());
  {
    test::DeviceHolder holder(p.pty.Path(), dir.Path("holder.err"));
    ASSERT_TRUE(holder.Ready());
    const EComPort error = p.OpenFailure();
    EXPECT_EQ(error.Code(), EComPort::kOpenFailed);
    EXPECT_EQ(error.WinCode(), EBUSY);
    EXPECT_EQ(error.Holder(), holder.Description());
    EXPECT_EQ(std::string(error.what()), "无法打开串口（EBUSY）");
    EXPECT_EQ(PortOpenFailureDetail(p.port, error),
              "\"" + p.pty.Path() + "\"：串口正被另一程序使用（EBUSY）。请先关闭占用该串口的程序 " +
                  holder.Description());
    EXPECT_FALSE(p.port.Connected());
    EXPECT_FALSE(std::filesystem::exists(dir.Path(posix::LockFileName(p.pty.Path()))));
  }
  p.port.Open();
  EXPECT_TRUE(p.port.Connected()) << "free again once the other program has gone";
}

TEST(ComPortExclusive, ALiveProgramsLockFileRefusesAndAStaleOneIsReplaced) {
  test::TempDir dir;
  Port p(dir.Folder());
  const std::string lockName = posix::LockFileName(p.pty.Path());
  {
    // The lock of a program that is running but does not hold the device
    // open at this moment.
    const test::DeviceHolder other("/dev/null", dir.Path("sleep.err"));
    ASSERT_TRUE(other.Ready());
    dir.Write(lockName, AsciiPid(other.Pid()));
    const EComPort error = p.OpenFailure();
    EXPECT_EQ(error.WinCode(), EBUSY);
    EXPECT_EQ(error.Holder(), other.Description());
    EXPECT_FALSE(p.port.Connected());
    EXPECT_EQ(ReadFileBytes(dir.Path(lockName)), AsciiPid(other.Pid()));
  }
  // The program has ended (the object killed it): its lock is stale.
  p.port.Open();
  EXPECT_TRUE(p.port.Connected());
  EXPECT_EQ(ReadFileBytes(dir.Path(lockName)), AsciiPid(::getpid()));
  p.port.Close();
  EXPECT_FALSE(std::filesystem::exists(dir.Path(lockName))) << "ours goes with the port";
}

TEST(ComPortExclusive, ThePortLocksInTheSystemsLockFolder) {
  if (::access(posix::kLockFolder, W_OK | X_OK) != 0) {
    GTEST_SKIP() << posix::kLockFolder << " cannot be written: the port goes on without a lock";
  }
  test::PseudoTerminal pty;
  LoopDispatcher loop;
  TComPort port(loop);
  port.SetDevicePath(pty.Path());
  const std::string lock = std::string(posix::kLockFolder) + "/" + posix::LockFileName(pty.Path());
  port.Open();
  EXPECT_EQ(ReadFileBytes(lock), AsciiPid(::getpid()));
  port.Close();
  EXPECT_FALSE(std::filesystem::exists(lock));
}

// Many a program holds /dev/null, and none of them a serial line: what is no
// terminal is refused as no serial port, never as one in use.
TEST(ComPortExclusive, WhatIsNoSerialLineIsRefusedAsSuchNotAsHeld) {
  test::TempDir dir;
  const test::DeviceHolder holder("/dev/null", dir.Path("holder.err"));
  ASSERT_TRUE(holder.Ready());
  std::filesystem::create_directory(dir.Path("folder"));
  for (const std::string& path :
       {std::string("/dev/null"), dir.Write("file", ""), dir.Path("folder")}) {
    SCOPED_TRACE(path);
    LoopDispatcher loop;
    TComPort port(loop, posix::CreateSerialDevice(dir.Folder()));
    port.SetDevicePath(path);
    try {
      port.Open();
      ADD_FAILURE() << "the port opened";
    } catch (const EComPort& error) {
      EXPECT_EQ(error.WinCode(), ENOTTY);
      EXPECT_EQ(PortOpenFailureDetail(port, error),
                "\"" + path + "\"：这不是串口（ENOTTY）。请在通讯设置中选择串口");
    }
  }
}

}  // namespace
}  // namespace lumaq
