"""Sound effects and the music, synthesised from code and encoded to Ogg
Vorbis with oggenc.

All sounds are 44.1 kHz. Effects are short, start and end with a short fade
(no clicks), and are levelled to about the same loudness with peaks kept
below -1 dBFS. The music is rendered into a circular buffer of a whole
number of bars: a note or echo that runs past the end continues at the
start, so the file loops without a seam.
"""

import math
import os
import subprocess
import tempfile
import wave

import numpy as np

from catalog import DATA, save_sound

RATE = 44100
PEAK_DBFS = -1.5        # headroom for the encoder; decoded peaks stay below -1 dBFS
MUSIC_PEAK_DBFS = -2.0   # the denser music gets more headroom for the encoder's overshoot
EFFECT_RMS_DBFS = -15.0  # loudness of the loudest 100 ms of each effect
MUSIC_RMS_DBFS = -18.0   # the music sits a little under the effects
OGG_QUALITY = "4"


def db(x):
    return 10 ** (x / 20.0)


def midi_hz(n):
    return 440.0 * 2 ** ((n - 69) / 12.0)


def t_axis(seconds):
    return np.arange(int(round(seconds * RATE))) / RATE


def env_adsr(n, attack, decay, sustain, release):
    """Envelope of n samples: attack/decay/release in seconds, sustain level 0..1."""
    e = np.full(n, sustain, np.float64)
    a, d, r = int(attack * RATE), int(decay * RATE), int(release * RATE)
    a = max(1, min(a, n))
    e[:a] = np.linspace(0, 1, a, endpoint=False)
    d = min(d, n - a)
    if d > 0:
        e[a:a + d] = 1 + (sustain - 1) * np.linspace(0, 1, d)
    r = min(r, n)
    if r > 0:
        e[n - r:] *= np.linspace(1, 0, r) ** 1.5
    return e


def env_exp(n, tau, attack=0.002):
    t = np.arange(n) / RATE
    e = np.exp(-t / tau)
    a = max(1, int(attack * RATE))
    e[:a] *= np.linspace(0, 1, a)
    return e


def one_pole_lowpass(x, cutoff):
    a = math.exp(-2 * math.pi * cutoff / RATE)
    y = np.empty_like(x)
    s = 0.0
    for i, v in enumerate(x):
        s = (1 - a) * v + a * s
        y[i] = s
    return y


def fade(x, fade_in=0.003, fade_out=0.02):
    x = x.copy()
    i, o = int(fade_in * RATE), int(fade_out * RATE)
    if i:
        x[:i] *= np.linspace(0, 1, i)
    if o:
        x[-o:] *= np.linspace(1, 0, o)
    return x


def bell(freq, seconds, tau, ratio=3.5, index=2.0):
    """A small FM bell: modulator at ratio x freq whose depth decays faster."""
    t = t_axis(seconds)
    mod = index * np.exp(-t / (tau * 0.4)) * np.sin(2 * math.pi * freq * ratio * t)
    return np.sin(2 * math.pi * freq * t + mod) * env_exp(len(t), tau)


def tone(freq, seconds, harmonics=(1.0,), vibrato=0.0, vib_rate=5.5, glide_to=None):
    t = t_axis(seconds)
    f = np.full(len(t), freq, np.float64)
    if glide_to is not None:
        f = freq * (glide_to / freq) ** (t / seconds)
    if vibrato:
        f = f * (1 + vibrato * np.sin(2 * math.pi * vib_rate * t))
    phase = 2 * math.pi * np.cumsum(f) / RATE
    out = np.zeros(len(t))
    for k, amp in enumerate(harmonics, start=1):
        out += amp * np.sin(k * phase)
    return out


def level_effect(x):
    """Scale so the loudest 100 ms has the target RMS, never letting the peak pass PEAK_DBFS."""
    win = int(0.1 * RATE)
    sq = np.concatenate([[0.0], np.cumsum(x.astype(np.float64) ** 2)])
    if len(x) > win:
        loudest = math.sqrt(max((sq[win:] - sq[:-win]) / win))
    else:
        loudest = math.sqrt(sq[-1] / max(len(x), 1))
    gain = db(EFFECT_RMS_DBFS) / max(loudest, 1e-9)
    peak = np.max(np.abs(x)) * gain
    if peak > db(PEAK_DBFS):
        gain *= db(PEAK_DBFS) / peak
    return x * gain


def soft_clip(x, drive=1.0):
    return np.tanh(x * drive) / math.tanh(drive)


# --- writing ---------------------------------------------------------------

def lead_in(x, seconds=0.002):
    """A few milliseconds of silence before an effect: the encoder's ringing
    around a sharp attack then stays tiny at the file's first sample."""
    return np.concatenate([np.zeros(int(seconds * RATE)), x])


def write_ogg(rel, samples, serial):
    """samples: float array (n,) or (n, 2) in -1..1. Writes data/rel as Ogg Vorbis."""
    if samples.ndim == 1:
        samples = samples[:, None]
    pcm = np.clip(np.round(samples * 32767), -32768, 32767).astype("<i2")
    path = os.path.join(DATA, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        with wave.open(wav, "wb") as w:
            w.setnchannels(pcm.shape[1])
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(pcm.tobytes())
        # a fixed serial number keeps the file identical from run to run
        subprocess.run(["oggenc", "-Q", "-q", OGG_QUALITY, "--serial", str(serial),
                        "-o", path, wav], check=True)
    return len(pcm)


# --- effects ---------------------------------------------------------------

def button_click():
    t = t_axis(0.09)
    body = tone(1400, 0.09, (1.0, 0.0, 0.25), glide_to=700) * env_exp(len(t), 0.018)
    rng = np.random.default_rng(11)
    tick = rng.standard_normal(len(t)) * env_exp(len(t), 0.003, attack=0.0005) * 0.5
    tick = one_pole_lowpass(tick, 5000)
    return fade(level_effect(body + tick), 0.003, 0.01)


def star_chime():
    """Three quick rising bell notes: the preloaded alternative pick-up sound."""
    out = np.zeros(int(0.62 * RATE))
    for k, n in enumerate((88, 91, 96)):  # E6, G6, C7
        b = bell(midi_hz(n), 0.62 - k * 0.06, 0.16, ratio=3.0, index=1.4) * (0.8 + 0.1 * k)
        s = int(k * 0.06 * RATE)
        out[s:s + len(b)] += b
    return fade(level_effect(out), 0.002, 0.06)


def star_pickup():
    """A bright two-note ping played when a star is collected."""
    out = np.zeros(int(0.45 * RATE))
    for k, (n, start) in enumerate(((83, 0.0), (88, 0.07))):  # B5 then E6
        d = 0.45 - start
        v = tone(midi_hz(n), d, (1.0, 0.0, 0.3, 0.0, 0.12)) * env_exp(int(round(d * RATE)), 0.11)
        v += 0.35 * bell(midi_hz(n + 12), d, 0.08, ratio=2.0, index=1.0)
        s = int(start * RATE)
        out[s:s + len(v)] += v * (0.8 if k == 0 else 1.0)
    return fade(level_effect(out), 0.002, 0.05)


def level_end():
    """A short rising fanfare that settles on a shimmering major chord."""
    total = 2.0
    out = np.zeros(int(total * RATE))
    notes = [(72, 0.0), (76, 0.11), (79, 0.22), (84, 0.33)]  # C5 E5 G5 C6
    for n, start in notes:
        d = 0.5 if n != 84 else total - start
        v = tone(midi_hz(n), d, (1.0, 0.45, 0.25, 0.12, 0.06), vibrato=0.003 if n == 84 else 0)
        v *= env_adsr(len(v), 0.01, 0.15, 0.55, min(0.3, d * 0.5))
        s = int(start * RATE)
        out[s:s + len(v)] += v * 0.6
    for n in (64, 67, 72):  # sustained chord under the last note
        d = total - 0.33
        v = tone(midi_hz(n), d, (1.0, 0.3, 0.1), vibrato=0.002) * env_adsr(int(round(d * RATE)), 0.05, 0.3, 0.5, 1.0)
        s = int(0.33 * RATE)
        out[s:s + len(v)] += v * 0.3
    for k, n in enumerate((96, 100, 103, 108)):  # sparkle on top
        b = bell(midi_hz(n), 0.8, 0.2, ratio=3.0, index=1.2) * 0.25
        s = int((0.4 + 0.08 * k) * RATE)
        out[s:s + len(b)] += b
    return fade(level_effect(soft_clip(out, 1.2)), 0.003, 0.25)


def bird_smack():
    """The knock-back: a dull thump, a slap of noise and an indignant squawk."""
    total = 0.42
    n = int(total * RATE)
    t = t_axis(total)
    thump = np.sin(2 * math.pi * np.cumsum(60 + 110 * np.exp(-t / 0.03)) / RATE) * env_exp(n, 0.07)
    rng = np.random.default_rng(23)
    slap = rng.standard_normal(n) * env_exp(n, 0.018, attack=0.0005)
    slap = one_pole_lowpass(slap, 3500) - one_pole_lowpass(slap, 400)
    squawk_d = 0.24
    sq = tone(950, squawk_d, (1.0, 0.6, 0.45, 0.3, 0.2, 0.12), vibrato=0.04, vib_rate=28, glide_to=520)
    sq *= env_adsr(len(sq), 0.01, 0.05, 0.7, 0.1)
    out = thump * 0.9 + slap * 1.6
    s = int(0.06 * RATE)
    out[s:s + len(sq)] += sq * 0.35
    return fade(level_effect(soft_clip(out, 1.5)), 0.004, 0.05)


# --- music -----------------------------------------------------------------

BPM = 120
BEAT = 60.0 / BPM
BARS = 32
MUSIC_SECONDS = BARS * 4 * BEAT           # 64 s, a whole number of samples
MUSIC_SAMPLES = int(round(MUSIC_SECONDS * RATE))

# chords per bar (root MIDI note and chord tones), 8-bar cycle: C G Am F / C Em F G
CYCLE = [(48, (60, 64, 67)), (43, (59, 62, 67)), (45, (60, 64, 69)), (41, (60, 65, 69)),
         (48, (60, 64, 67)), (40, (59, 64, 67)), (41, (60, 65, 69)), (43, (59, 62, 67))]

# melodies as (beat in the 8-bar phrase, length in beats, MIDI note)
PHRASE_A = [
    (0, 1, 76), (1, 0.5, 79), (1.5, 0.5, 81), (2, 1.5, 79), (3.5, 0.5, 76),
    (4, 1, 74), (5, 0.5, 76), (5.5, 0.5, 79), (6, 2, 74),
    (8, 1, 72), (9, 0.5, 76), (9.5, 0.5, 81), (10, 1.5, 84), (11.5, 0.5, 81),
    (12, 1, 81), (13, 1, 79), (14, 1, 77), (15, 1, 76),
    (16, 1, 76), (17, 0.5, 79), (17.5, 0.5, 84), (18, 1.5, 83), (19.5, 0.5, 79),
    (20, 1, 76), (21, 1, 79), (22, 2, 83),
    (24, 1, 81), (25, 0.5, 79), (25.5, 0.5, 77), (26, 1.5, 76), (27.5, 0.5, 77),
    (28, 1, 79), (29, 1, 74), (30, 1.5, 71), (31.5, 0.5, 74),
]
PHRASE_B = [
    (0, 0.5, 84), (0.5, 0.5, 83), (1, 0.5, 84), (1.5, 0.5, 88), (2, 2, 84),
    (4, 0.5, 83), (4.5, 0.5, 81), (5, 0.5, 83), (5.5, 0.5, 86), (6, 2, 83),
    (8, 0.5, 81), (8.5, 0.5, 79), (9, 0.5, 81), (9.5, 0.5, 84), (10, 1.5, 88), (11.5, 0.5, 86),
    (12, 1, 84), (13, 1, 81), (14, 2, 77),
    (16, 0.5, 79), (16.5, 0.5, 76), (17, 0.5, 79), (17.5, 0.5, 84), (18, 2, 88),
    (20, 0.5, 86), (20.5, 0.5, 83), (21, 0.5, 79), (21.5, 0.5, 83), (22, 2, 86),
    (24, 1, 84), (25, 1, 81), (26, 1, 77), (27, 1, 81),
    (28, 1.5, 79), (29.5, 0.5, 81), (30, 1, 83), (31, 1, 86),
]


class Loop:
    """A stereo circular buffer: anything written past the end wraps to the start."""

    def __init__(self, n):
        self.buf = np.zeros((n, 2))

    def add(self, start_seconds, mono, pan=0.0, gain=1.0):
        n = len(self.buf)
        s = int(round(start_seconds * RATE)) % n
        left = gain * math.cos((pan + 1) * math.pi / 4) * math.sqrt(2)
        right = gain * math.sin((pan + 1) * math.pi / 4) * math.sqrt(2)
        pos = 0
        while pos < len(mono):
            k = min(len(mono) - pos, n - s)
            self.buf[s:s + k, 0] += mono[pos:pos + k] * left
            self.buf[s:s + k, 1] += mono[pos:pos + k] * right
            pos += k
            s = 0


def lead_note(n, beats):
    d = beats * BEAT
    v = tone(midi_hz(n), d + 0.25, (1.0, 0.5, 0.3, 0.18, 0.1, 0.05), vibrato=0.004, vib_rate=5.0)
    return v * env_adsr(len(v), 0.012, 0.12, 0.7, 0.25)


def bass_note(n, beats):
    d = beats * BEAT
    v = tone(midi_hz(n), d, (1.0, 0.5, 0.2))
    return v * env_adsr(len(v), 0.005, 0.2, 0.6, 0.06)


def pad_chord(notes, beats):
    d = beats * BEAT
    out = 0
    for k, n in enumerate(notes):
        out = out + tone(midi_hz(n), d + 0.4, (1.0, 0.35, 0.2, 0.1), vibrato=0.002, vib_rate=4 + k * 0.7)
    return out * env_adsr(len(out), 0.3, 0.5, 0.8, 0.6)


def kick():
    d = 0.35
    t = t_axis(d)
    f = 48 + 90 * np.exp(-t / 0.035)
    return np.sin(2 * math.pi * np.cumsum(f) / RATE) * env_exp(len(t), 0.11)


def snare(rng):
    d = 0.22
    n = int(d * RATE)
    noise = rng.standard_normal(n)
    noise = noise - one_pole_lowpass(noise, 1200)
    body = tone(190, d, (1.0, 0.4)) * env_exp(n, 0.05)
    return noise * env_exp(n, 0.06) * 0.6 + body * 0.5


def hat(rng):
    d = 0.06
    n = int(d * RATE)
    noise = rng.standard_normal(n)
    noise = noise - one_pole_lowpass(noise, 6000)
    return noise * env_exp(n, 0.015, attack=0.0005)


def music():
    rng = np.random.default_rng(2024)
    loop = Loop(MUSIC_SAMPLES)
    bar = 4 * BEAT
    k_s, s_s, h_s = kick(), snare(rng), hat(rng)
    arp_pattern = [0, 1, 2, 1]
    for b in range(BARS):
        root, chord = CYCLE[b % 8]
        t0 = b * bar
        section = b // 8                   # 0: A, 1: B, 2: A, 3: B with more drive
        # pad: whole bar
        loop.add(t0, pad_chord(chord, 4), pan=0.0, gain=0.045)
        # bass: root on the beat, octave on the off-beat, fifth on beat 4
        for i in range(8):
            n = root + (12 if i % 2 else 0)
            if i == 6:
                n = root + 7
            loop.add(t0 + i * BEAT / 2, bass_note(n, 0.45), pan=0.0, gain=0.22 if i % 2 == 0 else 0.14)
        # sparkling arpeggio in sixteenths, two octaves up
        for i in range(16):
            n = chord[arp_pattern[i % 4] if i % 8 < 4 else (2 - arp_pattern[i % 4])] + 12
            v = bell(midi_hz(n), 0.35, 0.09, ratio=2.0, index=0.8)
            loop.add(t0 + i * BEAT / 4, v, pan=-0.45 + 0.9 * ((i % 4) / 3), gain=0.035 if section % 2 == 0 else 0.05)
        # drums
        for beat in range(4):
            if beat in (0, 2) or (section == 3 and beat == 3):
                loop.add(t0 + beat * BEAT, k_s, gain=0.42)
            if beat in (1, 3):
                loop.add(t0 + beat * BEAT, s_s, gain=0.17, pan=0.1)
            for half in (0, 1):
                loop.add(t0 + (beat + half * 0.5) * BEAT, h_s, pan=0.35, gain=0.05 if half else 0.035)
    # melody: A, B, A, B; the echo is written into the same circular buffer
    for p in range(4):
        phrase = PHRASE_A if p % 2 == 0 else PHRASE_B
        base = p * 8 * bar
        for beat, length, n in phrase:
            v = lead_note(n, length)
            loop.add(base + beat * BEAT, v, pan=0.0, gain=0.13)
            loop.add(base + (beat + 0.75) * BEAT, v, pan=0.5, gain=0.045)
            loop.add(base + (beat + 1.5) * BEAT, v, pan=-0.5, gain=0.02)
    x = loop.buf
    x = soft_clip(x / np.max(np.abs(x)) * 1.3, 1.0)
    gain = db(MUSIC_RMS_DBFS) / math.sqrt(np.mean(x ** 2))
    gain = min(gain, db(MUSIC_PEAK_DBFS) / np.max(np.abs(x)))
    return x * gain


EFFECTS = [
    ("Audio/AltStarCollect.ogg", star_chime, "Preloaded alternative star sound: three quick rising bell notes."),
    ("Audio/ButtonClick.ogg", button_click, "A button is clicked: a soft, short tick."),
    ("Audio/LevelEndSound.ogg", level_end, "The player reaches the level's exit: a rising fanfare on a bright chord."),
    ("Audio/BirdSmack.ogg", bird_smack, "The player is knocked back by a hazard: thump, slap and a bird's squawk."),
    ("Audio/Alt2StarCollect.ogg", star_pickup, "A star is collected: a bright two-note ping."),
]
MUSIC_PATH = "Audio/Rizoz ed Udavovi Vivid.ogg"


def generate():
    for serial, (rel, make, purpose) in enumerate(EFFECTS, start=1):
        n = write_ogg(rel, lead_in(make()), serial)
        save_sound(rel, "Sound", purpose, n / RATE)
    n = write_ogg(MUSIC_PATH, music(), 100)
    save_sound(MUSIC_PATH, "Sound",
               "The music (stereo): a cheerful flying tune, lead melody with echo, bell arpeggio, "
               "pad, bass and soft drums, %d bars at %d beats per minute; loops seamlessly." % (BARS, BPM),
               n / RATE, loop=True)
