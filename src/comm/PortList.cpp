#include "comm/PortList.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace lumaq {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAbsentText = "未连接";
constexpr const char* kPseudoTerminalText = "伪终端";

std::string ComName(int number) {
  return "COM" + std::to_string(number);
}

// The device file path leads to, after its links.
std::optional<std::string> RealPath(const std::string& path) {
  std::error_code error;
  const fs::path real = fs::canonical(path, error);
  if (error) return std::nullopt;
  return real.string();
}

// Whether a [PortMap] entry, mapped, whose file is real, leads to device.
bool Leads(const std::string& mapped, const std::optional<std::string>& real,
           const SerialDeviceInfo& device) {
  return mapped == device.node || real == device.node ||
         std::find(device.links.begin(), device.links.end(), mapped) != device.links.end();
}

// A [PortMap] entry whose device the database does not know.
PortEntry UnknownDevice(int number, const std::string& mapped,
                        const std::optional<std::string>& real) {
  if (!real) return {ComName(number), mapped, kAbsentText, false, {}};
  const bool pseudoTerminal = real->starts_with("/dev/pts/");
  return {ComName(number), mapped, pseudoTerminal ? kPseudoTerminalText : "", true, {}};
}

// The number of a port name made here ("COM5" is 5); a device without a
// name comes after all.
std::size_t PortNumber(const std::string& comName) {
  return comName.empty() ? kLastComPort + 1 : std::stoul(comName.substr(3));
}

// Names the devices in three rounds: by [PortMap], by the fixed rule, then
// with the names left.
class Naming {
 public:
  Naming(const std::vector<SerialDeviceInfo>& devices, const ComPortMap& map)
      : devices_(devices), map_(map), placed_(devices.size(), false) {}

  void Reserve(std::size_t number) { taken_[number] = true; }

  void NameByMap() {
    for (int number = 1; number <= kLastComPort; ++number) {
      if (!map_.Maps(number)) continue;
      Reserve(static_cast<std::size_t>(number));
      const std::string mapped = map_.DevicePath(number);
      const std::optional<std::string> real = RealPath(mapped);
      const auto device = std::find_if(devices_.begin(), devices_.end(),
                                       [&](const auto& d) { return Leads(mapped, real, d); });
      if (device == devices_.end()) {
        PortEntry entry = UnknownDevice(number, mapped, real);
        (entry.present ? list_.present : list_.absent).push_back(std::move(entry));
      } else {
        Place(static_cast<std::size_t>(device - devices_.begin()), number);
      }
    }
  }

  void NameByFixedRule() {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
      const std::optional<int> number = FixedPortNumber(devices_[i].node);
      if (placed_[i] || !number || map_.Maps(*number)) continue;
      Reserve(static_cast<std::size_t>(*number));
      Place(i, *number);
    }
  }

  void NameTheRest() {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
      if (placed_[i]) continue;
      const auto free = std::find(taken_.begin() + 1, taken_.end(), false);
      PortEntry entry{"", devices_[i].node, devices_[i].description, true, {}};
      if (free != taken_.end()) {
        *free = true;
        entry.comName = ComName(static_cast<int>(free - taken_.begin()));
        entry.mapTo = devices_[i].stableName;
      }
      list_.present.push_back(std::move(entry));
    }
  }

  // The stored port, unless it is among the ports already.
  void AddAbsent(const std::string& name) {
    const auto same = [&](const PortEntry& entry) { return entry.comName == name; };
    if (std::any_of(list_.present.begin(), list_.present.end(), same) ||
        std::any_of(list_.absent.begin(), list_.absent.end(), same)) {
      return;
    }
    list_.absent.push_back({name, map_.DevicePath(name), kAbsentText, false, {}});
  }

  PortList Sorted() {
    std::stable_sort(list_.present.begin(), list_.present.end(), InComOrder);
    std::stable_sort(list_.absent.begin(), list_.absent.end(), InComOrder);
    return std::move(list_);
  }

 private:
  void Place(std::size_t device, int number) {
    placed_[device] = true;
    const SerialDeviceInfo& info = devices_[device];
    list_.present.push_back({ComName(number), info.node, info.description, true, {}});
  }

  const std::vector<SerialDeviceInfo>& devices_;
  const ComPortMap& map_;
  std::vector<bool> placed_;
  std::vector<bool> taken_ = std::vector<bool>(kLastComPort + 1, false);
  PortList list_;
};

}  // namespace

bool InComOrder(const PortEntry& a, const PortEntry& b) {
  return PortNumber(a.comName) < PortNumber(b.comName);
}

PortList ListPorts(const std::vector<SerialDeviceInfo>& devices, const ComPortMap& map,
                   const std::string& storedPort) {
  const bool stored = IsComPortName(storedPort);
  const std::string storedName = NormalizePortName(storedPort);
  Naming naming(devices, map);
  if (stored) naming.Reserve(PortNumber(storedName));
  naming.NameByMap();
  naming.NameByFixedRule();
  naming.NameTheRest();
  if (stored) naming.AddAbsent(storedName);
  return naming.Sorted();
}

std::string PortItemText(const PortEntry& entry) {
  std::string text = entry.comName.empty() ? "--" : entry.comName;
  text += "  ";
  if (!entry.description.empty()) text += entry.description + " ";
  return text + "(" + entry.device + ")";
}

}  // namespace lumaq
