/* The floor of the send direction: the program's side at its barest. Opens
 * DEVICE and sends COUNT records: writes the poll 0xAA, reads the request
 * (0xBB binary, 0xB7 text), writes the 32 or 49 frame bytes, reads the echo
 * and writes 0x00; after the last record 0xEE. Checks nothing; prints the
 * number of records.
 *
 * With FIRST_POLL_MS it first waits that long after opening, as the program
 * does: its first poll goes out at its poll timer's first tick, 100 ms after
 * the port opens. On a machine of two cores, how the exchange begins decides
 * whether the scheduler keeps each side on a core of its own for the rest of
 * the send or moves both at nearly every wake, which costs each side
 * processor time per frame; a floor that starts as the program does is
 * measured under the same conditions.
 *
 * With --program-calls it makes the system calls the program makes, and no
 * others: the line opened non-blocking with VMIN = VTIME = 0, each answer
 * awaited by poll in slices of 25 ms and read with room for 1024 bytes, both
 * queues purged before each write, 0x00 and the next poll in one write. What
 * the program spends beyond this floor is its own work.
 *
 * usage: floor_sender [--program-calls] DEVICE COUNT [FIRST_POLL_MS] */
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

/* P1, code TOPO, N 1234.5, E -12.345, Z 0: binary and text. */
static const unsigned char binary_frame[32] = {
    0x1A, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1E, 0x19, 0x1A, 0x19, 0xFF, 0xFF, 0xFF, 0xFF,
    0x00, 0x01, 0x23, 0x45, 0x00, 0x00, 0x00, 0xF1, 0x23, 0x45, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
static const char text_frame[] = "P1      TOPO    1234.500   -12.345    0.000      ";

static int fd;
static int program_calls;

static unsigned char get(void) {
  unsigned char bytes[1024];
  if (program_calls) {
    struct pollfd line = {fd, POLLIN, 0};
    while (poll(&line, 1, 25) == 0) {
    }
  }
  if (read(fd, bytes, program_calls ? sizeof bytes : 1) < 1) _exit(1);
  return bytes[0];
}

static void put(const void* bytes, size_t count) {
  if (program_calls) tcflush(fd, TCIOFLUSH);
  if (write(fd, bytes, count) != (ssize_t)count) _exit(1);
}

int main(int argc, char** argv) {
  struct termios tio;
  const unsigned char poll_byte = 0xAA, end = 0xEE;
  unsigned char ok_and_next[2] = {0x00, poll_byte};
  long count, sent, first_poll_ms = 0;
  program_calls = argc > 1 && strcmp(argv[1], "--program-calls") == 0;
  argc -= program_calls;
  argv += program_calls;
  if (argc < 3 || argc > 4 || (count = atol(argv[2])) < 1 ||
      (argc == 4 && (first_poll_ms = atol(argv[3])) < 0)) {
    fprintf(stderr, "usage: floor_sender [--program-calls] DEVICE COUNT [FIRST_POLL_MS]\n");
    return 2;
  }
  fd = open(argv[1], O_RDWR | O_NOCTTY | (program_calls ? O_NONBLOCK : 0));
  if (fd < 0 || tcgetattr(fd, &tio) != 0) {
    perror(argv[1]);
    return 1;
  }
  cfmakeraw(&tio);
  tio.c_cc[VMIN] = program_calls ? 0 : 1;
  tio.c_cc[VTIME] = 0;
  tcsetattr(fd, TCSANOW, &tio);
  if (first_poll_ms > 0) usleep((useconds_t)(first_poll_ms * 1000));
  put(&poll_byte, 1);
  for (sent = 0; sent < count; ++sent) {
    if (get() == 0xB7) {
      put(text_frame, 49);
    } else {
      put(binary_frame, 32);
    }
    get(); /* the echo */
    if (sent + 1 == count) ok_and_next[1] = end;
    if (program_calls) {
      put(ok_and_next, 2);
    } else {
      put(&ok_and_next[0], 1);
      put(&ok_and_next[1], 1);
    }
  }
  printf("%ld\n", sent);
  return 0;
}
