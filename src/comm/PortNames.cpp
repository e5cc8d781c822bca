#include "comm/PortNames.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>

#include "comm/IniFile.h"

namespace lumaq {
namespace {

constexpr int kFirstComPort = 1;
constexpr const char* kPortMapSection = "PortMap";

bool StartsWithCom(std::string_view name) {
  if (name.size() < 3) return false;
  const auto lower = [](char c) { return static_cast<char>(c | 0x20); };
  return lower(name[0]) == 'c' && lower(name[1]) == 'o' && lower(name[2]) == 'm';
}

std::optional<int> DecimalNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

// The number of a name that really is COM1..COM16, as [PortMap] keys must be.
std::optional<int> StrictPortNumber(std::string_view name) {
  if (!StartsWithCom(name)) return std::nullopt;
  const auto number = DecimalNumber(name.substr(3));
  if (!number || *number < kFirstComPort || *number > kLastComPort) return std::nullopt;
  return number;
}

// The number of a name as NormalizePortName reads it, when it is one of
// COM1..COM16.
std::optional<int> ReadPortNumber(std::string_view name) {
  if (StartsWithCom(name)) name.remove_prefix(3);
  const auto number = DecimalNumber(name);
  if (!number || *number < kFirstComPort || *number > kLastComPort) return std::nullopt;
  return number;
}

int ComPortNumber(std::string_view name) {
  return ReadPortNumber(name).value_or(kFirstComPort);
}

// The device of a port number without a [PortMap] entry.
std::string DefaultDevicePath(int number) {
  if (number < kFirstComPort || number > kLastComPort) number = kFirstComPort;
  if (number <= 4) return "/dev/ttyS" + std::to_string(number - 1);
  if (number <= 12) return "/dev/ttyUSB" + std::to_string(number - 5);
  return "/dev/ttyACM" + std::to_string(number - 13);
}

}  // namespace

std::optional<int> FixedPortNumber(std::string_view devicePath) {
  for (int number = kFirstComPort; number <= kLastComPort; ++number) {
    if (devicePath == DefaultDevicePath(number)) return number;
  }
  return std::nullopt;
}

bool IsComPortName(std::string_view name) {
  return ReadPortNumber(name).has_value();
}

std::string NormalizePortName(std::string_view name) {
  return "COM" + std::to_string(ComPortNumber(name));
}

ComPortMap ComPortMap::FromSettingsFile(const std::string& path) {
  ComPortMap map;
  for (const auto& [key, value] : IniFile::Load(path).ReadSection(kPortMapSection)) {
    const auto number = StrictPortNumber(key);
    // As with any key, the first entry of a port counts (COM3 and COM03 alike).
    if (number && !value.empty() && map.mapped_[static_cast<std::size_t>(*number)].empty()) {
      map.Map(*number, value);
    }
  }
  return map;
}

void ComPortMap::Map(int number, std::string devicePath) {
  if (number < kFirstComPort || number > kLastComPort) return;
  mapped_[static_cast<std::size_t>(number)] = std::move(devicePath);
}

bool ComPortMap::Maps(int number) const {
  return number >= kFirstComPort && number <= kLastComPort &&
         !mapped_[static_cast<std::size_t>(number)].empty();
}

std::string ComPortMap::DevicePath(std::string_view portName) const {
  return DevicePath(ComPortNumber(portName));
}

std::string ComPortMap::DevicePath(int number) const {
  if (number < kFirstComPort || number > kLastComPort) number = kFirstComPort;
  const std::string& mapped = mapped_[static_cast<std::size_t>(number)];
  return mapped.empty() ? DefaultDevicePath(number) : mapped;
}

void StorePortMapEntry(const std::string& path, const std::string& portName,
                       const std::string& devicePath) {
  WriteProfileString(path, kPortMapSection, portName, devicePath);
}

void EnumComPorts(std::vector<std::string>& list, const ComPortMap& map) {
  for (int number = kFirstComPort; number <= kLastComPort; ++number) {
    std::error_code ignored;
    if (std::filesystem::exists(map.DevicePath(number), ignored)) {
      list.push_back("COM" + std::to_string(number));
    }
  }
}

}  // namespace lumaq
