#!/usr/bin/env python3
"""Whether a recording holds a stretch of a render, sample for sample.

    sound_match.py RECORDING RENDER [--from SECONDS] [--pieces N] [--need K]

Both are raw 16-bit little-endian stereo at 44.1 kHz (parecord --raw, oggdec
-R). The recording may start anywhere in the render, be quieter or louder,
and miss pieces (a sound server on a loaded machine drops buffers), so this
checks content, not continuity: from SECONDS into the recording on, every
half second, each of N pieces of a quarter of a second is looked for in the
render on its own (coarsely by the loudness of 10 ms blocks, then to the
sample), and the piece matches when its correlation with the render there
is at least 0.95 (a piece of a quarter of a second that correlates so with
the render at one sample's offset is that stretch of the render; another
theme, or the right one scrambled, gives well under 0.5). Prints one line a
piece; exits 0 when at least K of them match (half, unless told).
"""
import argparse
import array
import math
import sys

RATE = 44100
BLOCK = 441  # 10 ms
PIECE = RATE // 4


def mono(path):
    samples = array.array('h')
    with open(path, 'rb') as f:
        data = f.read()
    data = data[:len(data) // 4 * 4]
    samples.frombytes(data)
    if sys.byteorder != 'little':
        samples.byteswap()
    return [(samples[i] + samples[i + 1]) / 2 for i in range(0, len(samples), 2)]


def envelope(x):
    return [sum(abs(v) for v in x[i:i + BLOCK]) / BLOCK for i in range(0, len(x) - BLOCK + 1, BLOCK)]


def correlation(a, b):
    saa = sum(v * v for v in a)
    sbb = sum(v * v for v in b)
    if saa == 0 or sbb == 0:
        return 0.0
    return sum(x * y for x, y in zip(a, b)) / math.sqrt(saa * sbb)


def locate(piece, ref, ref_env):
    """The sample offset in ref where piece fits best, and how well."""
    env = envelope(piece)
    n = len(env)
    best = []
    for k in range(0, len(ref_env) - n):
        seg = ref_env[k:k + n]
        best.append((correlation(env, seg), k))
    best.sort(reverse=True)
    result = (0.0, 0)
    probe = piece[:1024]
    for _, k in best[:2]:
        lo = max(0, k * BLOCK - BLOCK)
        hi = min(len(ref) - len(piece), k * BLOCK + BLOCK)
        for off in range(lo, hi):
            c = correlation(probe, ref[off:off + len(probe)])
            if c > result[0]:
                result = (c, off)
    c, off = result
    return correlation(piece, ref[off:off + len(piece)]), off


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('recording')
    ap.add_argument('render')
    ap.add_argument('--from', dest='start', type=float, default=0.0)
    ap.add_argument('--pieces', type=int, default=6)
    ap.add_argument('--need', type=int)
    args = ap.parse_args()
    rec = mono(args.recording)
    ref = mono(args.render)
    ref = ref[:RATE * 40]  # the dive's first minutes, where a dive's start plays
    ref_env = envelope(ref)
    start = int(args.start * RATE)
    step = PIECE * 2
    found = []
    for p in range(args.pieces):
        at = start + p * step
        piece = rec[at:at + PIECE]
        if len(piece) < PIECE:
            print(f'piece {p}: the recording ends first')
            continue
        if max(abs(v) for v in piece) < 100:
            print(f'piece {p} at {at / RATE:.2f} s: silent (dropped)')
            continue
        corr, off = locate(piece, ref, ref_env)
        ok = corr >= 0.95
        print(f'piece {p} at {at / RATE:.2f} s: best at {off / RATE:.3f} s of the render, correlation {corr:.4f}'
              + ('' if ok else '  (no match)'))
        if ok:
            found.append((at, off))
    need = args.need if args.need is not None else (args.pieces + 1) // 2
    print(f'{len(found)} of {args.pieces} pieces found in the render (need {need})')
    return 0 if len(found) >= need else 1


if __name__ == '__main__':
    sys.exit(main())
