// The device database of udev: the terminal devices the kernel has, with the
// properties udev's rules gave them (the adapter's names from its USB
// descriptors and the hardware database, the /dev/serial links). Where no
// udev daemon runs, the devices are still there, without those properties.
#include <libudev.h>

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "comm/ComError.h"
#include "comm/DeviceDatabase.h"

namespace lumaq {
namespace {

struct UdevUnref {
  void operator()(udev* handle) const { udev_unref(handle); }
  void operator()(udev_enumerate* handle) const { udev_enumerate_unref(handle); }
  void operator()(udev_device* handle) const { udev_device_unref(handle); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevUnref>;

// The properties the port list reads; udev keeps many more.
constexpr const char* kProperties[] = {
    "ID_VENDOR_FROM_DATABASE", "ID_VENDOR_ENC", "ID_VENDOR",
    "ID_MODEL_FROM_DATABASE",  "ID_MODEL_ENC",  "ID_MODEL",
    "ID_SERIAL_SHORT",         "ID_USB_DRIVER",
};

std::string Text(const char* value) {
  return value != nullptr ? value : "";
}

// The serial core's own layer between a UART and its hardware (newer
// kernels): its drivers, "port" and "ctrl", tell a person nothing.
constexpr std::string_view kSerialCoreSubsystem = "serial-base";

// The driver of the nearest device above device that has one, past the
// serial core's layer ("serial8250", "ch341").
std::string DriverAbove(udev_device* device) {
  for (udev_device* parent = udev_device_get_parent(device); parent != nullptr;
       parent = udev_device_get_parent(parent)) {
    if (Text(udev_device_get_subsystem(parent)) == kSerialCoreSubsystem) continue;
    if (const char* driver = udev_device_get_driver(parent)) return driver;
  }
  return {};
}

TtyDevice Describe(udev_device* device) {
  TtyDevice tty;
  tty.name = Text(udev_device_get_sysname(device));
  tty.node = Text(udev_device_get_devnode(device));
  udev_list_entry* link = nullptr;
  udev_list_entry_foreach(link, udev_device_get_devlinks_list_entry(device)) {
    tty.links.push_back(Text(udev_list_entry_get_name(link)));
  }
  tty.hasHardware = udev_device_get_parent(device) != nullptr;
  if (tty.hasHardware) {
    tty.uartType = Text(udev_device_get_sysattr_value(device, "type"));
    tty.driver = DriverAbove(device);
  }
  for (const char* key : kProperties) {
    if (const char* value = udev_device_get_property_value(device, key)) {
      tty.properties.emplace(key, value);
    }
  }
  return tty;
}

[[noreturn]] void FailToList(int code) {
  throw EComPort(EComPort::kEnumPortsFailed, code);
}

class UdevDeviceDatabase final : public DeviceDatabase {
 public:
  UdevDeviceDatabase() : udev_(udev_new()) {
    if (!udev_) FailToList(errno != 0 ? errno : ENOMEM);
  }

  std::vector<TtyDevice> TtyDevices() const override {
    const UdevPtr<udev_enumerate> scan(udev_enumerate_new(udev_.get()));
    if (!scan) FailToList(ENOMEM);
    if (const int error = udev_enumerate_add_match_subsystem(scan.get(), "tty"); error < 0) {
      FailToList(-error);
    }
    if (const int error = udev_enumerate_scan_devices(scan.get()); error < 0) FailToList(-error);
    std::vector<TtyDevice> devices;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get())) {
      // One that went away since the scan is not there.
      const UdevPtr<udev_device> device(
          udev_device_new_from_syspath(udev_.get(), udev_list_entry_get_name(entry)));
      if (device) devices.push_back(Describe(device.get()));
    }
    return devices;
  }

 private:
  UdevPtr<udev> udev_;
};

}  // namespace

std::unique_ptr<DeviceDatabase> CreateDeviceDatabase() {
  return std::make_unique<UdevDeviceDatabase>();
}

}  // namespace lumaq
