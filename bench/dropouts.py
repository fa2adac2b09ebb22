#!/usr/bin/python3
"""Gaps in what the classroom hears: a 60 s tone rung as a bell through a private PulseAudio
server (null sink), recorded from the sink's monitor with parecord.

A dropout is a stretch inside the tone where the recording is silent (every sample below 1 % of
the tone's amplitude) for longer than a sine's zero crossing can be: the server plays silence
when the stream underruns. Prints the longest such stretch and how many are over 1 ms and 5 ms.
Run it with the machine busy (for example the test suite with `ctest -j2` alongside) to see
whether the short output buffer holds.

Usage: bench/dropouts.py [build folder] [seconds] [--realtime-server]   (default build-rel, 60)
  --realtime-server  runs the sound server with real-time scheduling (needs the right to), as
                     rtkit gives it to PulseAudio and PipeWire on a desktop
"""
import array
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time
import wave

import pulselib

RATE = 44100
AMPLITUDE = 8000


def write_tone(path, seconds):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        step = 2 * math.pi * 440 / RATE
        w.writeframes(array.array("h", (int(AMPLITUDE * math.sin(step * i))
                                        for i in range(RATE * seconds))).tobytes())


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    realtime = "--realtime-server" in sys.argv
    build = os.path.realpath(args[0] if args else "build-rel")
    seconds = int(args[1]) if len(args) > 1 else 60
    work = tempfile.mkdtemp()
    os.chmod(work, 0o700)
    procs = []
    try:
        env = pulselib.start_server(work, procs, realtime)
        tone = os.path.join(work, "tone.wav")
        write_tone(tone, seconds)
        due = int(time.time()) + 15  # the start-up tune has ended before the recording starts
        folder = pulselib.program_folder(build, work, [(due, "Music/tone.wav")])
        shutil.move(tone, os.path.join(folder, "Music", "tone.wav"))
        pulselib.start_program(folder, env, work, procs)
        raw = os.path.join(work, "monitor.raw")
        time.sleep(max(0.0, due - 1 - time.time()))
        recorder = subprocess.Popen(
            ["parecord", "--device=bells.monitor", "--raw", "--format=s16le", f"--rate={RATE}",
             "--channels=1", "--latency-msec=20", raw], env=env)
        procs.append(recorder)
        time.sleep(max(0.0, due + seconds + 3 - time.time()))
        recorder.terminate()
        recorder.wait(timeout=10)
        samples = array.array("h")
        with open(raw, "rb") as f:
            samples.frombytes(f.read())
        quiet = AMPLITUDE // 100
        loud = [i for i, s in enumerate(samples) if abs(s) > quiet]
        if not loud:
            print("no tone was recorded")
            return 1
        first, last = loud[0], loud[-1]
        # The start-up tune may be in the recording too: the tone starts after the last
        # silence of half a second or more.
        for a, b in zip(loud, loud[1:]):
            if b - a > RATE // 2:
                first = b
        gaps = []
        where = []
        run = 0
        for i, s in enumerate(samples[first:last + 1]):
            if abs(s) <= quiet:
                run += 1
            else:
                if run:
                    gaps.append(run)
                    where.append(i / RATE)
                run = 0
        longest = max(gaps, default=0) * 1000 / RATE
        with open(os.path.join(work, "log"), encoding="utf-8", errors="replace") as f:
            rang = [line for line in f if " ring " in line or " error " in line]
        print("".join(rang), end="")
        print(f"tone through PulseAudio (null sink{', real-time server' if realtime else ''}), "
              "recorded from its monitor: "
              f"{(last - first) / RATE:.1f} s")
        print(f"  longest silent stretch inside the tone: {longest:.2f} ms "
              f"(a zero crossing alone is {2 * 1000 / RATE:.2f} ms)")
        long_ones = [f"{w:.2f} s" for g, w in zip(gaps, where) if g * 1000 / RATE > 5]
        if long_ones:
            print(f"  silent stretches over 5 ms end at: {', '.join(long_ones[:10])} into the tone")
        print(f"  silent stretches over 1 ms: {sum(g * 1000 / RATE > 1 for g in gaps)}, "
              f"over 5 ms: {sum(g * 1000 / RATE > 5 for g in gaps)}")
        return 0
    finally:
        pulselib.end_all(procs)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
