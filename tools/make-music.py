#!/usr/bin/env python3
"""Composes the demo's music and writes it as MP3 files into games/demo/.

Each piece is a melody, a bass line and soft chords, synthesised note by note and written as a WAV file,
then encoded by lame (mono, 48 kbit/s). Every note fades out inside its own length and a piece is a whole
number of bars, so the piece starts and ends in silence and loops without a click. Needs python3-numpy
and lame (tools/install-tool-deps).
"""
import pathlib
import subprocess
import tempfile
import wave

import numpy as np

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "games" / "demo"
RATE = 22050
NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def freq(note):
    """"A4", "C#5", "Bb3" to a frequency in Hz."""
    name, rest = note[0], note[1:]
    shift = 0
    if rest and rest[0] in "#b":
        shift = 1 if rest[0] == "#" else -1
        rest = rest[1:]
    midi = 12 * (int(rest) + 1) + NAMES[name] + shift
    return 440.0 * 2 ** ((midi - 69) / 12)


def tone(f, seconds, kind, volume):
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    if kind == "bell":
        wave_ = np.sin(2 * np.pi * f * t) + 0.4 * np.sin(2 * np.pi * 2.76 * f * t) * np.exp(-t * 6)
        env = np.exp(-t * 3.0)
    elif kind == "pluck":
        wave_ = np.sin(2 * np.pi * f * t) + 0.5 * np.sin(4 * np.pi * f * t) + 0.2 * np.sin(6 * np.pi * f * t)
        env = np.exp(-t * 4.5)
    elif kind == "pad":
        wave_ = np.sin(2 * np.pi * f * t) + 0.3 * np.sin(2 * np.pi * f * 1.003 * t)
        env = np.minimum(1, t / 0.25)
    elif kind == "bass":
        wave_ = 2 / np.pi * np.arcsin(np.sin(2 * np.pi * f * t))
        env = np.exp(-t * 1.5)
    else:  # "flute": the singing voice of the melodies
        wave_ = np.sin(2 * np.pi * f * t + 0.15 * np.sin(2 * np.pi * 5 * t)) + 0.25 * np.sin(4 * np.pi * f * t)
        env = np.minimum(1, t / 0.05)
    # Every note ends in silence inside its own length, so notes never click against each other.
    release = min(n, int(0.08 * RATE))
    env[-release:] *= np.linspace(1, 0, release)
    return wave_ * env * volume


def voice(track, beat, kind, volume, bars_beats):
    """A track is a list of (note or None, beats); it is laid from the start of the piece."""
    out = np.zeros(int(bars_beats * beat * RATE) + 1)
    pos = 0.0
    for note, beats in track:
        if note:
            for one in note.split("+"):
                s = tone(freq(one), beats * beat, kind, volume)
                start = int(pos * beat * RATE)
                out[start:start + len(s)] += s[: len(out) - start]
        pos += beats
    assert abs(pos - bars_beats) < 1e-6, f"track of {pos} beats, piece of {bars_beats}"
    return out


def parse(text):
    """"E5:1 D5:.5 -:1" -> [("E5", 1), ("D5", .5), (None, 1)]."""
    track = []
    for word in text.split():
        note, beats = word.split(":")
        track.append((None if note == "-" else note, float(beats)))
    return track


def chords(names, beats_each):
    return [(c, beats_each) for c in names]


PIECES = {
    # The title: a slow waltz in D, a rising question and its answer.
    "opn": dict(
        tempo=84, beats=48,
        melody=("A4:1 D5:1 E5:1 F#5:2 E5:1 D5:1 B4:1 A4:1 D5:3 "
                "A4:1 D5:1 E5:1 F#5:1 A5:2 G5:1 F#5:1 E5:1 E5:3 "
                "F#5:1 A5:1 B5:1 A5:2 F#5:1 E5:1 D5:1 B4:1 A4:3 "
                "B4:1 D5:1 E5:1 F#5:2 E5:1 D5:3 -:3"),
        melody_kind="flute",
        bass=chords(["D3", "B2", "G2", "A2", "D3", "B2", "G2", "A2",
                     "B2", "G2", "E2", "A2", "G2", "A2", "D3", "D3"], 3),
        pad=chords(["D4+F#4+A4", "B3+D4+F#4", "G3+B3+D4", "A3+C#4+E4"] * 4, 3),
    ),
    # The town by day: a walking tune in C with a plucked accompaniment.
    "bgm": dict(
        tempo=108, beats=48,
        melody=("E5:1 G5:1 A5:.5 G5:.5 E5:1 D5:1 E5:.5 D5:.5 C5:2 "
                "D5:1 E5:1 G5:1 E5:1 D5:3 -:1 "
                "E5:1 G5:1 A5:.5 C6:.5 A5:1 G5:1 E5:1 D5:1 C5:1 "
                "D5:1 E5:1 D5:1 C5:4 -:1 "
                "A4:1 C5:1 D5:1 E5:1 G5:2 E5:2 D5:1 C5:1 A4:1 C5:1 C5:4"),
        melody_kind="pluck",
        bass=chords(["C3", "A2", "F2", "G2", "C3", "A2", "F2", "G2", "A2", "F2", "G2", "C3"], 4),
        pad=chords(["C4+E4+G4", "A3+C4+E4", "F3+A3+C4", "G3+B3+D4"] * 3, 4),
    ),
    # The staff roll: a warm hymn in F, long notes.
    "end": dict(
        tempo=72, beats=32,
        melody=("C5:2 F5:2 E5:1 D5:1 C5:2 A4:2 Bb4:1 C5:1 D5:4 "
                "C5:2 F5:2 G5:1 A5:1 G5:2 F5:2 E5:1 G5:1 F5:4"),
        melody_kind="flute",
        bass=chords(["F2", "D3", "Bb2", "C3", "F2", "D3", "C3", "F2"], 4),
        pad=chords(["F3+A3+C4", "D3+F3+A3", "Bb3+D4+F4", "C4+E4+G4",
                    "F3+A3+C4", "D3+F3+A3", "C4+E4+G4", "F3+A3+C4"], 4),
    ),
    # The lighthouse at night: bells in A minor over a low drone.
    "yoru": dict(
        tempo=66, beats=32,
        melody=("E5:2 -:1 C5:1 B4:2 -:1 A4:1 E5:2 -:1 G5:1 F5:3 -:1 "
                "E5:2 -:1 C5:1 D5:2 -:1 B4:1 A4:4 -:4"),
        melody_kind="bell",
        bass=chords(["A2", "F2", "A2", "D3", "A2", "G2", "A2", "A2"], 4),
        pad=chords(["A3+E4", "F3+C4", "A3+E4", "D3+A3", "A3+E4", "G3+D4", "A3+E4", "A3+E4"], 4),
    ),
    # The promise: a tender theme in G that climbs where the others fall.
    "ai": dict(
        tempo=76, beats=32,
        melody=("D5:1 G5:1 A5:1 B5:1 A5:2 G5:1 E5:1 D5:2 E5:1 G5:1 A5:4 "
                "B5:1 A5:1 G5:1 E5:1 D5:2 B4:1 D5:1 E5:1 D5:1 B4:1 A4:1 G4:4"),
        melody_kind="flute",
        bass=chords(["G2", "E2", "C3", "D3", "G2", "E2", "A2", "G2"], 4),
        pad=chords(["G3+B3+D4", "E3+G3+B3", "C4+E4+G4", "D4+F#4+A4",
                    "G3+B3+D4", "E3+G3+B3", "A3+C4+E4", "G3+B3+D4"], 4),
    ),
}


def render(piece):
    beat = 60 / piece["tempo"]
    total = piece["beats"]
    mix = voice(parse(piece["melody"]), beat, piece["melody_kind"], 0.5, total)
    mix += voice(piece["bass"], beat, "bass", 0.35, total)
    mix += voice(piece["pad"], beat, "pad", 0.09, total)
    mix = mix / np.max(np.abs(mix)) * 0.8
    return (mix * 32767).astype(np.int16)


def main():
    with tempfile.TemporaryDirectory() as tmp:
        for name, piece in PIECES.items():
            pcm = render(piece)
            wav = pathlib.Path(tmp) / f"{name}.wav"
            with wave.open(str(wav), "wb") as w:
                w.setnchannels(1)
                w.setsampwidth(2)
                w.setframerate(RATE)
                w.writeframes(pcm.tobytes())
            mp3 = OUT / f"{name}.mp3"
            subprocess.run(["lame", "--quiet", "-m", "m", "-b", "48", "--tt", f"ルメナ {name}",
                            "--ta", "ルメナ制作室", str(wav), str(mp3)], check=True)
            print(f"{mp3.name}: {len(pcm) / RATE:.1f} s, {mp3.stat().st_size // 1024} KB")


if __name__ == "__main__":
    main()
