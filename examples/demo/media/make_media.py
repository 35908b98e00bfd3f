#!/usr/bin/env python3
"""Draws the demo product's wizard pictures and banner (4-bit BMP files) and
its sound (a short 8-bit WAV chime). Run it in this folder to make them anew."""
import math
import struct


def write_bmp4(path, width, height, palette, pixel):
    """pixel(x, y) gives a palette index; y counts from the top."""
    row = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(row)
        for x in range(width):
            v = pixel(x, y) & 15
            line[x // 2] |= v << 4 if x % 2 == 0 else v
        pixels += line
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    colours += bytes(4 * (16 - len(palette)))
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    with open(path, "wb") as f:
        f.write(header + info + colours + pixels)


def gradient(top, bottom, steps=12):
    return [tuple(int(top[c] + (bottom[c] - top[c]) * i / (steps - 1)) for c in range(3)) for i in range(steps)]


def sheet(path, top, bottom, mark):
    palette = gradient(top, bottom) + [(255, 255, 255), (255, 200, 40), (20, 20, 60)]
    w, h = 116, 232

    def pixel(x, y):
        band = y * 12 // h
        cx, cy = w // 2, 70
        if mark == "box" and abs(x - cx) < 30 and abs(y - cy) < 24:
            return 12 if abs(x - cx) < 27 and abs(y - cy) < 21 else 14
        if mark == "disc" and (x - cx) ** 2 + (y - cy) ** 2 < 30 ** 2:
            return 13 if (x - cx) ** 2 + (y - cy) ** 2 < 26 ** 2 else 14
        if mark == "tick" and abs((x - cx) - abs(y - cy - 10)) < 5 and 40 < y < 100:
            return 12
        return band

    write_bmp4(path, w, h, palette, pixel)


def banner(path):
    palette = gradient((250, 250, 255), (140, 170, 230), 8) + [(30, 60, 140), (255, 180, 0)]
    w, h = 240, 80

    def pixel(x, y):
        if 10 < x < 60 and 15 < y < 65:
            return 9 if (x + y) % 16 < 8 else 8
        return (x * 8) // w

    write_bmp4(path, w, h, palette, pixel)


def chime(path):
    rate, seconds = 8000, 0.6
    samples = bytearray()
    for i in range(int(rate * seconds)):
        t = i / rate
        tone = math.sin(2 * math.pi * 660 * t) + 0.5 * math.sin(2 * math.pi * 990 * t)
        samples.append(int(128 + 60 * tone * math.exp(-5 * t)))
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, rate, rate, 1, 8)
    data = struct.pack("<4sI", b"data", len(samples)) + samples
    with open(path, "wb") as f:
        f.write(struct.pack("<4sI4s", b"RIFF", 4 + len(fmt) + len(data), b"WAVE") + fmt + data)


sheet("welcome.bmp", (20, 60, 160), (120, 200, 255), "box")
sheet("side.bmp", (20, 110, 120), (150, 230, 210), "disc")
sheet("finish.bmp", (30, 120, 40), (170, 240, 160), "tick")
banner("banner.bmp")
chime("chime.wav")
