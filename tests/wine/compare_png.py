#!/usr/bin/env python3
"""compare_png.py A.png B.png AREAS DIFF.png: exits 0 when both pictures have the same size and
the same pixels outside the boxes listed in AREAS (lines "left top right bottom", inclusive: where
the editor draws text, which each platform rasterises its own way). Otherwise it writes DIFF.png
(B dimmed, the boxes left out in blue, differing pixels in red) and says where they differ.

A comparison that could not fail proves nothing: the pictures must show more than a few colours
outside the boxes, and the boxes must leave most of the picture to compare."""
import struct
import sys
import zlib


def read_png(path):
    """(width, height, rows of RGB bytes) of an 8-bit RGB or RGBA picture, not interlaced."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    at, idat, header = 8, [], None
    while at + 8 <= len(data):
        size, tag = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + size]
        if tag == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif tag == b"IDAT":
            idat.append(body)
        at += 12 + size
    if header is None:
        sys.exit(f"{path}: no IHDR")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f"{path}: only 8-bit RGB or RGBA pictures without interlacing are read")
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(idat))
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        if kind == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 0xFF
        elif kind == 2:
            for i in range(stride):
                line[i] = (line[i] + previous[i]) & 0xFF
        elif kind == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b = previous[i]
                c = previous[i - bpp] if i >= bpp else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + predictor) & 0xFF
        elif kind != 0:
            sys.exit(f"{path}: bad filter {kind} in row {y}")
        previous = line
        rows.append(bytes(line) if bpp == 3 else bytes(b for i, b in enumerate(line) if i % 4 != 3))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))
    raw = b"".join(b"\0" + bytes(row) for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    a_path, b_path, areas_path, diff_path = sys.argv[1:]
    aw, ah, a = read_png(a_path)
    bw, bh, b = read_png(b_path)
    if (aw, ah) != (bw, bh):
        sys.exit(f"the pictures differ in size: {aw}x{ah} and {bw}x{bh}")
    masked = [bytearray(aw) for _ in range(ah)]
    with open(areas_path) as f:
        for line in f:
            if line.strip():
                left, top, right, bottom = (int(v) for v in line.split())
                for y in range(max(top, 0), min(bottom, ah - 1) + 1):
                    masked[y][max(left, 0):min(right, aw - 1) + 1] = b"\1" * (min(right, aw - 1) + 1 - max(left, 0))
    left_out = sum(sum(row) for row in masked)
    if left_out * 2 > aw * ah:
        sys.exit(f"the text areas cover {left_out} of {aw * ah} pixels: too little is left to compare")
    colours, differing, box = set(), 0, None
    for y in range(ah):
        ra, rb, mask = a[y], b[y], masked[y]
        if ra == rb:
            colours.update(ra[3 * x:3 * x + 3] for x in range(0, aw, 7) if not mask[x])
            continue
        for x in range(aw):
            if mask[x]:
                continue
            pa = ra[3 * x:3 * x + 3]
            colours.add(pa)
            if pa != rb[3 * x:3 * x + 3]:
                differing += 1
                box = (x, y, x, y) if box is None else (min(box[0], x), min(box[1], y), max(box[2], x), max(box[3], y))
    if len(colours) < 8:
        sys.exit(f"{a_path} shows only {len(colours)} colours outside the text: no picture of an editor")
    if differing == 0:
        print(f"equal outside {left_out} pixels of text ({aw}x{ah}, {len(colours)} colours compared)")
        return 0
    diff = []
    for y in range(ah):
        row = bytearray(aw * 3)
        for x in range(aw):
            pa, pb = a[y][3 * x:3 * x + 3], b[y][3 * x:3 * x + 3]
            if masked[y][x]:
                row[3 * x:3 * x + 3] = bytes((pb[0] // 4, pb[1] // 4, 96 + pb[2] // 3))
            elif pa != pb:
                row[3 * x:3 * x + 3] = b"\xff\x00\x00"
            else:
                row[3 * x:3 * x + 3] = bytes(v // 3 for v in pb)
        diff.append(row)
    write_png(diff_path, aw, ah, diff)
    print(f"{differing} pixels differ outside the text, within x {box[0]}-{box[2]}, y {box[1]}-{box[3]}; "
          f"see {diff_path}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
