// Who may use a serial device on POSIX: its group from its file, the user's
// groups from the user database and those of this login. A user added to the
// device's group keeps the groups of the login until the next one.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "comm/PortOpenFailure.h"
#include "comm/SerialDevice.h"

namespace lumaq {
namespace {

std::string GroupName(gid_t gid) {
  group entry{};
  group* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  return found->gr_name;
}

// Whether the user database puts the user into group gid.
bool UserDatabaseHasGroup(const std::string& user, gid_t gid) {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (user.empty() ||
      ::getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return false;
  }
  int count = 64;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  if (::getgrouplist(user.c_str(), found->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<std::size_t>(count));
    if (::getgrouplist(user.c_str(), found->pw_gid, groups.data(), &count) < 0) return false;
  }
  groups.resize(static_cast<std::size_t>(count));
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

bool LoginHasGroup(gid_t gid) {
  if (::getegid() == gid) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

}  // namespace

DeviceAccess DeviceAccessOf(const std::string& path) {
  DeviceAccess access;
  access.userName = CurrentUserName();
  struct stat device {};
  if (::stat(path.c_str(), &device) != 0) return access;
  access.group = GroupName(device.st_gid);
  access.groupMayUse = (device.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  access.userInGroup =
      UserDatabaseHasGroup(access.userName, device.st_gid) && !LoginHasGroup(device.st_gid);
  return access;
}

}  // namespace lumaq
