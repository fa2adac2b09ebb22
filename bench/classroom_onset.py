#!/usr/bin/python3
"""What a classroom hears: from a bell's due second to its sound leaving the sound server.

Starts a private PulseAudio server with a null sink and runs the program from a copy of the
program folder, playing through the default output (no TOLLVANE_AUDIO_SINK), with a bell every
3 s in WAV, MP3, WMA and MIDI in turn on real wall-clock seconds. Two parts are measured and
added: the program's (the due second to the ring line, written as the sound starts) and the
output's; and what is heard, from the sink's monitor recorded with parecord (the due second to
each bell's first loud sample). The output's part is as the server reports it for the playing stream while each bell plays (pactl's
"Buffer Latency", what pulsesink keeps queued: the program asks for a buffer-time of 40 ms and a
latency-time of 10 ms, plus "Sink Latency").

Usage: bench/classroom_onset.py [build folder] [rings]   (default build-rel, 20)
"""
import array
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import pulselib



def main():
    build = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else "build-rel")
    rings = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    work = tempfile.mkdtemp()
    os.chmod(work, 0o700)
    procs = []
    try:
        env = pulselib.start_server(work, procs)
        # Rows on real wall-clock seconds, 3 s apart, from 12 s after now; formats in turn.
        start = int(time.time()) + 12
        kinds = ["wav", "mp3", "wma", "mid"]
        due = [start + 3 * i for i in range(rings)]
        folder = pulselib.program_folder(
            build, work, [(t, f"Music/bell.{kinds[i % 4]}") for i, t in enumerate(due)])
        pulselib.start_program(folder, env, work, procs)
        # What the classroom hears: the sink's monitor, recorded from a second before the first.
        time.sleep(max(0.0, due[0] - 1 - time.time()))
        raw = os.path.join(work, "monitor.raw")
        recording_from = time.time()
        recorder = subprocess.Popen(
            ["parecord", "--device=bells.monitor", "--raw", "--format=s16le", "--rate=44100",
             "--channels=1", "--latency-msec=10", raw], env=env)
        procs.append(recorder)
        # While each bell plays, the server's own account of the stream's latency: what the
        # stream holds buffered ahead of the sink, and the sink's latency.
        latencies = []
        corked = []
        for t in due:
            time.sleep(max(0.0, t + 0.3 - time.time()))
            out = subprocess.run(["pactl", "list", "sink-inputs"], env=env, capture_output=True,
                                 text=True).stdout
            held = 0
            for block in out.split("Sink Input #")[1:]:
                fields = dict(line.strip().split(": ", 1) for line in block.splitlines()
                              if ": " in line)
                if fields.get("Corked") == "yes":
                    held += 1  # a bell made ready ahead: corked, its data already at the server
                    continue
                if "Buffer Latency" in fields and "Sink Latency" in fields:
                    latencies.append((float(fields["Buffer Latency"].split()[0]) +
                                      float(fields["Sink Latency"].split()[0])) / 1000)
            corked.append(held)
        time.sleep(1)
        recorder.terminate()
        recorder.wait(timeout=10)
        samples = array.array("h")
        with open(raw, "rb") as f:
            samples.frombytes(f.read())
        # Any sound at all: a MIDI bell through the synthesiser peaks at about 3 % of full scale.
        loud = [i for i, v in enumerate(samples) if abs(v) > 200]
        starts = loud[:1] + [b for a, b in zip(loud, loud[1:]) if b - a > 44100 * 0.3]
        heard = [(recording_from + i / 44100 - t) * 1000 for i, t in zip(starts, due)]
        with open(os.path.join(work, "log"), encoding="utf-8", errors="replace") as f:
            log = f.read()
        # The program's part: from the due second to the ring line, which is written right after
        # the sound was started (the fake-sink benchmark measures the first buffer itself).
        onsets = []
        for line in log.splitlines():
            parts = line.split(" ")
            if len(parts) > 2 and parts[1] == "ring":
                onsets.append(float(parts[0].split(":")[-1]) % 1 * 1000)

        def summary(values):
            values = sorted(values)
            p99 = values[min(len(values) - 1, int(len(values) * 0.99))]
            return (f"median {statistics.median(values):.1f} ms, p99 {p99:.1f} ms, "
                    f"worst {values[-1]:.1f} ms")

        print(f"through PulseAudio (null sink), {len(onsets)} of {rings} bells rang")
        if onsets:
            print(f"  due second to the sound started (ring line): {summary(onsets)}")
        if latencies:
            print(f"  stream buffer + sink latency at the server:  {summary(latencies)}")
        if len(heard) == len(due):
            print(f"  due second to the bell heard at the monitor:  {summary(heard)}")
            for k, kind in enumerate(kinds):
                print(f"    {kind}: {summary(heard[k::len(kinds)])}")
        else:
            print(f"  heard {len(heard)} of {len(due)} bells at the monitor")
        if onsets and latencies:
            print(f"  so a classroom hears a bell about {statistics.median(onsets) + statistics.median(latencies):.0f} ms "
                  "after its second (medians added)")
        print(f"  streams made ready ahead and corked at the server while a bell played: "
              f"{max(corked) if corked else 0} at most")
        print(f"  log: {log.count(' silent')} silent, {log.count(' error ')} errors")
        return 0 if onsets and latencies else 1
    finally:
        pulselib.end_all(procs)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
