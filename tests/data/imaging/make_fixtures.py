#!/usr/bin/env python3
"""Writes the small hostile picture files the imaging tests replay.

Needs cjpeg (libjpeg-turbo-progs). Run from this folder; the files are kept
in the repository, so this only documents how they were made.
"""
import os
import struct
import subprocess
import zlib


def ppm(width, height):
    rows = bytearray()
    for y in range(height):
        for x in range(width):
            rows += bytes(((x * 255) // max(1, width - 1), (y * 255) // max(1, height - 1), ((x + y) * 4) & 255))
    return b"P6 %d %d 255\n" % (width, height) + bytes(rows)


def cjpeg(data, *args):
    return subprocess.run(["cjpeg", *args], input=data, stdout=subprocess.PIPE, check=True).stdout


def set_frame_size(jpeg, width, height):
    data = bytearray(jpeg)
    i = 2
    while i + 4 <= len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[i + 5:i + 9] = struct.pack(">HH", height, width)
            return bytes(data)
        i += 2 + length
    raise ValueError("no frame header")


def with_app1(jpeg, payload):
    segment = b"\xFF\xE1" + struct.pack(">H", len(payload) + 2) + payload
    return jpeg[:2] + segment + jpeg[2:]


def tiff_ifd(entries, next_offset):
    out = struct.pack("<H", len(entries))
    for tag, typ, count, value in entries:
        out += struct.pack("<HHII", tag, typ, count, value)
    return out + struct.pack("<I", next_offset)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


small = cjpeg(ppm(64, 48), "-quality", "90")
files = {}
big = cjpeg(ppm(256, 192), "-quality", "90")
files["truncated.jpg"] = big[: len(big) * 6 // 10]
files["zero-bytes.jpg"] = b""
files["garbage.jpg"] = bytes((i * 73 + 41) & 255 for i in range(3000))
files["pixel-bomb.jpg"] = set_frame_size(small, 60000, 60000)

# A thousand scans: a progressive file whose last scan is repeated (each
# repeat is a bogus but decodable refinement the decoder has to process).
def scans_of(jpeg):
    """The header up to the first SOS and the list of scans (SOS + data)."""
    i = 2
    while True:
        marker, length = jpeg[i + 1], struct.unpack(">H", jpeg[i + 2:i + 4])[0]
        if marker == 0xDA:
            break
        i += 2 + length
    header, scans, start = jpeg[:i], [], i
    j = i + 2
    while j < len(jpeg) - 1:
        if jpeg[j] == 0xFF and jpeg[j + 1] not in (0x00,) and not 0xD0 <= jpeg[j + 1] <= 0xD7:
            if jpeg[j + 1] in (0xDA, 0xD9, 0xC4):
                scans.append(jpeg[start:j])
                start = j
                if jpeg[j + 1] == 0xD9:
                    break
        j += 1
    return header, scans


header, scans = scans_of(cjpeg(ppm(32, 32), "-progressive"))
files["thousand-scans.jpg"] = header + b"".join(scans) + scans[-1] * 1000 + b"\xFF\xD9"

# EXIF whose first directory names itself as the next one and as its EXIF directory.
header = b"II*\x00" + struct.pack("<I", 8)
loop = tiff_ifd([(0x0112, 3, 1, 6), (0x8769, 4, 1, 8)], 8)
files["exif-loop.jpg"] = with_app1(small, b"Exif\x00\x00" + header + loop)
files["orientation-9.jpg"] = with_app1(small, b"Exif\x00\x00" + header + tiff_ifd([(0x0112, 3, 1, 9)], 0))

ihdr = struct.pack(">IIBBBBB", 100000, 100000, 8, 2, 0, 0, 0)
files["pixel-bomb.png"] = (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
                           + png_chunk(b"IDAT", zlib.compress(b"\x00" * 1000)) + png_chunk(b"IEND", b""))
bmp_info = struct.pack("<IiiHHIIiiII", 40, 40000, 40000, 1, 24, 0, 0, 0, 0, 0, 0)
files["pixel-bomb.bmp"] = b"BM" + struct.pack("<IHHI", 54 + 64, 0, 0, 54) + bmp_info + b"\x7f" * 64
files["pixel-bomb.gif"] = (b"GIF89a" + struct.pack("<HHBBB", 65535, 65535, 0, 0, 0)
                           + b"\x2c" + struct.pack("<HHHHB", 0, 0, 65535, 65535, 0) + b"\x02\x02\x44\x01\x00\x3b")

for name, data in files.items():
    with open(name, "wb") as f:
        f.write(data)
