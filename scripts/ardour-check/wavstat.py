#!/usr/bin/env python3
"""Reads the float/PCM WAV files Ardour exported and prints level figures.

Usage: wavstat.py FILE [REFERENCE]
       wavstat.py --judge OUT_DIR FORMAT
The first form prints frames, channels, peak and RMS per channel and, with a
reference, the largest sample difference and the RMS of the difference. The
second compares the exports of one module run and prints RESULT lines.
"""
import math
import struct
import sys


def read_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise SystemExit(f"{path}: not a RIFF/WAVE file")
    pos, fmt, frames = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            tag, chans, rate, _, _, bits = struct.unpack_from("<HHIIHH", body)
            if tag == 0xFFFE:  # extensible: the sub-format's first word
                tag = struct.unpack_from("<H", body, 24)[0]
            fmt = (tag, chans, rate, bits)
        elif cid == b"data":
            frames = body
        pos += 8 + size + (size & 1)
    if fmt is None or frames is None:
        raise SystemExit(f"{path}: no fmt or data chunk")
    tag, chans, rate, bits = fmt
    if tag == 3 and bits == 32:
        vals = struct.unpack(f"<{len(frames) // 4}f", frames)
    elif tag == 1 and bits == 16:
        vals = [v / 32768.0 for v in struct.unpack(f"<{len(frames) // 2}h", frames)]
    elif tag == 1 and bits == 24:
        vals = [int.from_bytes(frames[i:i + 3], "little", signed=True) / 8388608.0
                for i in range(0, len(frames) - 2, 3)]
    else:
        raise SystemExit(f"{path}: unsupported format tag {tag} / {bits} bits")
    return rate, [list(vals[c::chans]) for c in range(chans)]


def rms(xs):
    return math.sqrt(sum(x * x for x in xs) / len(xs)) if xs else 0.0


def figures(path, ref_path=None):
    rate, chans = read_wav(path)
    out = {"frames": len(chans[0]), "rms": rms(chans[0]),
           "finite": all(math.isfinite(x) for ch in chans for x in ch)}
    if ref_path:
        _, ref = read_wav(ref_path)
        m = min(len(chans[0]), len(ref[0]))
        diffs = [a - b for c in range(min(len(chans), len(ref))) for a, b in zip(chans[c][:m], ref[c][:m])]
        q = m // 4
        out["maxdiff"] = max(abs(d) for d in diffs)
        out["rmsdiff"] = rms(diffs)
        out["head"] = rms([chans[0][i] - ref[0][i] for i in range(q)])
        out["tail"] = rms([chans[0][i] - ref[0][i] for i in range(m - q, m)])
    return out


def judge(outdir, fmt):
    failures = 0

    def result(ok, what):
        nonlocal failures
        failures += 0 if ok else 1
        print(f"RESULT {fmt} {'PASS' if ok else 'FAIL'} audio: {what}")

    def path(name):
        return f"{outdir}/{fmt}-{name}.wav"

    inp = path("input")
    ref = figures(inp)
    result(ref["rms"] > 0.1, f"test tone present (rms {ref['rms']:.4f})")
    for name, check in [
        ("default", "changed"), ("amount0-nosat", "same"), ("amount100-nosat", "changed"),
        ("square-lowpass", "changed"), ("automated-amount", "ramp"), ("stored", "changed"),
        ("restored", "changed"), ("removed", "same"),
    ]:
        try:
            f = figures(path(name), inp)
        except (OSError, SystemExit, ValueError) as err:
            result(False, f"{name}: unreadable export ({err})")
            continue
        desc = ", ".join(f"{k} {v:.5f}" if isinstance(v, float) else f"{k} {v}" for k, v in f.items())
        ok = f["finite"] and f["frames"] > 0
        if check == "same":
            ok = ok and f["maxdiff"] < 1e-5
        elif check == "changed":
            ok = ok and f["rms"] > 0.01 and f["rmsdiff"] > 0.003
        else:  # square modulation automated from 0 % to 100 %: far less change at the start
            ok = ok and f["rms"] > 0.01 and f["head"] < 0.5 * f["tail"]
        result(ok, f"{name} ({check}): {desc}")
    try:
        a, b = figures(path("stored")), figures(path("restored"))
        ratio = b["rms"] / a["rms"] if a["rms"] else 0.0
        result(0.8 < ratio < 1.25, f"restored session sounds like the stored one (rms ratio {ratio:.3f})")
    except (OSError, SystemExit, ValueError, ZeroDivisionError) as err:
        result(False, f"stored/restored comparison ({err})")
    return failures


def main():
    if sys.argv[1] == "--judge":
        sys.exit(1 if judge(sys.argv[2], sys.argv[3]) else 0)
    rate, chans = read_wav(sys.argv[1])
    n = len(chans[0])
    finite = all(math.isfinite(x) for ch in chans for x in ch)
    parts = [f"frames={n}", f"rate={rate}", f"channels={len(chans)}", f"finite={int(finite)}"]
    for i, ch in enumerate(chans):
        parts.append(f"peak{i}={max(abs(x) for x in ch):.6f}")
        parts.append(f"rms{i}={rms(ch):.6f}")
    if len(sys.argv) > 2:
        _, ref = read_wav(sys.argv[2])
        m = min(n, len(ref[0]))
        diffs = [a - b for c in range(min(len(chans), len(ref))) for a, b in zip(chans[c][:m], ref[c][:m])]
        parts.append(f"maxdiff={max(abs(d) for d in diffs):.6f}")
        parts.append(f"rmsdiff={rms(diffs):.6f}")
        # first and last quarter: where automation ramps the depth up
        q = m // 4
        head = [chans[0][i] - ref[0][i] for i in range(q)]
        tail = [chans[0][i] - ref[0][i] for i in range(m - q, m)]
        parts.append(f"rmsdiff_head={rms(head):.6f}")
        parts.append(f"rmsdiff_tail={rms(tail):.6f}")
    if len(chans) > 1:
        parts.append(f"lr_maxdiff={max(abs(a - b) for a, b in zip(chans[0], chans[1])):.6f}")
    print(" ".join(parts))


if __name__ == "__main__":
    main()
