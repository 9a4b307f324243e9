#!/usr/bin/env python3
"""Writes the program's named sounds as short synthesised 16-bit mono WAV files.

Each sound is a sum of decaying sine partials; run from this folder to
regenerate them (the output is deterministic)."""

import math
import struct
import wave

RATE = 22050

# name: (duration s, [(frequency Hz, amplitude, decay per s)], optional pitch glide factor)
SOUNDS = {
    "Basso": (0.35, [(110, 0.6, 8), (220, 0.3, 10)], 1.0),
    "Blow": (0.30, [(600, 0.4, 9), (900, 0.2, 12)], 0.7),
    "Bottle": (0.25, [(520, 0.6, 14), (1040, 0.15, 20)], 1.0),
    "Frog": (0.20, [(180, 0.5, 12), (360, 0.4, 14)], 1.3),
    "Funk": (0.25, [(260, 0.5, 12), (390, 0.3, 16)], 0.9),
    "Glass": (0.35, [(1760, 0.5, 10), (2640, 0.25, 14), (3520, 0.1, 18)], 1.0),
    "Hero": (0.35, [(523, 0.4, 6), (659, 0.3, 6), (784, 0.3, 6)], 1.05),
    "Morse": (0.12, [(800, 0.6, 4)], 1.0),
    "Ping": (0.30, [(1318, 0.6, 12), (2636, 0.15, 18)], 1.0),
    "Pop": (0.10, [(700, 0.7, 40), (350, 0.3, 45)], 0.6),
    "Purr": (0.30, [(90, 0.5, 6), (135, 0.3, 8)], 1.0),
    "Sosumi": (0.25, [(880, 0.4, 10), (1320, 0.3, 12)], 0.95),
    "Submarine": (0.35, [(330, 0.5, 6), (495, 0.2, 9)], 1.0),
    "Tink": (0.10, [(2800, 0.6, 40)], 1.0),
}


def render(duration, partials, glide):
    frames = int(RATE * duration)
    out = bytearray()
    phases = [0.0] * len(partials)
    for n in range(frames):
        t = n / RATE
        bend = glide ** (t / duration)
        attack = min(1.0, n / (RATE * 0.004))
        release = min(1.0, (frames - n) / (RATE * 0.01))
        value = 0.0
        for i, (freq, amp, decay) in enumerate(partials):
            phases[i] += 2 * math.pi * freq * bend / RATE
            value += amp * math.exp(-decay * t) * math.sin(phases[i])
        sample = max(-1.0, min(1.0, value * attack * release * 0.8))
        out += struct.pack("<h", int(sample * 32767))
    return bytes(out)


def main():
    for name, (duration, partials, glide) in SOUNDS.items():
        with wave.open(f"{name}.wav", "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(render(duration, partials, glide))


if __name__ == "__main__":
    main()
