#!/usr/bin/env python3
"""Writes LHA and RAR archives with stored (uncompressed) members.

No packer on this system can create these formats, so the tests build them
byte by byte:

  make_stored_archives.py lha OUT NAME=TEXT...   LHA level 0, method -lh0-
  make_stored_archives.py rar OUT NAME=TEXT...   RAR 4.x, method 0x30
  make_stored_archives.py rarset STEM NAME=TEXT...
      a two-volume RAR set STEM.part1.rar / STEM.part2.rar, one member in
      the first volume and the rest in the second

Member names use '/' for folders; they are stored with '\\' as DOS packers
write them.
"""
import struct
import sys
import zlib

# 1996-01-01 12:00:00 as a DOS date and time.
DOS_TIME = ((1996 - 1980) << 25) | (1 << 21) | (1 << 16) | (12 << 11)


def crc16_arc(data):
    crc = 0
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def lha(members):
    out = bytearray()
    for name, data in members:
        raw_name = name.replace("/", "\\").encode("cp437")
        body = (b"-lh0-" + struct.pack("<IIIBBB", len(data), len(data), DOS_TIME, 0x20, 0,
                                       len(raw_name)) + raw_name +
                struct.pack("<H", crc16_arc(data)))
        out += bytes([len(body), sum(body) & 0xFF]) + body + data
    out += b"\0"
    return bytes(out)


def rar_block(head_type, flags, rest):
    """One RAR 4.x block: HEAD_CRC is the low half of the CRC-32 of the
    header from HEAD_TYPE on."""
    size = 7 + len(rest)
    tail = struct.pack("<BHH", head_type, flags, size) + rest
    return struct.pack("<H", zlib.crc32(tail) & 0xFFFF) + tail


MARKER = b"Rar!\x1a\x07\x00"
MHD_VOLUME, MHD_NEWNUMBERING, MHD_FIRSTVOLUME = 0x0001, 0x0010, 0x0100
LONG_BLOCK = 0x8000
EARC_NEXT_VOLUME = 0x0001


def rar(members, main_flags=0, end_flags=0):
    out = bytearray(MARKER)
    out += rar_block(0x73, main_flags, b"\0" * 6)
    for name, data in members:
        raw_name = name.replace("/", "\\").encode("cp437")
        rest = struct.pack("<IIBIIBBHI", len(data), len(data), 0, zlib.crc32(data), DOS_TIME,
                           20, 0x30, len(raw_name), 0x20) + raw_name
        out += rar_block(0x74, LONG_BLOCK, rest) + data
    out += rar_block(0x7B, end_flags, b"")
    return bytes(out)


def main(argv):
    if len(argv) < 4 or argv[1] not in ("lha", "rar", "rarset"):
        sys.stderr.write(__doc__)
        return 2
    members = []
    for arg in argv[3:]:
        name, _, text = arg.partition("=")
        members.append((name, text.encode("utf-8")))
    kind, out = argv[1], argv[2]
    if kind == "rarset":
        first = MHD_VOLUME | MHD_NEWNUMBERING
        with open(out + ".part1.rar", "wb") as f:
            f.write(rar(members[:1], first | MHD_FIRSTVOLUME, EARC_NEXT_VOLUME))
        with open(out + ".part2.rar", "wb") as f:
            f.write(rar(members[1:], first))
        return 0
    with open(out, "wb") as f:
        f.write(lha(members) if kind == "lha" else rar(members))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
