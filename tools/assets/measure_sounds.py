#!/usr/bin/python3
"""Measures the game's Ogg Vorbis files as a player would hear them: each
file is decoded with oggdec and the decoded samples are measured.

For every file: channels, decoded length (samples and seconds), peak and
RMS level in dBFS, and the RMS of the loudest 100 ms; for one-shot sounds
the first and last sample (near zero: no click) and the peak of the first
and last millisecond. For looping files
(the music) also the loop seam: the jump from the last sample to the first,
next to the typical and largest jumps between neighbouring samples inside
the file. A seam jump no larger than the jumps inside the file means no
click when the music wraps.

Usage: /usr/bin/python3 tools/assets/measure_sounds.py [file.ogg ...]
(default: every .ogg under data/Audio). Exits non-zero if a file cannot be
decoded or peaks above -1 dBFS.
"""

import glob
import math
import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
LOOPING = {"Rizoz ed Udavovi Vivid.ogg"}
PEAK_LIMIT_DBFS = -1.0


def decode(path):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out.wav")
        subprocess.run(["oggdec", "-Q", "-o", out, path], check=True)
        with wave.open(out, "rb") as w:
            rate, ch, n = w.getframerate(), w.getnchannels(), w.getnframes()
            data = np.frombuffer(w.readframes(n), "<i2").astype(np.float64) / 32768.0
    return rate, data.reshape(-1, ch)


def dbfs(v):
    return 20 * math.log10(v) if v > 0 else float("-inf")


def measure(path):
    rate, x = decode(path)
    n = len(x)
    peak = np.max(np.abs(x))
    rms = math.sqrt(np.mean(x ** 2))
    win = max(1, min(n, int(0.1 * rate)))
    sq = np.concatenate([[0.0], np.cumsum(np.mean(x ** 2, axis=1))])
    loud = math.sqrt(max((sq[win:] - sq[:-win]) / win))
    r = {"file": os.path.relpath(path, ROOT), "rate": rate, "channels": x.shape[1], "samples": n,
         "seconds": n / rate, "peak_dbfs": dbfs(peak), "rms_dbfs": dbfs(rms),
         "loudest_100ms_dbfs": dbfs(loud)}
    edge = max(1, int(0.001 * rate))
    r["first_sample"] = float(np.max(np.abs(x[0])))
    r["last_sample"] = float(np.max(np.abs(x[-1])))
    r["start_1ms_peak"] = float(np.max(np.abs(x[:edge])))
    r["end_1ms_peak"] = float(np.max(np.abs(x[-edge:])))
    if os.path.basename(path) in LOOPING:
        d = np.abs(np.diff(x, axis=0))
        r["seam_jump"] = float(np.max(np.abs(x[0] - x[-1])))
        r["inner_jump_median"] = float(np.median(d))
        r["inner_jump_p99"] = float(np.percentile(d, 99))
        r["inner_jump_max"] = float(np.max(d))
        r["edge_abs_first_last"] = (float(np.max(np.abs(x[0]))), float(np.max(np.abs(x[-1]))))
    return r


def main(argv):
    files = argv[1:] or sorted(glob.glob(os.path.join(ROOT, "data", "Audio", "*.ogg")))
    ok = True
    for f in files:
        r = measure(f)
        line = ("%-40s %5d Hz %d ch %8d samples %7.3f s  peak %6.2f dBFS  RMS %6.2f dBFS  "
                "loudest 100 ms %6.2f dBFS" % (r["file"], r["rate"], r["channels"], r["samples"],
                                               r["seconds"], r["peak_dbfs"], r["rms_dbfs"],
                                               r["loudest_100ms_dbfs"]))
        print(line)
        if "seam_jump" not in r:
            # a one-shot sound must start and end at silence (a step there is a click);
            # the first and last millisecond show how fast it fades in and out
            print("    edges: |first sample| %.5f, |last sample| %.5f; peak of first 1 ms %.4f, of last 1 ms %.4f"
                  % (r["first_sample"], r["last_sample"], r["start_1ms_peak"], r["end_1ms_peak"]))
            if max(r["first_sample"], r["last_sample"]) > 0.01:
                print("    WARNING: the sound does not start or end near silence")
                ok = False
        if "seam_jump" in r:
            print("    loop seam: last->first jump %.5f; neighbour jumps inside: median %.5f, "
                  "99th percentile %.5f, max %.5f; |first| %.5f |last| %.5f"
                  % (r["seam_jump"], r["inner_jump_median"], r["inner_jump_p99"], r["inner_jump_max"],
                     *r["edge_abs_first_last"]))
            if r["seam_jump"] > r["inner_jump_p99"]:
                print("    WARNING: the seam jumps more than 99% of the file's own steps")
                ok = False
        if r["peak_dbfs"] > PEAK_LIMIT_DBFS:
            print("    WARNING: peak above %.1f dBFS" % PEAK_LIMIT_DBFS)
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
