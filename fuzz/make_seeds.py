#!/usr/bin/env python3
"""Writes the small seed corpora of the fuzz harnesses into fuzz/corpus/.

The seeds are a few well-formed inputs of each entry point, so the fuzzer
starts from the shapes the code expects. Run again after changing it; the
seeds are kept in the tree.
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def seed(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def record_line(name, code, n, e, z):
    return f"{name:<8} {code:<8} {n:<11} {e:<11} {z:<11}".rstrip()


def raw_record(type_byte, body=b"", link=1):
    body = body.ljust(40, b"\0")[:40]
    return bytes([type_byte]) + body + bytes([link])


def raw_job():
    instrument = raw_record(0x81, b"LQT-100\0\0\0" + b"\0" * 30)
    units = raw_record(0x83, bytes([0, 0, 0, 0]))
    name = b"ST1\0\0\0\0\0\0\0\0\0"
    station = raw_record(0x03, name + struct.pack(">i", 1500) + struct.pack(">iii", 1000, 2000, 300))
    backsight = raw_record(0x06, b"BS1".ljust(12, b"\0") + struct.pack(">i", 1600))
    distance = raw_record(0x01, b"P1".ljust(12, b"\0") + struct.pack(">iiii", 1700, 12345, 900000, 450000))
    return instrument + units + station + backsight + distance + distance


# The instrument's side of a transfer for the transfer harnesses
# (fuzz/FuzzTransfer.h): a burst of bytes after a control byte holding its
# length (bit 7: the event sees the first byte alone, bit 6: it comes late),
# or one of the control bytes below.
SILENCE, CANCEL, LINE_ERROR, CABLE_PULLED = b"\x00", b"\x40", b"\x80", b"\xc0"


def burst(data, alone=False, late=False):
    assert 0 < len(data) < 64
    return bytes([len(data) | (0x80 if alone else 0) | (0x40 if late else 0)]) + data


def checksum(data):
    return sum(data) & 0xFF


def frame(header, body, sum_delta=0):
    """A header, and after the program's 0xBB the body with its sum."""
    return burst(bytes([header])) + burst(body + bytes([(checksum(body) + sum_delta) & 0xFF]))


CHARACTER_SET = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.-+*#$&@!_/% "
CHARACTER_CODES = (list(range(0x0B, 0x25)) + list(range(0x25, 0x3F)) + list(range(0x00, 0x0A)) +
                   [0x0A, 0x3F, 0x43, 0x46, 0x4A, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0xFF])


def instrument_text(text, width=8):
    codes = bytes(CHARACTER_CODES[CHARACTER_SET.index(c)] if c in CHARACTER_SET else 0x4A
                  for c in text[:width])
    return codes.ljust(width, b"\xff")


def bcd(number):
    """Five packed bytes of a number with at most three decimals."""
    negative = number.startswith("-")
    whole, _, fraction = number.lstrip("+-").partition(".")
    digits = (whole + (fraction + "000")[:3]).lstrip("0")
    field = (("-" if negative and digits else "") + digits).rjust(10, "0")
    packed = []
    for first, second in zip(field[0::2], field[1::2]):
        if second == "-":
            packed.append(0x0F)
        elif first == "-":
            packed.append(0xF0 + int(second))
        else:
            packed.append(int(first) * 16 + int(second))
    return bytes(packed)


def binary_frame(name, code, n, e, z):
    return instrument_text(name) + instrument_text(code) + bcd(n) + bcd(e) + bcd(z) + b"\0"


def text_frame(name, code, n, e, z):
    return b"%-8s%-8s%-11s%-11s%-11s" % (name, code, n.encode(), e.encode(), z.encode())


# The records of the send harness's jobs (fuzz/transfer_send.cpp), as the job
# holds them and upper-cased.
WIDE = b"\xb5a"
LOWER_CASE = ((b"p1", b"ab", "1234.5", "-12.345", "0.0"), (b"P1", b"AB"))
WIDE_NAME = ((WIDE + b"x1", b"tree", "-999999.999", "9999999.999", ""), (WIDE + b"X1", b"TREE"))
PLAIN = ((b"K12", b"", "1", "2", "3"), (b"K12", b""))
TOO_FAR = ((b"BIG", b"", "12345678.9", "1", "2"), None)
SEND_JOBS = [[LOWER_CASE, WIDE_NAME, PLAIN], [PLAIN], [LOWER_CASE, PLAIN, TOO_FAR, WIDE_NAME]]


def sent_frame(record, request):
    fields, upper = record
    if request == 0xB7:
        return text_frame(*fields)
    return binary_frame(*upper, *fields[2:])


def deliver(record, request=0xBB, echo_delta=0):
    """Poll time, the request, and the echo of the frame's sum."""
    echo = (checksum(sent_frame(record, request)) + echo_delta) & 0xFF
    return SILENCE + burst(bytes([request])) + burst(bytes([echo]))


def transfer_seeds(job):
    aa = binary_frame(b"P1", b"TREE", "3456.789", "1234.567", "12.3")
    text = b"P2,PT,10.5,20.25,-3".ljust(53, b"\0")
    a0 = b"P1      C1      100.000    200.000    10.000     ".ljust(56, b"\0")
    a1 = b"P1      C1      12.345     90.0000    45.0000".ljust(47, b"\0")
    a2 = b"P1      C1      90.0000    45.0000".ljust(39, b"\0")
    a3 = b"ST1     C1      100.000    200.000    10.000     ".ljust(56, b"\0")
    af = bytes(range(1, 52))
    records = [job[i:i + 42] for i in range(0, len(job), 42)]
    end = burst(b"\xee")
    receive = {
        "coordinates": frame(0xAA, aa) + frame(0x06, text) + end,
        "measurements": (frame(0xA3, a3) + frame(0xA2, a2) + frame(0xA1, a1) + frame(0xA0, a0) +
                         frame(0xAF, af) + end),
        "raw_records": b"".join(frame(0xA8, r) for r in records) + end,
        "coordinates_then_angles": frame(0xAA, aa) + frame(0xA2, a2) + end,
        "bad_checksum_repeated": frame(0xAA, aa, 1) + frame(0xAA, aa) + end,
        "body_cut_short": burst(b"\xaa") + burst(aa[:20]) + frame(0xAA, aa) + end,
        "header_with_first_byte": burst(b"\xaa" + aa[:1]) + frame(0xAA, aa) + end,
        "event_for_the_header_alone": (burst(b"\xaa" + aa[:10], alone=True) +
                                       burst(aa + bytes([checksum(aa)])) + end),
        "body_late": (burst(b"\xa2") + burst(a2 + bytes([checksum(a2)]), late=True) +
                      frame(0xA2, a2) + end),
        "noise_then_frames": (burst(bytes(range(0x10, 0x40))) + burst(b"\x01") + burst(b"\x7f") +
                              burst(b"\xff\xbb\x00") + frame(0xA8, records[0]) + end),
        "end_first": end + frame(0xAA, aa),
        "cable_pulled_in_a_body": frame(0xAA, aa) + burst(b"\xa8") + CABLE_PULLED,
        "cable_pulled_between_frames": frame(0xA8, records[0]) + CABLE_PULLED + frame(0xAA, aa),
        "line_error": frame(0x06, text) + LINE_ERROR + frame(0xAA, aa),
        "cancel": frame(0xAA, aa) + CANCEL + frame(0xAA, aa),
        "cancel_while_a_body_is_awaited": burst(b"\xa1") + CANCEL + burst(a1 + bytes([checksum(a1)])),
        "silent": SILENCE,
    }
    for name, data in receive.items():
        seed("transfer_receive", name, data)
    three, one, stops = (bytes([i]) for i in range(3))
    first = SEND_JOBS[0]
    send = {
        "binary_requests": three + b"".join(deliver(r) for r in first),
        "text_requests": three + b"".join(deliver(r, 0xB7) for r in first),
        "wrong_echo_repeated": one + deliver(PLAIN, echo_delta=1) + deliver(PLAIN),
        "two_bytes_as_echo": (one + SILENCE + burst(b"\xbb") + burst(b"\x00\x00") + deliver(PLAIN)),
        "two_requests_at_once": one + SILENCE + burst(b"\xbb\xbb") + deliver(PLAIN),
        "request_with_its_echo_alone": (one + SILENCE + burst(b"\xbb\x01", alone=True) +
                                        deliver(PLAIN)),
        "noise_for_a_request": one + SILENCE + burst(b"\x12") + burst(b"\xaa") + deliver(PLAIN),
        "unsendable_record": (stops + deliver(LOWER_CASE) + deliver(PLAIN) + SILENCE +
                              burst(b"\xbb")),
        "unsendable_record_as_text": stops + b"".join(deliver(r, 0xB7) for r in SEND_JOBS[2]),
        "cable_pulled_before_the_echo": three + deliver(LOWER_CASE) + burst(b"\xbb") + CABLE_PULLED,
        "cable_pulled_while_polling": three + SILENCE + CABLE_PULLED + SILENCE,
        "line_error": three + deliver(LOWER_CASE) + LINE_ERROR,
        "cancel": three + deliver(LOWER_CASE) + CANCEL + deliver(WIDE_NAME),
    }
    for name, data in send.items():
        seed("transfer_send", name, data)


def main():
    lines = "\r\n".join
    # A file of each import format; the harness reads each with every format.
    seed("import", "gts", lines(["P1,100.000,200.000,10.000,CODE", "P2,1,2,3,", "P3,,,,"]) + "\r\n")
    seed("import", "scs2002", lines(["2", "P1", "C1", "100.5", "200.5", "10", "P2", "C2", "1", "2", "3", "E"]) + "\r\n")
    seed("import", "sv300", lines(["1,P1,C1,100.000,200.000,10.000", "2,P2,,1,2,3"]) + "\r\n")
    seed("import", "cass", lines(["P1,C1,200.000,100.000,10.000", "P2,,2,1,3"]) + "\r\n")
    seed("import", "csv", lines(['P1,100,200,10,CODE', '"P 2",1.5,2.5,,"a""b"', 'P3 4 5 6 C']) + "\r\n")
    seed("content_checks", "cass", lines(["P1,C1,200.000,100.000,10.000", "P2,,2,1,3"]) + "\r\n")
    seed("content_checks", "csv", lines(['"P1","100","200","10","C"']) + "\r\n")
    seed("content_checks", "scs2002", lines(["1", "P1", "", "100.5", "200.5", "10", "E"]))
    seed("content_checks", "gpkg", b"SQLite format 3\0" + b"\1" * 52 + b"GPKG" + b"\0" * 28)
    seed("content_checks", "shp", b"\0\0\x27\x0a" + b"\0" * 24 + b"\xe8\x03\0\0" + b"\0" * 68)
    seed("content_checks", "geojson", '{"type": "FeatureCollection", "features": []}')
    seed("content_checks", "kml", '<?xml version="1.0"?>\n<kml xmlns="http://www.opengis.net/kml/2.2"/>')
    seed("split_fixed", "gts", "\x00P1,100.000,200.000,10.000,CODE")
    seed("split_fixed", "sv300", "\x01P1,C1,100.000,200.000,10.000")
    seed("split_comma", "quoted", '"P 1",1.5,"a""b" 2,')
    job = raw_job()
    seed("tsm_open", "job", job)
    seed("raw_record_text", "job", job)
    seed("polar_lines", "job", b"\x01" + job[42 * 2:])
    seed("frame_a0", "body", "P1      C1      100.000    200.000    10.000     ".ljust(56, "\0"))
    seed("frame_a1", "body", "P1      C1      12.345     90.0000    45.0000".ljust(47, "\0"))
    seed("frame_a2", "body", "P1      C1      90.0000    45.0000".ljust(39, "\0"))
    seed("frame_a3", "body", "ST1     C1      100.000    200.000    10.000     ".ljust(56, "\0"))
    seed("frame_af", "body", bytes(range(1, 52)))
    seed("codec_coordinate", "number", "-12.345")
    seed("codec_coordinate", "line", record_line("P1", "C1", "100.000", "200.000", "10.000"))
    seed("codec_bcd", "packed", b"\x00\x00\xf1\x23\x45")
    seed("codec_characters", "name", "Pt-1.A#")
    ini = lines(["[ComPort1]", "Port=COM1", "BaudRate=9600", "StopBits=1", "DataBits=8",
                 "Parity=None", "FlowControl=None", "", "[PortMap]", "COM3=/dev/ttyUSB0"]) + "\r\n"
    seed("ini_file", "commpara", ini)
    seed("port_settings", "commpara", ini)
    seed("serial_devices", "ch340", "ttyUSB0\nQinHeng\\x20Electronics\nUSB\\x20Serial\\x20\\x20\n"
         "A9X2\n/dev/serial/by-id/usb-1a86_USB_Serial_A9X2-if00-port0")
    seed("port_settings", "custom", lines(["[ComPort1]", "BaudRate=Custom", "CustomBaudRate=31250"]))
    seed("user_format", "commpara", lines(["[UserDefFormat1]", "DefName=Mine", "DefFileExt=dat",
                                           "DefOrderWord=012341"]) + "\r\n")
    seed("bdt_table", "job", lines([record_line("P1", "C1", "100.000", "200.000", "10.000"),
                                    record_line("P2", "", "1", "2", ""), "", "broken"]) + "\r\n")
    seed("cell_input", "number", "\x01-123.456e2")
    seed("cell_input", "name", "\x00Pt1-A")
    seed("frames_file", "frames", b"\xa8" + job[84:126] + b"\xa2" + b"P1".ljust(39, b"\0"))
    angles = b"P1".ljust(39, b"\0")
    journal = b"LUMAQJ\x02\n" + b"\xa8" + job[:42] + bytes([checksum(job[:42])])
    journal += b"\xa2" + angles + bytes([checksum(angles)])
    seed("journal", "checksummed", journal)
    seed("journal", "zero_tail", journal + b"\0" * 40)
    seed("journal", "plain", b"\xa8" + job[:42] + b"\xa2" + angles)
    seed("journal", "flipped_body", journal[:20] + b"\x55" + journal[21:])
    seed("line_reader", "mixed", "\x07a\r\nb\rc\n\r\nlast")
    transfer_seeds(job)


if __name__ == "__main__":
    main()
