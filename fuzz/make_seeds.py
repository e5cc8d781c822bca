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


def main():
    lines = "\r\n".join
    seed("import_gts", "points", lines(["P1,100.000,200.000,10.000,CODE", "P2,1,2,3,", "P3,,,,"]) + "\r\n")
    seed("import_scs2002", "two", lines(["2", "P1", "C1", "100.5", "200.5", "10", "P2", "C2", "1", "2", "3", "E"]) + "\r\n")
    seed("import_sv300", "records", lines(["1,P1,C1,100.000,200.000,10.000", "2,P2,,1,2,3"]) + "\r\n")
    seed("import_cass", "records", lines(["P1,C1,200.000,100.000,10.000", "P2,,2,1,3"]) + "\r\n")
    seed("import_csv", "records", lines(['P1,100,200,10,CODE', '"P 2",1.5,2.5,,"a""b"', 'P3 4 5 6 C']) + "\r\n")
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
    seed("port_settings", "custom", lines(["[ComPort1]", "BaudRate=Custom", "CustomBaudRate=31250"]))
    seed("user_format", "commpara", lines(["[UserDefFormat1]", "DefName=Mine", "DefFileExt=dat",
                                           "DefOrderWord=012341"]) + "\r\n")
    seed("bdt_table", "job", lines([record_line("P1", "C1", "100.000", "200.000", "10.000"),
                                    record_line("P2", "", "1", "2", ""), "", "broken"]) + "\r\n")
    seed("cell_input", "number", "\x01-123.456e2")
    seed("cell_input", "name", "\x00Pt1-A")
    seed("frames_file", "frames", b"\xa8" + job[84:126] + b"\xa2" + b"P1".ljust(39, b"\0"))
    seed("line_reader", "mixed", "\x07a\r\nb\rc\n\r\nlast")


if __name__ == "__main__":
    main()
