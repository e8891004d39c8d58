#!/usr/bin/env python3
"""Draws the toolbar and menu pictures (16 x 16) and the program icon (32 x 32) as PNG files.

Run from this folder after changing a picture: python3 make_icons.py
Standard library only; every picture is drawn pixel by pixel so it stays crisp at its size.
"""
import struct
import zlib

CLEAR = (0, 0, 0, 0)
BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
GREY = (128, 128, 128, 255)
SILVER = (192, 192, 192, 255)
NAVY = (0, 0, 128, 255)
BLUE = (40, 90, 200, 255)
SKY = (150, 200, 255, 255)
GREEN = (0, 150, 0, 255)
DARKGREEN = (0, 100, 0, 255)
RED = (210, 0, 0, 255)
YELLOW = (250, 210, 60, 255)
DARKYELLOW = (170, 130, 20, 255)
TEAL = (0, 128, 128, 255)


class Picture:
    def __init__(self, size, background=CLEAR):
        self.size = size
        self.px = [[background] * size for _ in range(size)]

    def set(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def fill(self, x1, y1, x2, y2, c):  # inclusive corners
        for y in range(y1, y2 + 1):
            for x in range(x1, x2 + 1):
                self.set(x, y, c)

    def frame(self, x1, y1, x2, y2, c):
        self.line(x1, y1, x2, y1, c)
        self.line(x2, y1, x2, y2, c)
        self.line(x2, y2, x1, y2, c)
        self.line(x1, y2, x1, y1, c)

    def line(self, x1, y1, x2, y2, c, thick=1):
        dx, dy = abs(x2 - x1), -abs(y2 - y1)
        sx, sy = (1 if x1 < x2 else -1), (1 if y1 < y2 else -1)
        err = dx + dy
        while True:
            for t in range(thick):
                self.set(x1 + (t if dx < -dy else 0), y1 + (t if dx >= -dy else 0), c)
            if x1 == x2 and y1 == y2:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x1 += sx
            if e2 <= dx:
                err += dx
                y1 += sy

    def disc(self, cx, cy, r, fill, outline):
        # Centre between pixels when cx, cy end in .5, so even diameters stay symmetric.
        for y in range(self.size):
            for x in range(self.size):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if d <= r - 0.5:
                    self.set(x, y, fill)
                elif d <= r + 0.5:
                    self.set(x, y, outline)

    def plus(self, cx, cy, arm, c):
        self.fill(cx - arm, cy - 1, cx + arm, cy, c)
        self.fill(cx - 1, cy - arm, cx, cy + arm, c)

    def cross(self, x1, y1, x2, y2, c):
        self.line(x1, y1, x2, y2, c, 2)
        self.line(x1, y2, x2, y1, c, 2)

    def save(self, name):
        raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        with open(name, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                    + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def page(p):
    p.fill(3, 1, 12, 14, WHITE)
    p.line(3, 1, 9, 1, BLACK)
    p.line(3, 1, 3, 14, BLACK)
    p.line(3, 14, 12, 14, BLACK)
    p.line(12, 4, 12, 14, BLACK)
    p.line(9, 1, 12, 4, BLACK)
    p.line(9, 1, 9, 4, BLACK)
    p.line(9, 4, 12, 4, BLACK)


def new():
    p = Picture(16)
    page(p)
    p.fill(10, 2, 11, 3, CLEAR)
    p.set(10, 3, SILVER)
    return p


def open_():
    p = Picture(16)
    p.fill(1, 4, 6, 5, YELLOW)
    p.frame(1, 3, 6, 5, DARKYELLOW)
    p.fill(1, 5, 13, 13, YELLOW)
    p.frame(1, 5, 13, 13, DARKYELLOW)
    # The open flap, tilted forward.
    for i, y in enumerate(range(8, 14)):
        p.line(3 + i // 2 - 1, y, 15 - i // 2 - 1 if y > 8 else 15, y, YELLOW)
    p.line(3, 8, 15, 8, DARKYELLOW)
    p.line(15, 8, 13, 13, DARKYELLOW)
    p.line(3, 8, 1, 13, DARKYELLOW)
    p.line(1, 13, 13, 13, DARKYELLOW)
    return p


def save():
    p = Picture(16)
    p.fill(1, 1, 14, 14, BLUE)
    p.frame(1, 1, 14, 14, NAVY)
    p.fill(4, 2, 11, 6, WHITE)
    p.line(4, 4, 11, 4, SILVER)
    p.fill(4, 9, 11, 14, SILVER)
    p.fill(8, 10, 9, 13, NAVY)
    p.set(14, 1, CLEAR)
    return p


def save_picture():
    p = Picture(16)
    p.fill(1, 2, 14, 13, SKY)
    p.disc(10.5, 5.5, 1.6, YELLOW, YELLOW)
    for x in range(2, 14):  # a hill
        top = 8 + abs(x - 6) // 2
        p.fill(x, top, x, 12, GREEN)
    p.frame(1, 2, 14, 13, BLACK)
    p.frame(0, 1, 15, 14, DARKYELLOW)
    return p


def vertex(p, cx, cy, r):
    p.disc(cx, cy, r, WHITE, BLACK)


def add_vertex():
    p = Picture(16)
    vertex(p, 6.5, 8.5, 5.5)
    p.plus(12, 4, 3, GREEN)
    return p


def edge_pair(p):
    p.line(3, 12, 12, 3, BLACK)
    vertex(p, 3, 12, 2.6)
    vertex(p, 12, 3, 2.6)


def add_edge():
    p = Picture(16)
    edge_pair(p)
    p.plus(12, 12, 3, GREEN)
    return p


def delete_vertex():
    p = Picture(16)
    vertex(p, 6.5, 8.5, 5.5)
    p.cross(10, 1, 15, 6, RED)
    return p


def delete_edge():
    p = Picture(16)
    edge_pair(p)
    p.cross(10, 10, 15, 15, RED)
    return p


def cancel():
    p = Picture(16)
    p.disc(7.5, 7.5, 7, WHITE, RED)
    p.disc(7.5, 7.5, 6, WHITE, RED)
    p.line(3, 3, 12, 12, RED, 2)
    return p


def program_icon(size=32):
    # Four vertices and five edges; drawn at each size rather than scaled, so it stays crisp.
    k = size / 32
    p = Picture(size, (235, 240, 250, 255))
    p.frame(0, 0, size - 1, size - 1, GREY)
    points = [(round(8 * k), round(8 * k)), (round(24 * k), round(10 * k)),
              (round(10 * k), round(24 * k)), (round(24 * k), round(24 * k))]
    thick = max(1, round(k))
    for a, b, c in ((0, 1, NAVY), (0, 2, NAVY), (1, 3, RED), (2, 3, NAVY), (1, 2, TEAL)):
        p.line(*points[a], *points[b], c, thick)
    for x, y in points:
        p.disc(x, y, 4.5 * k if size > 16 else 2.0, WHITE, BLACK)
    if size == 32:
        p.set(*points[0], NAVY)
        p.set(*points[3], RED)
    elif size > 32:
        p.disc(*points[0], 1.2 * k, NAVY, NAVY)
        p.disc(*points[3], 1.2 * k, RED, RED)
    return p


# The program icon as the desktop's icon theme wants it: one picture per size.
THEME_SIZES = (16, 32, 48, 128)


def main():
    pictures = {
        "new.png": new(), "open.png": open_(), "save.png": save(), "savepicture.png": save_picture(),
        "addvertex.png": add_vertex(), "addedge.png": add_edge(), "deletevertex.png": delete_vertex(),
        "deleteedge.png": delete_edge(), "cancel.png": cancel(), "nodeloom.png": program_icon(),
    }
    for name, picture in pictures.items():
        picture.save(name)
    for size in THEME_SIZES:
        program_icon(size).save("icons/nodeloom-%d.png" % size)


if __name__ == "__main__":
    main()
