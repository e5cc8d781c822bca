#include "comm/SystemErrorName.h"

#include <cerrno>

namespace lumaq {
namespace {

struct NamedError {
  int code;
  const char* name;
};

// The numbers a serial line, its lock files and the settings file meet. On
// this system EWOULDBLOCK is EAGAIN, and EOPNOTSUPP is ENOTSUP: the first
// name of a number is the one given.
constexpr NamedError kNames[] = {
    {EPERM, "EPERM"},     {ENOENT, "ENOENT"},
    {ESRCH, "ESRCH"},     {EINTR, "EINTR"},
    {EIO, "EIO"},         {ENXIO, "ENXIO"},
    {EBADF, "EBADF"},     {EAGAIN, "EAGAIN"},
    {ENOMEM, "ENOMEM"},   {EACCES, "EACCES"},
    {EFAULT, "EFAULT"},   {EBUSY, "EBUSY"},
    {EEXIST, "EEXIST"},   {ENODEV, "ENODEV"},
    {ENOTDIR, "ENOTDIR"}, {EISDIR, "EISDIR"},
    {EINVAL, "EINVAL"},   {ENFILE, "ENFILE"},
    {EMFILE, "EMFILE"},   {ENOTTY, "ENOTTY"},
    {EFBIG, "EFBIG"},     {ENOSPC, "ENOSPC"},
    {EROFS, "EROFS"},     {EPIPE, "EPIPE"},
    {ERANGE, "ERANGE"},   {ENAMETOOLONG, "ENAMETOOLONG"},
    {ELOOP, "ELOOP"},     {ENOSYS, "ENOSYS"},
    {ENOTSUP, "ENOTSUP"}, {ETIMEDOUT, "ETIMEDOUT"},
    {EDQUOT, "EDQUOT"},
};

}  // namespace

std::string SystemErrorName(int code) {
  for (const NamedError& named : kNames) {
    if (named.code == code) return named.name;
  }
  return "errno " + std::to_string(code);
}

}  // namespace lumaq
