#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_trend_files: small pairs of trend files as
the program writes them (data file header, 288-byte records with upper-cased
names, index entries of minute stamp and position), each as one input: the
data file's length (4 bytes, little-endian), the data file, the index file.

Usage: fuzz/make-trend-seeds.py [folder]   (default fuzz/corpus/trend_files)
"""
import math
import os
import struct
import sys

ONE_MINUTE = 0xB60B60B60B60B60B  # 1/1440 with a 64-bit mantissa, times 2^74


def shift_round_even(value, shift):
    kept, rest, half = value >> shift, value & ((1 << shift) - 1), 1 << (shift - 1)
    return kept + (1 if rest > half or (rest == half and kept & 1) else 0)


def minute_stamp(minutes):
    """The stored stamp of a whole minute count, as the program computes it."""
    product, scale = minutes * ONE_MINUTE, -74
    if product.bit_length() > 64:
        shift = product.bit_length() - 64
        product, scale = shift_round_even(product, shift), scale + shift
        if product == 1 << 64:
            product, scale = 1 << 63, scale + 1
    if product.bit_length() > 53:
        shift = product.bit_length() - 53
        product, scale = shift_round_even(product, shift), scale + shift
    return math.ldexp(product, scale)


def real48(value):
    if value == 0:
        return bytes(6)
    fraction, exponent = math.frexp(abs(value))
    mantissa = round(fraction * 2 * (1 << 39))
    if mantissa == 1 << 40:
        mantissa, exponent = 1 << 39, exponent + 1
    body = (mantissa - (1 << 39)) | (0x80 << 32 if value < 0 else 0)
    return bytes([exponent + 128]) + body.to_bytes(5, "little")


def checksum(data):
    total = sum(b * ((i + 1) & 0xFF) for i, b in enumerate(data))
    x = 0
    for b in data:
        x ^= b
    return (x << 16) | (total & 0xFFFF)


def record(name, read, write, ping, stamp):
    body = bytes([len(name)]) + name.upper().encode("latin-1").ljust(255, b"\0")
    body += real48(read) + real48(write) + real48(ping) + bytes(2) + struct.pack("<d", stamp)
    return body + struct.pack("<I", checksum(body))


def trend_pair(rows, created):
    """rows: (name, read, write, ping, minutes since 30 December 1899)."""
    header = struct.pack("<d", created)
    data, index = header + struct.pack("<I", checksum(header)), b""
    for name, read, write, ping, minutes in rows:
        stamp = minute_stamp(minutes)
        index += struct.pack("<dI", stamp, len(data))
        data += record(name, read, write, ping, stamp)
    return struct.pack("<I", len(data)) + data + index


DAY = 46000 * 1440  # 9 December 2025, in minutes


def seeds():
    names = [("127.0.0.1", 0, 0, 812.5), ("/dev/shm/share", 10240.25, 8192.0, 0),
             ("http://localhost/", 0, 0, 95.0)]
    day = [(n, r, w, p * q, DAY + 15 * q) for q in range(1, 5) for n, r, w, p in names]
    yield "one-day-three-resources", trend_pair(day, DAY / 1440)
    # The last quarter hour of a day is stamped midnight of the next.
    midnight = [("host", 1.5, 0, 3.25, DAY + 1440), ("host", 2.5, 0, 4.0, DAY + 1425)]
    yield "midnight", trend_pair(midnight, DAY / 1440)
    # Two days, one record each, and a name at the longest a record holds.
    long_name = "x" * 255
    yield "two-days-long-name", trend_pair(
        [(long_name, 1, 2, 3, DAY + 60), (long_name, 4, 5, 6, DAY + 1440 + 60)], DAY / 1440)
    # Speeds at the format's limits: the largest and the smallest it holds.
    yield "extreme-speeds", trend_pair(
        [("host", 1.7e38, 1e-38, -5.0, DAY + 30), ("host", -1.7e38, 0, 1e30, DAY + 45)],
        DAY / 1440)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "corpus", "trend_files")
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
