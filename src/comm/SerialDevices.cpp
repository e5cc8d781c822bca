#include "comm/SerialDevices.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <tuple>

namespace lumaq {
namespace {

constexpr std::string_view kByIdFolder = "/dev/serial/by-id/";
constexpr std::string_view kBluetoothPrefix = "rfcomm";
constexpr const char* kNoUart = "0";

bool IsSerialPort(const TtyDevice& device) {
  if (device.node.empty()) return false;
  if (device.name.starts_with(kBluetoothPrefix)) return true;
  return device.hasHardware && device.uartType != kNoUart;
}

std::string Property(const TtyDevice& device, const std::string& key) {
  const auto found = device.properties.find(key);
  return found == device.properties.end() ? std::string() : found->second;
}

// The database's "\x20"-escaped form of a string the hardware gave, as it
// was, without the blanks it was padded with.
std::string Unescaped(std::string_view encoded) {
  std::string text;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    unsigned value = 0;
    if (encoded.substr(i, 2) == "\\x" && i + 4 <= encoded.size()) {
      const char* digits = encoded.data() + i + 2;
      const auto [end, error] = std::from_chars(digits, digits + 2, value, 16);
      if (error == std::errc() && end == digits + 2) {
        text += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    text += encoded[i];
  }
  const auto last = text.find_last_not_of(' ');
  text.erase(last == std::string::npos ? 0 : last + 1);
  return text;
}

// The name the hardware database gives, else the one the hardware gives.
std::string Named(const TtyDevice& device, const std::string& what) {
  std::string name = Property(device, "ID_" + what + "_FROM_DATABASE");
  if (name.empty()) name = Unescaped(Property(device, "ID_" + what + "_ENC"));
  if (name.empty()) name = Property(device, "ID_" + what);
  return name;
}

std::string Describe(const TtyDevice& device) {
  std::string text = Named(device, "VENDOR");
  const std::string model = Named(device, "MODEL");
  if (!text.empty() && !model.empty()) text += ' ';
  text += model;
  if (text.empty()) text = device.name.starts_with(kBluetoothPrefix) ? "蓝牙串口" : "串口";
  if (const std::string serial = Property(device, "ID_SERIAL_SHORT"); !serial.empty()) {
    text += "，序列号 " + serial;
  }
  std::string driver = Property(device, "ID_USB_DRIVER");
  if (driver.empty()) driver = device.driver;
  if (!driver.empty()) text += "，驱动 " + driver;
  return text;
}

std::string StableName(const TtyDevice& device) {
  for (const std::string& link : device.links) {
    if (link.starts_with(kByIdFolder)) return link;
  }
  return device.node;
}

// "ttyS10" as ("ttyS", 10, ""), so that it sorts after ttyS2.
std::tuple<std::string_view, int, std::string_view> NaturalKey(std::string_view name) {
  const std::size_t digits = name.find_first_of("0123456789");
  if (digits == std::string_view::npos) return {name, -1, {}};
  int number = 0;
  const auto [end, error] =
      std::from_chars(name.data() + digits, name.data() + name.size(), number);
  if (error != std::errc()) return {name, -1, {}};
  return {name.substr(0, digits), number, name.substr(static_cast<std::size_t>(end - name.data()))};
}

}  // namespace

std::vector<SerialDeviceInfo> SerialDevicesIn(const std::vector<TtyDevice>& devices) {
  std::vector<SerialDeviceInfo> ports;
  for (const TtyDevice& device : devices) {
    if (!IsSerialPort(device)) continue;
    ports.push_back({device.node, device.links, StableName(device), Describe(device)});
  }
  std::sort(ports.begin(), ports.end(), [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) {
    return NaturalKey(a.node) < NaturalKey(b.node);
  });
  return ports;
}

}  // namespace lumaq
