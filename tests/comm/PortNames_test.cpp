#include "comm/PortNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace lumaq {
namespace {

TEST(NormalizePortName, KeepsComOneToSixteenAndMakesAllElseCom1) {
  struct Case {
    const char* name;
    const char* normalized;
    bool isPortName;  // the number is kept, not replaced by COM1
  } cases[] = {
      {"COM3", "COM3", true},
      {"com12", "COM12", true},
      {"Com16", "COM16", true},
      {"COM0", "COM1", false},
      {"COM17", "COM1", false},
      {"abc", "COM1", false},
      {"", "COM1", false},
      {"LPT1", "COM1", false},
      {"7", "COM7", true},
      {"COM", "COM1", false},
      {"COM3:", "COM1", false},
      {"COM-2", "COM1", false},
      {"COM99999999999", "COM1", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalizePortName(c.name), c.normalized) << '"' << c.name << '"';
    EXPECT_EQ(IsComPortName(c.name), c.isPortName) << '"' << c.name << '"';
  }
}

TEST(ComPortMap, DefaultDevicesByRange) {
  const std::pair<int, const char*> cases[] = {
      {1, "/dev/ttyS0"},    {4, "/dev/ttyS3"},    {5, "/dev/ttyUSB0"},
      {12, "/dev/ttyUSB7"}, {13, "/dev/ttyACM0"}, {16, "/dev/ttyACM3"},
  };
  const ComPortMap map;
  for (const auto& [number, device] : cases) {
    EXPECT_EQ(map.DevicePath(number), device) << number;
    EXPECT_EQ(map.DevicePath("COM" + std::to_string(number)), device) << number;
  }
  EXPECT_EQ(map.DevicePath("COM17"), "/dev/ttyS0");
}

TEST(ComPortMap, SectionOfTheSettingsFileOverridesSomePorts) {
  test::TempDir dir;
  const std::string file = dir.Write("Commpara",
                                     "[ComPort1]\r\nPort=COM3\r\n"
                                     "[portmap]\r\n"
                                     "com3 = /dev/ttyUSB0\r\n"
                                     "COM5=/dev/serial/by-id/usb-adapter\r\n"
                                     "COM6=\r\n"
                                     "COM17=/dev/ttyS9\r\n"
                                     "LPT1=/dev/lp0\r\n"
                                     "COM03=/dev/ttyS8\r\n");
  const ComPortMap map = ComPortMap::FromSettingsFile(file);
  EXPECT_EQ(map.DevicePath("COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(map.DevicePath("COM5"), "/dev/serial/by-id/usb-adapter");
  EXPECT_EQ(map.DevicePath("COM6"), "/dev/ttyUSB1") << "an empty entry keeps the default";
  EXPECT_EQ(map.DevicePath("COM1"), "/dev/ttyS0") << "COM17 and LPT1 are no port names";
  EXPECT_EQ(map.DevicePath("COM3"), "/dev/ttyUSB0") << "the first entry of a port counts";
  EXPECT_EQ(ComPortMap::FromSettingsFile(dir.Path("none")).DevicePath("COM3"), "/dev/ttyS2");
}

TEST(EnumComPorts, ListsInComOrderThePortsWhoseDeviceExists) {
  test::TempDir dir;
  ComPortMap map;
  for (int number = 1; number <= 16; ++number) {
    map.Map(number, dir.Path("tty" + std::to_string(number)));
  }
  dir.Write("tty12", "");
  dir.Write("tty2", "");
  dir.Write("tty16", "");
  std::vector<std::string> list{"kept"};
  EnumComPorts(list, map);
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "COM2", "COM12", "COM16"}));
}

}  // namespace
}  // namespace lumaq
