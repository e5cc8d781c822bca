// What a USB adapter says of itself (its descriptors, as udev escapes them)
// and the names udev gives it, read into the port list: every device with a
// file is a port with a description and a stable name, and no two ports share
// a COM name.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "comm/PortList.h"
#include "comm/SerialDevices.h"

namespace {

// The input's lines, one field each: the kernel's name, the vendor's and the
// product's escaped strings, the serial number and a link.
std::vector<std::string> Fields(std::string_view bytes) {
  std::vector<std::string> fields;
  while (fields.size() < 5) {
    const std::size_t end = bytes.find('\n');
    fields.emplace_back(bytes.substr(0, end));
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::vector<std::string> f = Fields(fuzz::Bytes(data, size));
  const TtyDevice adapter{
      f[0],
      "/dev/" + f[0],
      {f[4]},
      true,
      "",
      "usb-serial",
      {{"ID_VENDOR_ENC", f[1]}, {"ID_MODEL_ENC", f[2]}, {"ID_SERIAL_SHORT", f[3]}}};
  // The database lists each device file once.
  std::vector<TtyDevice> devices = {adapter};
  if (adapter.name != "ttyS0") {
    devices.push_back({"ttyS0", "/dev/ttyS0", {}, true, "4", "8250", {}});
  }
  const std::vector<SerialDeviceInfo> ports = SerialDevicesIn(devices);
  FUZZ_CHECK(ports.size() == devices.size());
  for (const SerialDeviceInfo& port : ports) {
    FUZZ_CHECK(!port.description.empty());
    FUZZ_CHECK(port.stableName == port.node ||
               (port.stableName == f[4] && port.stableName.starts_with("/dev/serial/by-id/")));
  }
  const PortList list = ListPorts(ports, ComPortMap(), "COM" + f[3]);
  std::set<std::string> names;
  for (const PortEntry& entry : list.present) {
    FUZZ_CHECK(entry.comName.empty() || names.insert(entry.comName).second);
    FUZZ_CHECK(PortItemText(entry).find("(" + entry.device + ")") != std::string::npos);
  }
  return 0;
}
