#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's artwork as PNG files beside this script.

Only the standard library is used. Every picture is drawn on a canvas four
times its size and averaged down, which gives smooth edges at small sizes.
Run it again after changing a drawing; the PNGs are committed.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling factor


def rgb(hex_text, alpha=255):
    hex_text = hex_text.lstrip("#")
    return (int(hex_text[0:2], 16), int(hex_text[2:4], 16), int(hex_text[4:6], 16), alpha)


class Canvas:
    """An RGBA canvas in picture coordinates; drawing happens at SS times the size."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.w = width * SS
        self.h = height * SS
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]

    def _blend(self, x, y, colour):
        r, g, b, a = colour
        a /= 255.0
        if a <= 0:
            return
        p = self.px[y * self.w + x]
        inv = 1.0 - a
        out_a = a + p[3] * inv
        if out_a <= 0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = (c * a + p[i] * p[3] * inv) / out_a
        p[3] = out_a

    def polygon(self, points, colour):
        """Fills a polygon given in picture coordinates (even-odd rule)."""
        pts = [(x * SS, y * SS) for x, y in points]
        ys = [p[1] for p in pts]
        y0 = max(0, int(math.floor(min(ys))))
        y1 = min(self.h - 1, int(math.ceil(max(ys))))
        n = len(pts)
        for sy in range(y0, y1 + 1):
            cy = sy + 0.5
            xs = []
            for i in range(n):
                ax, ay = pts[i]
                bx, by = pts[(i + 1) % n]
                if (ay <= cy < by) or (by <= cy < ay):
                    xs.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                xa = max(0, int(math.ceil(xs[i] - 0.5)))
                xb = min(self.w - 1, int(math.floor(xs[i + 1] - 0.5)))
                for sx in range(xa, xb + 1):
                    self._blend(sx, sy, colour)

    def rect(self, x, y, w, h, colour):
        self.polygon([(x, y), (x + w, y), (x + w, y + h), (x, y + h)], colour)

    def frame(self, x, y, w, h, colour, t=1.0):
        self.rect(x, y, w, t, colour)
        self.rect(x, y + h - t, w, t, colour)
        self.rect(x, y, t, h, colour)
        self.rect(x + w - t, y, t, h, colour)

    def ellipse(self, cx, cy, rx, ry, colour, steps=48):
        self.polygon([(cx + rx * math.cos(2 * math.pi * i / steps),
                       cy + ry * math.sin(2 * math.pi * i / steps)) for i in range(steps)], colour)

    def line(self, x0, y0, x1, y1, colour, t=1.0):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * t / 2, dx / length * t / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)],
                     colour)

    def arc(self, cx, cy, r, start_deg, end_deg, colour, t=1.0, steps=24):
        outer, inner = [], []
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            outer.append((cx + (r + t / 2) * math.cos(a), cy + (r + t / 2) * math.sin(a)))
            inner.append((cx + (r - t / 2) * math.cos(a), cy + (r - t / 2) * math.sin(a)))
        self.polygon(outer + inner[::-1], colour)

    def save(self, name):
        rows = []
        for y in range(self.height):
            row = bytearray([0])
            for x in range(self.width):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    for sx in range(SS):
                        p = self.px[(y * SS + sy) * self.w + x * SS + sx]
                        for i in range(3):
                            acc[i] += p[i] * p[3]
                        acc[3] += p[3]
                a = acc[3] / (SS * SS)
                if acc[3] > 0:
                    row += bytes(int(round(acc[i] / acc[3])) for i in range(3))
                else:
                    row += bytes(3)
                row.append(int(round(a * 255)))
            rows.append(bytes(row))
        raw = zlib.compress(b"".join(rows), 9)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        png = (b"\x89PNG\r\n\x1a\n"
               + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0))
               + chunk(b"IDAT", raw) + chunk(b"IEND", b""))
        path = os.path.join(HERE, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(png)


# Palette: a small set of colours in the manner of a 16-colour icon.
INK = rgb("202838")
PAPER = rgb("fbfbf4")
SLIP = rgb("fff2a8")
SLIP_EDGE = rgb("b89a2a")
BLUE = rgb("2457b8")
DARK_BLUE = rgb("000080")
LIGHT_BLUE = rgb("8fb4ee")
RED = rgb("c8281e")
DARK_RED = rgb("800000")
GREEN = rgb("2f9a3a")
GREY = rgb("808080")
LIGHT_GREY = rgb("c8c8c8")
WHITE = rgb("ffffff")
YELLOW = rgb("f3c623")


def handset(c, cx, cy, size, colour):
    """A telephone handset lying on its back, centred at cx, cy."""
    r = size * 0.5
    c.arc(cx, cy + size * 0.42, r, 205, 335, colour, t=size * 0.2)
    for side in (-1, 1):
        a = math.radians(270 + side * 62)
        ex, ey = cx + r * math.cos(a), cy + size * 0.42 + r * math.sin(a)
        c.polygon([(ex - size * 0.24, ey + size * 0.02), (ex + size * 0.24, ey + size * 0.02),
                   (ex + side * size * 0.02 + size * 0.2, ey + size * 0.24),
                   (ex + side * size * 0.02 - size * 0.2, ey + size * 0.24)], colour)
        c.ellipse(ex, ey + size * 0.02, size * 0.24, size * 0.09, colour)


def program_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    # The message slip, slightly tilted.
    c.polygon([(4 * s, 3 * s), (27 * s, 1.5 * s), (28.5 * s, 25 * s), (5.5 * s, 26.5 * s)], SLIP_EDGE)
    c.polygon([(5 * s, 4 * s), (26.2 * s, 2.6 * s), (27.5 * s, 24 * s), (6.4 * s, 25.4 * s)], SLIP)
    if size >= 32:
        for i, y in enumerate((8, 12, 16)):
            c.line(8.5 * s, (y + 0.1) * s, (23.5 - 3 * (i == 2)) * s, (y - 1) * s, rgb("c9a640"), t=1.0)
    else:
        c.line(7.5 * s, 9 * s, 23 * s, 8 * s, rgb("c9a640"), t=1.0)
    # The handset in the lower right corner.
    handset(c, 19 * s, 19 * s, 13 * s, DARK_RED)
    return c


def envelope(c, x, y, w, h, body, open_flap=False, edge=INK):
    c.rect(x, y, w, h, edge)
    c.rect(x + 1, y + 1, w - 2, h - 2, body)
    if open_flap:
        c.polygon([(x, y), (x + w / 2, y - h * 0.55), (x + w, y)], edge)
        c.polygon([(x + 1.2, y), (x + w / 2, y - h * 0.55 + 1.3), (x + w - 1.2, y)], rgb("e6e6e6"))
        c.line(x + 1, y + 1, x + w / 2, y + h * 0.55, edge, t=0.8)
        c.line(x + w - 1, y + 1, x + w / 2, y + h * 0.55, edge, t=0.8)
    else:
        c.line(x + 0.8, y + 0.8, x + w / 2, y + h * 0.6, edge, t=0.9)
        c.line(x + w - 0.8, y + 0.8, x + w / 2, y + h * 0.6, edge, t=0.9)


def exclamation(c, x, y, h, colour):
    c.polygon([(x - h * 0.13, y), (x + h * 0.13, y), (x + h * 0.07, y + h * 0.66),
               (x - h * 0.07, y + h * 0.66)], colour)
    c.ellipse(x, y + h * 0.88, h * 0.11, h * 0.11, colour)


def message_picture(width, height, unread, urgent):
    c = Canvas(width, height)
    scale = height / 16.0
    ex, ey = 2 * scale, (5 if not unread else 3.5) * scale
    ew, eh = 18 * scale, 10 * scale
    if height > 16:
        ew, eh = 22, 15
        ex, ey = 2, (12 if not unread else 9)
    envelope(c, ex, ey, ew, eh, SLIP if unread else PAPER, open_flap=not unread)
    if urgent:
        exclamation(c, ex + ew + (4 if height > 16 else 4.5), ey - (2 if height > 16 else 1),
                    eh + (4 if height > 16 else 2), RED)
    return c


def tool_compose():
    c = Canvas(16, 16)
    c.rect(2, 1, 10, 13, INK)
    c.rect(3, 2, 8, 11, PAPER)
    for y in (4, 6, 8):
        c.line(4, y + 0.5, 9.5, y + 0.5, LIGHT_GREY, t=0.8)
    # The pencil.
    c.polygon([(14.5, 5.5), (15.8, 6.8), (8.8, 13.8), (7.5, 12.5)], INK)
    c.polygon([(14.5, 6.3), (15.1, 6.9), (8.8, 13.1), (8.2, 12.5)], YELLOW)
    c.polygon([(7.5, 12.5), (8.8, 13.8), (6.6, 14.6)], INK)
    return c


def tool_send():
    c = Canvas(16, 16)
    envelope(c, 1, 4, 11, 8, PAPER)
    c.polygon([(9, 7.5), (12.5, 7.5), (12.5, 5), (15.8, 9), (12.5, 13), (12.5, 10.5), (9, 10.5)], GREEN)
    return c


def tool_save():
    c = Canvas(16, 16)
    c.polygon([(1.5, 1.5), (13, 1.5), (14.5, 3), (14.5, 14.5), (1.5, 14.5)], DARK_BLUE)
    c.polygon([(2.5, 2.5), (12.6, 2.5), (13.5, 3.4), (13.5, 13.5), (2.5, 13.5)], BLUE)
    c.rect(4, 2.5, 8, 5, WHITE)
    c.rect(9.5, 3.2, 1.6, 3.4, DARK_BLUE)
    c.rect(4, 9.5, 8, 4, LIGHT_GREY)
    return c


def tool_print():
    c = Canvas(16, 16)
    c.rect(4, 1, 8, 6, INK)
    c.rect(5, 2, 6, 5, PAPER)
    c.rect(1, 6, 14, 6, INK)
    c.rect(2, 7, 12, 4, LIGHT_GREY)
    c.rect(11.5, 7.8, 1.5, 1, GREEN)
    c.rect(3.5, 10, 9, 5, INK)
    c.rect(4.5, 11, 7, 3.5, PAPER)
    c.line(5.5, 12.5, 10.5, 12.5, GREY, t=0.7)
    return c


def tool_delete():
    c = Canvas(16, 16)
    c.line(3, 3, 13, 13, RED, t=3)
    c.line(13, 3, 3, 13, RED, t=3)
    return c


def tool_get_new():
    c = Canvas(16, 16)
    # An in-tray with an arrow coming down into it.
    c.polygon([(1, 9), (4, 9), (5.5, 11.5), (10.5, 11.5), (12, 9), (15, 9), (15, 15), (1, 15)], INK)
    c.polygon([(2, 10), (3.4, 10), (4.9, 12.5), (11.1, 12.5), (12.6, 10), (14, 10), (14, 14), (2, 14)],
              LIGHT_GREY)
    c.polygon([(6.5, 1), (9.5, 1), (9.5, 5), (12, 5), (8, 10), (4, 5), (6.5, 5)], BLUE)
    return c


def tool_help():
    c = Canvas(16, 16)
    c.ellipse(8, 8, 7.2, 7.2, DARK_BLUE)
    c.ellipse(8, 8, 6.2, 6.2, BLUE)
    c.arc(8, 6.2, 2.4, 180, 400, WHITE, t=1.7)
    c.line(9.8, 7.8, 8, 9.4, WHITE, t=1.7)
    c.rect(7.15, 9.2, 1.7, 1.4, WHITE)
    c.ellipse(8, 12, 1.0, 1.0, WHITE)
    return c


def tool_dial():
    c = Canvas(16, 16)
    # A desk telephone: handset on a body with a keypad.
    c.polygon([(3, 7), (13, 7), (15, 15), (1, 15)], INK)
    c.polygon([(3.8, 8), (12.2, 8), (13.8, 14), (2.2, 14)], rgb("5a6478"))
    for row in range(3):
        for col in range(3):
            c.rect(5.3 + col * 2, 9 + row * 1.6, 1.2, 1.0, WHITE)
    handset(c, 8, 2.2, 12, INK)
    return c


def small_folder():
    c = Canvas(16, 16)
    c.polygon([(1, 3), (6, 3), (7.5, 4.5), (14, 4.5), (14, 13.5), (1, 13.5)], rgb("9a7412"))
    c.polygon([(2, 4), (5.6, 4), (7.1, 5.5), (13, 5.5), (13, 12.5), (2, 12.5)], YELLOW)
    c.polygon([(3, 7), (15.5, 7), (13.5, 13.5), (1, 13.5)], rgb("9a7412"))
    c.polygon([(3.7, 8), (14.2, 8), (12.8, 12.6), (2.2, 12.6)], rgb("ffe27a"))
    return c


def small_play():
    c = Canvas(16, 16)
    # A loudspeaker with sound waves.
    c.polygon([(1.5, 6), (4.5, 6), (8.5, 2.5), (8.5, 13.5), (4.5, 10), (1.5, 10)], INK)
    c.polygon([(2.5, 7), (4.9, 7), (7.5, 4.7), (7.5, 11.3), (4.9, 9), (2.5, 9)], LIGHT_GREY)
    c.arc(9, 8, 2.6, -45, 45, GREEN, t=1.2)
    c.arc(9, 8, 5.0, -50, 50, GREEN, t=1.2)
    return c


def down_arrow():
    c = Canvas(10, 15)
    c.polygon([(1, 5.5), (9, 5.5), (5, 10.5)], INK)
    return c


def border_strip(urgent):
    c = Canvas(20, 180)
    base = (rgb("9c1c14"), rgb("e0584a")) if urgent else (rgb("173d87"), rgb("5f8fdc"))
    dark, light = base
    for x in range(20):
        t = abs(x - 9.5) / 9.5
        col = tuple(int(round(dark[i] * t + light[i] * (1 - t))) for i in range(3)) + (255,)
        c.rect(x, 0, 1, 180, col)
    c.rect(0, 0, 1, 180, rgb("ffffff", 110))
    c.rect(19, 0, 1, 180, rgb("000000", 90))
    # Small diamonds spaced along the strip.
    for y in range(15, 180, 30):
        c.polygon([(10, y - 4), (14, y), (10, y + 4), (6, y)], rgb("ffffff", 150))
    return c


def main():
    program_icon(32).save("icons/telvora-32.png")
    program_icon(16).save("icons/telvora-16.png")
    tools = [("compose", tool_compose), ("send", tool_send), ("save", tool_save),
             ("print", tool_print), ("delete", tool_delete), ("getnew", tool_get_new),
             ("help", tool_help), ("dial", tool_dial)]
    for name, draw in tools:
        draw().save("toolbar/%s.png" % name)
    down_arrow().save("toolbar/arrow.png")
    small_folder().save("toolbar/browse.png")
    small_play().save("toolbar/play.png")
    border_strip(False).save("borders/normal.png")
    border_strip(True).save("borders/urgent.png")
    for number, (unread, urgent) in enumerate(
            [(True, False), (True, True), (False, False), (False, True)], start=1):
        message_picture(32, 16, unread, urgent).save("messages/small-%d.png" % number)
        message_picture(32, 32, unread, urgent).save("messages/big-%d.png" % number)


if __name__ == "__main__":
    main()
