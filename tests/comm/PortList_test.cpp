// The port list: which devices of the device database are serial ports, what
// each is for a person, and the COM name each gets from [PortMap], the fixed
// rule or, for the rest, the names left.
#include "comm/PortList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "comm/SerialDevices.h"
#include "support/FakeDeviceDatabase.h"
#include "support/PseudoTerminal.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::Ch340;
using test::Uart;
using test::UsbSerial;
using test::VirtualTerminal;

TEST(SerialDevicesIn, KeepsThePortsInNameOrderAndSaysWhatEachIs) {
  const std::vector<std::string> ch340Links = {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0",
                                               "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0"};
  const std::vector<TtyDevice> devices = {
      VirtualTerminal("tty1"),
      Uart("ttyS10", "4"),
      Uart("ttyS1", "0"),  // no UART answers at the port
      Uart("ttyS2", "4"),
      Ch340("ttyUSB0", ch340Links),
      UsbSerial("ttyACM0", {{"ID_VENDOR_ENC", "Example\\x20Survey\\x20\\x20"},
                            {"ID_VENDOR", "Example_Survey"},
                            {"ID_MODEL", "Field_Link"},
                            {"ID_SERIAL_SHORT", "A9X2"},
                            {"ID_USB_DRIVER", "cdc_acm"}}),
      {"rfcomm0", "/dev/rfcomm0", {}, false, "", "", {}},  // Bluetooth: virtual, yet a port
      {"ttyUSB1", "", {}, true, "", "", {}},               // no device file
  };
  const std::vector<SerialDeviceInfo> expected = {
      {"/dev/rfcomm0", {}, "/dev/rfcomm0", "蓝牙串口"},
      {"/dev/ttyACM0", {}, "/dev/ttyACM0", "Example Survey Field_Link，序列号 A9X2，驱动 cdc_acm"},
      {"/dev/ttyS2", {}, "/dev/ttyS2", "串口，驱动 serial8250"},
      {"/dev/ttyS10", {}, "/dev/ttyS10", "串口，驱动 serial8250"},
      {"/dev/ttyUSB0", ch340Links, ch340Links[1],
       "QinHeng Electronics CH340 serial converter，驱动 ch341"},
  };
  EXPECT_EQ(SerialDevicesIn(devices), expected);
}

struct PortListCase {
  const char* label;
  std::vector<SerialDeviceInfo> devices;
  std::vector<std::pair<int, std::string>> portMap;
  std::string storedPort;
  std::vector<PortEntry> present;
  std::vector<PortEntry> absent;
};

void ExpectPortLists(const std::vector<PortListCase>& cases) {
  for (const PortListCase& c : cases) {
    SCOPED_TRACE(c.label);
    ComPortMap map;
    for (const auto& [number, device] : c.portMap) map.Map(number, device);
    const PortList list = ListPorts(c.devices, map, c.storedPort);
    EXPECT_EQ(list.present, c.present);
    EXPECT_EQ(list.absent, c.absent);
  }
}

TEST(ListPorts, NamesByPortMapThenByTheFixedRuleThenWithTheNamesLeft) {
  const SerialDeviceInfo s0{"/dev/ttyS0", {}, "/dev/ttyS0", "串口"};
  const SerialDeviceInfo ama0{"/dev/ttyAMA0", {}, "/dev/ttyAMA0", "Board UART"};
  const SerialDeviceInfo acm1{"/dev/ttyACM1", {}, "/dev/ttyACM1", "Modem"};
  const std::string idA = "/dev/serial/by-id/usb-A";
  const std::string idB = "/dev/serial/by-id/usb-B";
  const SerialDeviceInfo usb0{"/dev/ttyUSB0", {idA}, idA, "Adapter A"};
  const SerialDeviceInfo usb9{"/dev/ttyUSB9", {idB}, idB, "Adapter B"};  // beyond the rule
  std::vector<PortListCase> cases = {
      {"the fixed rule",
       {s0, usb0, acm1},
       {},
       "COM1",
       {{"COM1", "/dev/ttyS0", "串口", true, {}},
        {"COM5", "/dev/ttyUSB0", "Adapter A", true, {}},
        {"COM14", "/dev/ttyACM1", "Modem", true, {}}},
       {}},
      {"the stored port without its device",
       {usb0},
       {},
       "com2",
       {{"COM5", "/dev/ttyUSB0", "Adapter A", true, {}}},
       {{"COM2", "/dev/ttyS1", "未连接", false, {}}}},
      {"[PortMap] finds an adapter by its stable name",
       {usb0, usb9},
       {{3, idB}},
       "COM3",
       {{"COM3", "/dev/ttyUSB9", "Adapter B", true, {}},
        {"COM5", "/dev/ttyUSB0", "Adapter A", true, {}}},
       {}},
      {"[PortMap] leads the rule's name elsewhere",
       {usb0},
       {{5, "/nonexistent/tty"}},
       "COM1",
       {{"COM2", "/dev/ttyUSB0", "Adapter A", true, idA}},
       {{"COM1", "/dev/ttyS0", "未连接", false, {}},
        {"COM5", "/nonexistent/tty", "未连接", false, {}}}},
      {"new devices take the lowest names nothing else has",
       {s0, ama0, usb9},
       {{2, "/nonexistent/tty"}},
       "COM3",
       {{"COM1", "/dev/ttyS0", "串口", true, {}},
        {"COM4", "/dev/ttyAMA0", "Board UART", true, "/dev/ttyAMA0"},
        {"COM5", "/dev/ttyUSB9", "Adapter B", true, idB}},
       {{"COM2", "/nonexistent/tty", "未连接", false, {}},
        {"COM3", "/dev/ttyS2", "未连接", false, {}}}},
  };
  PortListCase full{
      "no name left", {usb0}, {}, "", {{"", "/dev/ttyUSB0", "Adapter A", true, {}}}, {}};
  for (int number = 1; number <= 16; ++number) {
    const std::string gone = "/nonexistent/tty" + std::to_string(number);
    full.portMap.push_back({number, gone});
    full.absent.push_back({"COM" + std::to_string(number), gone, "未连接", false, {}});
  }
  cases.push_back(full);
  ExpectPortLists(cases);
}

TEST(ListPorts, PortMapLeadsToPseudoTerminalsFilesAndLinks) {
  test::PseudoTerminal pty;
  test::PseudoTerminal adapter;  // the database's device, reached by a link of the user's
  test::TempDir dir;
  const std::string file = dir.Write("port-file", "");
  const std::string ptyLink = dir.Path("pty-link");
  const std::string adapterLink = dir.Path("adapter-link");
  std::filesystem::create_symlink(pty.Path(), ptyLink);
  std::filesystem::create_symlink(adapter.Path(), adapterLink);
  const SerialDeviceInfo known{adapter.Path(), {}, adapter.Path(), "Adapter P"};
  ExpectPortLists({
      {"each mapped file that is there is a port",
       {known},
       {{2, adapterLink}, {3, pty.Path()}, {4, ptyLink}, {6, file}, {7, dir.Path("gone")}},
       "COM3",
       {{"COM2", adapter.Path(), "Adapter P", true, {}},
        {"COM3", pty.Path(), "伪终端", true, {}},
        {"COM4", ptyLink, "伪终端", true, {}},
        {"COM6", file, "", true, {}}},
       {{"COM7", dir.Path("gone"), "未连接", false, {}}}},
  });
}

TEST(PortItemText, NameWhatItIsAndTheDevice) {
  const std::pair<PortEntry, std::string> cases[] = {
      {{"COM5", "/dev/ttyUSB0", "QinHeng CH340", true, {}}, "COM5  QinHeng CH340 (/dev/ttyUSB0)"},
      {{"COM6", "/tmp/port-file", "", true, {}}, "COM6  (/tmp/port-file)"},
      {{"COM7", "/dev/serial/by-id/usb-A", "未连接", false, {}},
       "COM7  未连接 (/dev/serial/by-id/usb-A)"},
      {{"", "/dev/ttyUSB9", "Adapter B", true, {}}, "--  Adapter B (/dev/ttyUSB9)"},
  };
  for (const auto& [entry, text] : cases) EXPECT_EQ(PortItemText(entry), text);
}

}  // namespace
}  // namespace lumaq
