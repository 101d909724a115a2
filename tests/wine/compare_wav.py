#!/usr/bin/env python3
"""compare_wav.py A.wav B.wav TOLERANCE: exits 0 when both are float WAV files of the same shape
whose samples differ by at most TOLERANCE, and prints the largest difference."""
import struct
import sys


def read_float_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a RIFF WAVE file")
    at, channels, rate, samples = 12, None, None, None
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        body = data[at + 8:at + 8 + size]
        if tag == b"fmt ":
            fmt, channels, rate = struct.unpack_from("<HHI", body)
            bits = struct.unpack_from("<H", body, 14)[0]
            if fmt == 0xFFFE:
                fmt = struct.unpack_from("<H", body, 24)[0]
            if fmt != 3 or bits != 32:
                sys.exit(f"{path}: not 32-bit float")
        elif tag == b"data":
            samples = struct.unpack(f"<{len(body) // 4}f", body[:len(body) // 4 * 4])
        at += 8 + size + (size & 1)
    if channels is None or samples is None:
        sys.exit(f"{path}: no fmt or data chunk")
    return channels, rate, samples


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    a, b, tolerance = read_float_wav(sys.argv[1]), read_float_wav(sys.argv[2]), float(sys.argv[3])
    if a[:2] != b[:2] or len(a[2]) != len(b[2]):
        sys.exit(f"shapes differ: {a[:2]} {len(a[2])} samples, {b[:2]} {len(b[2])} samples")
    worst = max((abs(x - y) for x, y in zip(a[2], b[2])), default=0.0)
    peak = max((abs(x) for x in a[2]), default=0.0)
    print(f"{len(a[2]) // a[0]} frames x {a[0]} channels, peak {peak:.6f}, largest difference {worst:.3g}")
    if worst > tolerance or peak == 0.0:
        sys.exit("FAILED: " + ("silent render" if peak == 0.0 else f"difference above {tolerance}"))


main()
