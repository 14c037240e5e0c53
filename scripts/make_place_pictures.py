#!/usr/bin/python3
"""Draws the place window's two pictures from the GSHHG coastline data.

The world map (386 x 211) and the banner (311 x 94) are rendered from the
low-resolution binned shorelines of Debian's gmt-gshhg-low package and
written as PNG files under data/. The data is copyright 2014 The GMT Team
under the GNU Lesser General Public License, version 3 or later (LGPL-3+, as
the package's copyright file gives it); the pictures drawn from it are under
the same licence. The pictures are committed; run this only to draw them
anew:

    apt-get install gmt-gshhg-low python3-h5py
    /usr/bin/python3 scripts/make_place_pictures.py [gshhg folder]
"""

import math
import os
import struct
import sys
import zlib

import h5py

OCEAN = (170, 205, 235)
LAND = (236, 226, 178)
COAST = (95, 120, 95)
GRID = (150, 185, 215)


def shorelines(folder):
    """The level-1 shorelines (land against ocean) as lists of (lon, lat)."""
    f = h5py.File(os.path.join(folder, "binned_GSHHS_l.nc"), "r")
    size = f["Bin_size_in_minutes"][0] / 60.0
    nx = f["N_bins_in_360_longitude_range"][0]
    first_seg = f["Id_of_first_segment_in_a_bin"][()]
    n_segs = f["N_segments_in_a_bin"][()]
    seg_info = f["Embedded_npts_levels_exit_entry_for_a_segment"][()]
    first_pt = f["Id_of_first_point_in_a_segment"][()]
    dx = f["Relative_longitude_from_SW_corner_of_bin"][()].astype("uint16")
    dy = f["Relative_latitude_from_SW_corner_of_bin"][()].astype("uint16")
    scale = size / 65535.0
    lines = []
    for b in range(len(first_seg)):
        lon0 = (b % nx) * size
        lat0 = 90.0 - (b // nx + 1) * size
        for s in range(first_seg[b], first_seg[b] + n_segs[b]):
            info = int(seg_info[s])
            npts, level = info >> 9, (info >> 6) & 7
            if level != 1:
                continue
            p = first_pt[s]
            lines.append([(lon0 + dx[i] * scale, lat0 + dy[i] * scale) for i in range(p, p + npts)])
    return lines


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = bytearray(w * h)  # 0 unknown, 1 coast, 2 ocean

    def line(self, x0, y0, x1, y1):
        n = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        for i in range(n + 1):
            x = int(round(x0 + (x1 - x0) * i / n))
            y = int(round(y0 + (y1 - y0) * i / n))
            if 0 <= x < self.w and 0 <= y < self.h:
                self.px[y * self.w + x] = 1

    def flood(self, x, y):
        stack = [(x, y)]
        w, h, px = self.w, self.h, self.px
        while stack:
            x, y = stack.pop()
            if x < 0 or y < 0 or x >= w or y >= h or px[y * w + x]:
                continue
            px[y * w + x] = 2
            stack.extend(((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)))


def render(lines, w, h, project, seeds, ss=4):
    """Land, ocean and coast at ss times the size, averaged down to w x h.
    project maps (lon, lat) to (x, y) in 0..1, or None when not visible."""
    c = Canvas(w * ss, h * ss)
    for ln in lines:
        prev = None
        for lon, lat in ln:
            q = project(lon, lat)
            if q is None:
                prev = None
                continue
            q = (q[0] * c.w, q[1] * c.h)
            if prev and abs(q[0] - prev[0]) < c.w / 2:
                c.line(prev[0], prev[1], q[0], q[1])
            prev = q
    for lon, lat in seeds:
        q = project(lon, lat)
        if q:
            c.flood(int(q[0] * c.w), int(q[1] * c.h))
    out = []
    colours = {0: LAND, 1: COAST, 2: OCEAN}
    for y in range(h):
        row = []
        for x in range(w):
            acc = [0, 0, 0]
            for j in range(ss):
                base = (y * ss + j) * c.w + x * ss
                for i in range(ss):
                    col = colours[c.px[base + i]]
                    acc[0] += col[0]
                    acc[1] += col[1]
                    acc[2] += col[2]
            n = ss * ss
            row.append((acc[0] // n, acc[1] // n, acc[2] // n))
        out.append(row)
    return out


OCEAN_SEEDS = [(-150, 0), (-150, -40), (-30, 0), (-30, -40), (-40, 40), (70, -20), (90, -50), (0, 89.5),
               (180, 50), (160, -30), (10, -60), (-90, -60), (150, -60), (-170, 60), (0, 0)]


def world_map(lines):
    w, h = 386, 211
    west = -30.0  # centred on the Pacific side, with Asia in the middle
    top, bottom = 84.0, -62.0

    def project(lon, lat):
        x = ((lon - west) % 360.0) / 360.0
        y = (top - lat) / (top - bottom)
        return (x, y) if 0 <= y <= 1 else None

    img = render(lines, w, h, project, OCEAN_SEEDS)
    for k in range(-180, 181, 30):  # faint meridians and parallels over the ocean
        x = int(((k - west) % 360.0) / 360.0 * w)
        for y in range(h):
            if x < w and img[y][x] == OCEAN:
                img[y][x] = GRID
    for lat in range(-60, 90, 30):
        y = int((top - lat) / (top - bottom) * h)
        if 0 <= y < h:
            img[y] = [GRID if p == OCEAN else p for p in img[y]]
    return img


def banner(lines):
    w, h = 311, 94
    img = [[(int(40 + 60 * y / h), int(90 + 70 * y / h), int(150 + 60 * y / h)) for x in range(w)] for y in range(h)]
    # A globe turned towards East Asia at the left.
    r = 40
    cx, cy = 50, 47
    lon0, lat0 = math.radians(110), math.radians(25)

    def ortho(lon, lat):
        lon, lat = math.radians(lon), math.radians(lat)
        cosc = math.sin(lat0) * math.sin(lat) + math.cos(lat0) * math.cos(lat) * math.cos(lon - lon0)
        if cosc < 0:
            return None
        x = math.cos(lat) * math.sin(lon - lon0)
        y = math.cos(lat0) * math.sin(lat) - math.sin(lat0) * math.cos(lat) * math.cos(lon - lon0)
        return (0.5 + x / 2, 0.5 - y / 2)

    seeds = [(140, 20), (170, 40), (80, -10), (120, -30), (100, 10), (150, -20), (60, 60)]
    globe = render(lines, 2 * r, 2 * r, ortho, seeds)
    for y in range(2 * r):
        for x in range(2 * r):
            d = math.hypot(x + 0.5 - r, y + 0.5 - r)
            if d <= r:
                shade = 1.0 - 0.35 * (d / r) ** 2
                p = globe[y][x]
                img[cy - r + y][cx - r + x] = tuple(int(v * shade) for v in p)
            elif d <= r + 1.5:
                img[cy - r + y][cx - r + x] = (230, 240, 250)
    # A strip of the world map on the right, framed.
    strip = world_map(lines)
    sx0, sy0, sw, sh = 110, 12, 190, 70
    for y in range(sh):
        for x in range(sw):
            img[sy0 + y][sx0 + x] = strip[int(y * 211 / sh)][int(x * 386 / sw)]
    for x in range(sx0 - 1, sx0 + sw + 1):
        img[sy0 - 1][x] = img[sy0 + sh][x] = (230, 240, 250)
    for y in range(sy0 - 1, sy0 + sh + 1):
        img[y][sx0 - 1] = img[y][sx0 + sw] = (230, 240, 250)
    return img


def write_png(path, img):
    h, w = len(img), len(img[0])
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in img)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    tmp = path + ".new"
    with open(tmp, "wb") as f:
        f.write(png)
    os.replace(tmp, path)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/gmt-gshhg"
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    lines = shorelines(folder)
    write_png(os.path.join(data, "world_map.png"), world_map(lines))
    write_png(os.path.join(data, "place_banner.png"), banner(lines))


if __name__ == "__main__":
    main()
