#!/usr/bin/env python3
"""Writes the plug-in's click: an 854-byte RIFF/WAVE file, 8-bit mono PCM at
11025 Hz, 809 samples (about 73 ms) holding two short decaying bursts, the
second starting 27 ms in. Usage: MakeClick.py OUTPUT"""
import math
import struct
import sys

RATE = 11025
SAMPLES = 809
SECOND_BURST = round(0.027 * RATE)  # 298


def burst(n):
    # A 2.2 kHz tone that falls to a third of its height every 2.5 ms.
    return 100 * math.exp(-n / (0.0025 * RATE)) * math.sin(2 * math.pi * 2200 * n / RATE)


def sample(n):
    value = burst(n)
    if n >= SECOND_BURST:
        value += 0.7 * burst(n - SECOND_BURST)
    return max(0, min(255, 128 + round(value)))


data = bytes(sample(n) for n in range(SAMPLES))
fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
# The RIFF size leaves out the pad byte that evens the odd data chunk.
wave = b"RIFF" + struct.pack("<I", len(body)) + body + b"\0"
assert len(wave) == 854 and len(body) == 845
with open(sys.argv[1], "wb") as f:
    f.write(wave)
