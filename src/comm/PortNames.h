// Serial port names. The program names its ports COM1 to COM16; on this
// system each name stands for a device file. The section [PortMap] of the
// settings file "Commpara" may map any COMn to a device path
// ("COM3=/dev/ttyUSB0"); without an entry COM1-COM4 are /dev/ttyS0-3,
// COM5-COM12 /dev/ttyUSB0-7 and COM13-COM16 /dev/ttyACM0-3.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaq {

// The ports are COM1 to COM16.
inline constexpr int kLastComPort = 16;

// "COM" and a number 1..16: a leading "COM" in any letter case is dropped and
// the rest read as a decimal number; anything else is COM1. So com12 is COM12,
// while COM0, COM17, LPT1, abc and an empty name are COM1.
std::string NormalizePortName(std::string_view name);

// Whether NormalizePortName keeps the name's number: "COM" in any letter case
// (or nothing) followed by a number 1..16.
bool IsComPortName(std::string_view name);

// The port the fixed rule gives a device path ("/dev/ttyUSB1" is COM6), if any.
std::optional<int> FixedPortNumber(std::string_view devicePath);

class ComPortMap {
 public:
  // Every port on its default device.
  ComPortMap() = default;
  // The [PortMap] entries of the settings file at path; a missing file or
  // section gives the defaults. Keys that are no port name COM1..COM16 and
  // empty values are ignored; of two entries for one port the first counts.
  // Raises FileError when the file cannot be read.
  static ComPortMap FromSettingsFile(const std::string& path);

  void Map(int number, std::string devicePath);
  // Whether [PortMap] leads the port elsewhere than the fixed rule.
  bool Maps(int number) const;
  // The device of a port name (normalised first).
  std::string DevicePath(std::string_view portName) const;
  std::string DevicePath(int number) const;

 private:
  std::array<std::string, kLastComPort + 1> mapped_;
};

// Adds "portName=devicePath" to [PortMap] of the settings file at path,
// leaving every other line as it is. Raises FileError.
void StorePortMapEntry(const std::string& path, const std::string& portName,
                       const std::string& devicePath);

// Appends, in COM order, the names of the ports whose device exists.
void EnumComPorts(std::vector<std::string>& list, const ComPortMap& map);

}  // namespace lumaq
