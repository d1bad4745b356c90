#!/usr/bin/env python3
"""Makes the console's shipped pictures and sounds.

Pictures (PNG, drawn here): the lamp out and lit, and the unit bank switch
in its two positions (units 1 to 8 and 9 to 16). Sounds (16-bit mono WAV,
short generated tones): click, record, timer start, tick and expand.

Run it from anywhere; it writes next to itself:
    python3 resources/make_resources.py
"""
import math
import os
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------- pictures

def write_png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a), each 0..255."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows.extend(bytes(pixel(x, y)))

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def coverage(fx, fy, inside, samples=4):
    """Share of a pixel's sub-samples for which inside(x, y) holds."""
    hit = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(fx + (sx + 0.5) / samples, fy + (sy + 0.5) / samples):
                hit += 1
    return hit / (samples * samples)


def blend(under, over, share):
    return tuple(round(u * (1 - share) + o * share) for u, o in zip(under, over))


def lamp(lit):
    size = 32
    cx, cy, r = 16.0, 13.0, 10.0

    def pixel(x, y):
        colour = (0, 0, 0, 0)
        # glow around a lit bulb
        if lit:
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            glow = max(0.0, 1.0 - d / 15.5)
            colour = (255, 230, 90, round(200 * glow * glow))
        bulb = coverage(x, y, lambda px, py: math.hypot(px - cx, py - cy) <= r)
        if bulb:
            d = math.hypot(x + 0.5 - cx + 3, y + 0.5 - cy + 3) / (r + 4)
            if lit:
                body = (255, round(250 - 60 * d), round(170 - 140 * d), 255)
            else:
                body = (round(225 - 90 * d), round(225 - 90 * d), round(215 - 90 * d), 255)
            colour = blend(colour, body, bulb)
            ring = coverage(x, y, lambda px, py: r - 1.2 <= math.hypot(px - cx, py - cy) <= r)
            colour = blend(colour, (90, 80, 40, 255) if lit else (80, 80, 80, 255), ring * 0.8)
        base = coverage(x, y, lambda px, py: 11.5 <= px <= 20.5 and 22 <= py <= 30)
        if base:
            stripe = (120, 120, 125, 255) if int(y) % 2 else (165, 165, 170, 255)
            colour = blend(colour, stripe, base)
        return colour

    return size, size, pixel


def bank_switch(high):
    w, h = 48, 24

    def pixel(x, y):
        colour = (0, 0, 0, 0)
        track = coverage(x, y, lambda px, py: 3 <= px <= 45 and 6 <= py <= 18
                         or math.hypot(px - 9, py - 12) <= 6 or math.hypot(px - 39, py - 12) <= 6)
        colour = blend(colour, (70, 90, 130, 255) if high else (90, 110, 90, 255), track)
        kx = 33.0 if high else 15.0
        knob = coverage(x, y, lambda px, py: abs(px - kx) <= 11 and 2 <= py <= 22)
        if knob:
            shade = 245 - int(y) * 3
            colour = blend(colour, (shade, shade, shade, 255), knob)
            edge = coverage(x, y, lambda px, py: abs(px - kx) <= 11 and 2 <= py <= 22
                            and not (abs(px - kx) <= 10 and 3 <= py <= 21))
            colour = blend(colour, (60, 60, 60, 255), edge)
        # the grip lines on the knob
        for gx in (-4, 0, 4):
            g = coverage(x, y, lambda px, py: abs(px - (kx + gx)) <= 0.6 and 7 <= py <= 17)
            colour = blend(colour, (110, 110, 110, 255), g)
        return colour

    return w, h, pixel


# ---------------------------------------------------------------- sounds

RATE = 22050


def write_wav(path, samples):
    with wave.open(path, "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, round(s * 32767))))
                               for s in samples))


def tone(freqs, seconds, volume=0.5, attack=0.004, decay=None):
    """A tone (a list of (start_hz, end_hz) partials) with a short attack and a fade."""
    n = int(RATE * seconds)
    out = []
    phases = [0.0] * len(freqs)
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / attack) if attack else 1.0
        env *= math.exp(-t / decay) if decay else (1.0 - i / n)
        s = 0.0
        for k, (f0, f1) in enumerate(freqs):
            f = f0 + (f1 - f0) * i / n
            phases[k] += 2 * math.pi * f / RATE
            s += math.sin(phases[k])
        out.append(volume * env * s / len(freqs))
    return out


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def main():
    images = os.path.join(HERE, "images")
    os.makedirs(images, exist_ok=True)
    for name, art in (("lamp_off.png", lamp(False)), ("lamp_lit.png", lamp(True)),
                      ("bank_1_8.png", bank_switch(False)), ("bank_9_16.png", bank_switch(True))):
        w, h, pixel = art
        write_png(os.path.join(images, name), w, h, pixel)

    sounds = {
        "click.wav": tone([(2200, 1800)], 0.025, 0.45, 0.001, 0.006),
        "tick.wav": tone([(3200, 3000)], 0.015, 0.35, 0.001, 0.004),
        "rec.wav": tone([(660, 660), (990, 990)], 0.12, 0.4, 0.005, 0.05)
        + silence(0.03) + tone([(880, 880), (1320, 1320)], 0.12, 0.4, 0.005, 0.05),
        "tmrstart.wav": tone([(523, 523)], 0.1, 0.4, 0.005, 0.06)
        + tone([(659, 659)], 0.1, 0.4, 0.005, 0.06) + tone([(784, 784)], 0.16, 0.4, 0.005, 0.08),
        "expand.wav": tone([(300, 900)], 0.18, 0.35, 0.01, None),
    }
    for name, samples in sounds.items():
        write_wav(os.path.join(HERE, name), samples)


if __name__ == "__main__":
    main()
