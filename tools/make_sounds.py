#!/usr/bin/env python3
"""Generate Dorvane's user-interface sounds (16-bit mono PCM, 22050 Hz).

Every sound is synthesised here from simple oscillators and envelopes, so the
files in src/resources/sounds can be rebuilt at any time:

    python3 tools/make_sounds.py

Numbers 110-112 are deliberately unused.
"""

import math
import os
import random
import struct
import wave

RATE = 22050
PEAK = 0.5  # about -6 dBFS
OUT_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                        "..", "src", "resources", "sounds"))


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def tone(freq, seconds, wave_kind="sine", attack=0.005, release=0.03,
         decay=None, harmonics=None, glide_to=None, vibrato=0.0):
    """One note with an attack/release envelope.

    decay     -- optional exponential decay time constant (seconds)
    harmonics -- list of (multiple, gain) pairs added on top of the base
    glide_to  -- end frequency for a linear pitch glide
    """
    n = int(RATE * seconds)
    out = []
    phase = 0.0
    harmonics = harmonics or []
    for i in range(n):
        t = i / RATE
        f = freq if glide_to is None else freq + (glide_to - freq) * (i / max(1, n - 1))
        if vibrato:
            f *= 1.0 + vibrato * math.sin(2 * math.pi * 28 * t)
        phase += 2 * math.pi * f / RATE
        if wave_kind == "sine":
            s = math.sin(phase)
        elif wave_kind == "square":
            # softened square: a few odd harmonics only, keeps it buzzy but not harsh
            s = sum(math.sin(k * phase) / k for k in (1, 3, 5, 7)) * 0.9
        elif wave_kind == "saw":
            s = sum(math.sin(k * phase) / k * (-1) ** (k + 1) for k in range(1, 9)) * 0.6
        elif wave_kind == "triangle":
            s = sum((-1) ** ((k - 1) // 2) * math.sin(k * phase) / (k * k)
                    for k in (1, 3, 5, 7)) * (8 / math.pi ** 2)
        else:
            raise ValueError(wave_kind)
        for mult, gain in harmonics:
            s += gain * math.sin(mult * phase)
        env = 1.0
        if decay:
            env *= math.exp(-t / decay)
        out.append(s * env)
    return fade(out, attack, release)


def click(seconds, freq=3000.0, decay=0.004, noise=0.5, seed=1):
    """A short percussive click: a damped sine mixed with a burst of noise."""
    rnd = random.Random(seed)
    n = int(RATE * seconds)
    out = []
    prev = 0.0
    for i in range(n):
        t = i / RATE
        # first-order high-pass on the noise to keep it crisp
        raw = rnd.uniform(-1, 1)
        hp = raw - prev
        prev = raw
        s = (1 - noise) * math.sin(2 * math.pi * freq * t) + noise * 0.5 * hp
        out.append(s * math.exp(-t / decay))
    return fade(out, 0.0008, 0.004)


def fade(samples, attack, release):
    n = len(samples)
    a = max(1, int(RATE * attack))
    r = max(1, int(RATE * release))
    for i in range(min(a, n)):
        samples[i] *= i / a
    for i in range(min(r, n)):
        samples[n - 1 - i] *= i / r
    return samples


def mix(*tracks):
    n = max(len(t) for t in tracks)
    out = [0.0] * n
    for t in tracks:
        for i, s in enumerate(t):
            out[i] += s
    return out


def at(offset, samples):
    return silence(offset) + samples


def concat(*parts):
    out = []
    for p in parts:
        out.extend(p)
    return out


def write(number, samples):
    # guard the very ends against clicks, then normalise to the common peak
    samples = fade(list(samples), 0.002, 0.006)
    peak = max(abs(s) for s in samples) or 1.0
    samples = [s * PEAK / peak for s in samples]
    path = os.path.join(OUT_DIR, "%d.wav" % number)
    frames = b"".join(struct.pack("<h", int(round(max(-1.0, min(1.0, s)) * 32767)))
                      for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)
    print("%s  %.3f s" % (path, len(samples) / RATE))


def main():
    os.makedirs(OUT_DIR, exist_ok=True)

    # 101 navigate: a soft, short blip
    write(101, tone(1320, 0.07, "sine", attack=0.003, release=0.04, decay=0.03,
                    harmonics=[(2, 0.15)]) + silence(0.015))

    # 102 window opens: two rising chime notes (fifth apart, bell-like)
    bell = [(2.0, 0.25), (3.0, 0.08)]
    n1 = tone(784, 0.32, "sine", attack=0.004, release=0.08, decay=0.12, harmonics=bell)
    n2 = tone(1175, 0.26, "sine", attack=0.004, release=0.08, decay=0.12, harmonics=bell)
    write(102, mix(n1, at(0.09, n2)))

    # 103, 105, 116: neutral tones at slightly different pitches
    write(103, tone(660, 0.12, "sine", release=0.05, harmonics=[(2, 0.1)]))
    write(105, tone(740, 0.12, "sine", release=0.05, harmonics=[(2, 0.1)]))
    write(116, tone(587, 0.12, "sine", release=0.05, harmonics=[(2, 0.1)]))

    # 104 tab change: a light wooden click
    write(104, click(0.045, freq=2200, decay=0.006, noise=0.35, seed=4)
               + silence(0.04))

    # 106 lock: two quick low notes, the second lower and heavier, plus a thud
    low1 = tone(196, 0.09, "triangle", attack=0.002, release=0.03, decay=0.05,
                harmonics=[(2, 0.3)])
    low2 = tone(131, 0.14, "triangle", attack=0.002, release=0.05, decay=0.06,
                harmonics=[(2, 0.35)])
    thud = click(0.05, freq=90, decay=0.015, noise=0.25, seed=6)
    write(106, mix(concat(low1, silence(0.02)) + low2,
                   at(0.11, [s * 0.6 for s in thud])))

    # 107 alarm: three groups of double beeps
    beep = tone(1760, 0.07, "square", attack=0.003, release=0.012)
    gap = silence(0.05)
    group = concat(beep, gap, beep)
    write(107, concat(group, silence(0.18), group, silence(0.18), group,
                      silence(0.05)))

    # 108 refused: low, buzzy, falling tone
    write(108, tone(240, 0.32, "saw", attack=0.006, release=0.07,
                    glide_to=150, vibrato=0.01))

    # 109 list pick: short high blip
    write(109, tone(2093, 0.06, "sine", attack=0.002, release=0.035, decay=0.03,
                    harmonics=[(2, 0.1)]) + silence(0.02))

    # 113 toolbar click: very short, dry click
    write(113, click(0.025, freq=3400, decay=0.0025, noise=0.5, seed=13)
               + silence(0.055))

    # 114 search option: two-tone blip, high then higher
    b1 = tone(988, 0.06, "sine", attack=0.003, release=0.02, harmonics=[(2, 0.12)])
    b2 = tone(1319, 0.08, "sine", attack=0.003, release=0.04, decay=0.05,
              harmonics=[(2, 0.12)])
    write(114, concat(b1, silence(0.015), b2))

    # 115 alarm set: rising C-E-G arpeggio with a soft tail on the last note
    bell = [(2.0, 0.2), (3.0, 0.05)]
    a = tone(1047, 0.20, "sine", attack=0.004, release=0.06, decay=0.08, harmonics=bell)
    b = tone(1319, 0.20, "sine", attack=0.004, release=0.06, decay=0.08, harmonics=bell)
    c = tone(1568, 0.30, "sine", attack=0.004, release=0.10, decay=0.12, harmonics=bell)
    write(115, mix(a, at(0.08, b), at(0.16, c)))


if __name__ == "__main__":
    main()
