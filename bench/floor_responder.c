/* The floor of the receive direction: the program's side at its barest. Opens
 * DEVICE, and for each frame reads the header, answers 0xBB, reads the body
 * and checksum (their length by the header table) and answers 0x00, until the
 * end byte 0xEE. Checks nothing; prints the number of frames.
 *
 * usage: floor_responder DEVICE */
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <termios.h>
#include <unistd.h>

static int fd;

static void get(unsigned char* bytes, int count) {
  while (count > 0) {
    ssize_t got = read(fd, bytes, (size_t)count);
    if (got <= 0) _exit(1);
    bytes += got;
    count -= (int)got;
  }
}

static void put(unsigned char byte) {
  if (write(fd, &byte, 1) != 1) _exit(1);
}

static int body_length(unsigned char header) {
  switch (header) {
    case 0xAA:
      return 32;
    case 0xAF:
      return 51;
    case 0x06:
      return 53;
    case 0xA0:
      return 56;
    case 0xA1:
      return 47;
    case 0xA2:
      return 39;
    case 0xA3:
      return 56;
    case 0xA8:
      return 42;
    default:
      return -1;
  }
}

int main(int argc, char** argv) {
  struct termios tio;
  unsigned char header, frame[57];
  long frames = 0;
  if (argc != 2) {
    fprintf(stderr, "usage: floor_responder DEVICE\n");
    return 2;
  }
  fd = open(argv[1], O_RDWR | O_NOCTTY);
  if (fd < 0 || tcgetattr(fd, &tio) != 0) {
    perror(argv[1]);
    return 1;
  }
  cfmakeraw(&tio);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  tcsetattr(fd, TCSANOW, &tio);
  for (;;) {
    int length;
    get(&header, 1);
    if (header == 0xEE) break;
    length = body_length(header);
    if (length < 0) continue;
    put(0xBB);
    get(frame, length + 1);
    put(0x00);
    ++frames;
  }
  printf("%ld\n", frames);
  return 0;
}
