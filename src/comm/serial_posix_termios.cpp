#include "comm/serial_posix_termios.h"

#include <sys/ioctl.h>
#include <termios.h>

#if defined(__linux__) && defined(TCGETS2)
// The kernel's termios with free input and output speeds. <asm/termbits.h>
// declares it too but clashes with <termios.h>; the layout is the kernel's.
struct termios2 {
  tcflag_t c_iflag;
  tcflag_t c_oflag;
  tcflag_t c_cflag;
  tcflag_t c_lflag;
  cc_t c_line;
  cc_t c_cc[19];
  speed_t c_ispeed;
  speed_t c_ospeed;
};
#endif

namespace lumaq::posix {
namespace {

struct SpeedCode {
  int rate;
  speed_t code;
};

constexpr SpeedCode kSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
};

bool StandardSpeed(int rate, speed_t& code) {
  for (const auto& speed : kSpeeds) {
    if (speed.rate == rate) {
      code = speed.code;
      return true;
    }
  }
  return false;
}

// Rates without a Bnnn constant (14400, 56000, 128000, custom rates).
#if defined(__linux__) && defined(TCGETS2)
#ifndef BOTHER
#define BOTHER 0010000
#endif
bool SetFreeSpeed(int fd, int rate) {
  termios2 tio{};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return false;
  tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
  tio.c_cflag |= BOTHER;
  tio.c_ispeed = static_cast<speed_t>(rate);
  tio.c_ospeed = static_cast<speed_t>(rate);
  return ::ioctl(fd, TCSETS2, &tio) == 0;
}
#else
bool SetFreeSpeed(int, int) {
  errno = EINVAL;
  return false;
}
#endif

// Mark and space parity ("stick" parity), where the system has it.
#if defined(CMSPAR)
constexpr tcflag_t kStickParity = CMSPAR;
#else
constexpr tcflag_t kStickParity = 0;
#endif

// No echo, no translation, no signals, reads that never block.
void SetRawMode(termios& tio) {
  tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK | IGNPAR);
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | kStickParity);
  tio.c_cflag |= CREAD | CLOCAL;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}

void SetDataBits(termios& tio, int dataBits) {
  struct Size {
    int bits;
    tcflag_t flag;
  };
  constexpr Size kSizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
  for (const Size& size : kSizes) {
    if (size.bits == dataBits) {
      tio.c_cflag |= size.flag;
      return;
    }
  }
  Fail("data bits", EINVAL);
}

void SetParity(termios& tio, SerialParity parity) {
  switch (parity) {
    case SerialParity::kNone:
      break;
    case SerialParity::kOdd:
      tio.c_cflag |= PARENB | PARODD;
      break;
    case SerialParity::kEven:
      tio.c_cflag |= PARENB;
      break;
    case SerialParity::kMark:
    case SerialParity::kSpace:
      if (kStickParity == 0) Fail("mark or space parity", EINVAL);
      tio.c_cflag |= PARENB | kStickParity;
      if (parity == SerialParity::kMark) tio.c_cflag |= PARODD;
      break;
  }
}

// 1.5 stop bits exist only with 5 data bits, 2 only with 6 to 8; the UART
// makes CSTOPB the one or the other.
void SetStopBits(termios& tio, SerialStopBits stopBits, int dataBits) {
  switch (stopBits) {
    case SerialStopBits::kOne:
      break;
    case SerialStopBits::kOneAndHalf:
      if (dataBits != 5) Fail("1.5 stop bits", EINVAL);
      tio.c_cflag |= CSTOPB;
      break;
    case SerialStopBits::kTwo:
      if (dataBits == 5) Fail("2 stop bits", EINVAL);
      tio.c_cflag |= CSTOPB;
      break;
  }
}

// Without INPCK a byte with a parity error passes as received; with it, the
// byte reads as 0, which is the only replacement termios can make.
void SetReplacement(termios& tio, const SerialLineSettings& settings) {
  if (!settings.parityCheck || !settings.replaceErrors) return;
  if (settings.replaceChar != 0) Fail("parity replacement character", EINVAL);
  tio.c_iflag |= INPCK;
}

void SetFraming(termios& tio, const SerialLineSettings& settings) {
  SetDataBits(tio, settings.dataBits);
  SetParity(tio, settings.parity);
  SetStopBits(tio, settings.stopBits, settings.dataBits);
  SetReplacement(tio, settings);
}

// CTS and XON/XOFF; termios has no DSR flow control and no toggled RTS.
void SetFlowControl(termios& tio, const SerialLineSettings& settings) {
  if (settings.dsrOutputFlow || settings.dsrSensitivity || settings.dtr == SerialDtr::kHandshake ||
      settings.rts == SerialRts::kToggle) {
    Fail("DSR or toggled RTS flow control", EINVAL);
  }
  if (settings.ctsOutputFlow || settings.rts == SerialRts::kHandshake) tio.c_cflag |= CRTSCTS;
  if (settings.xonXoffOut) tio.c_iflag |= IXON;
  if (settings.xonXoffIn) tio.c_iflag |= IXOFF;
  tio.c_cc[VSTART] = settings.xonChar;
  tio.c_cc[VSTOP] = settings.xoffChar;
}

// Sets a rate that has a Bnnn constant and returns true. Any other rate is
// set by SetFreeSpeed once tio is applied; tio carries 9600 until then.
bool SetStandardSpeed(termios& tio, int rate) {
  if (rate <= 0) Fail("baud rate", EINVAL);
  speed_t speed = B9600;
  const bool standard = StandardSpeed(rate, speed);
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) Fail("baud rate");
  return standard;
}

// Modem lines on a device that has none (a pseudo-terminal) are no error.
void SetModemLine(int fd, int line, bool on) {
  if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0 && errno != ENOTTY && errno != EINVAL) {
    Fail("setting a modem line");
  }
}

// DTR and RTS held on or off; under handshake the driver moves them.
void SetModemLines(int fd, const SerialLineSettings& settings) {
  if (settings.dtr != SerialDtr::kHandshake) {
    SetModemLine(fd, TIOCM_DTR, settings.dtr == SerialDtr::kOn);
  }
  if (settings.rts == SerialRts::kOff || settings.rts == SerialRts::kOn) {
    SetModemLine(fd, TIOCM_RTS, settings.rts == SerialRts::kOn);
  }
}

}  // namespace

void ConfigureLine(int fd, const SerialLineSettings& settings) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) Fail("tcgetattr");
  SetRawMode(tio);
  SetFraming(tio, settings);
  SetFlowControl(tio, settings);
  const bool standard = SetStandardSpeed(tio, settings.baudRate);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) Fail("tcsetattr");
  if (!standard && !SetFreeSpeed(fd, settings.baudRate)) Fail("baud rate");
  SetModemLines(fd, settings);
}

}  // namespace lumaq::posix
