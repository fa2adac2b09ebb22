#!/usr/bin/python3
"""What a classroom hears: from a bell's due second to its sound leaving the sound server.

Starts a private PulseAudio server with a null sink and runs the program from a copy of the
program folder, playing through the default output (no TOLLVANE_AUDIO_SINK), with a bell every
3 s in WAV, MP3, WMA and MIDI in turn on real wall-clock seconds. Two parts are measured and
added: the program's (the due second to the ring line, written as the sound starts) and the
output's, as the server reports it for the playing stream while each bell plays (pactl's
"Buffer Latency", what pulsesink keeps queued with GStreamer's default buffer-time of 200 ms and
latency-time of 10 ms, plus "Sink Latency").

Usage: bench/classroom_onset.py [build folder] [rings]   (default build-rel, 20)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time



def main():
    build = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else "build-rel")
    rings = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    work = tempfile.mkdtemp()
    os.chmod(work, 0o700)
    procs = []
    try:
        run = os.path.join(work, "run")
        os.makedirs(run, mode=0o700)
        env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=run,
                   PULSE_SERVER=f"unix:{run}/pulse.sock")
        env.pop("TOLLVANE_AUDIO_SINK", None)
        procs.append(subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--load=module-null-sink sink_name=bells",
             f"--load=module-native-protocol-unix socket={run}/pulse.sock auth-anonymous=1"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        for _ in range(50):
            if subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        subprocess.run(["pactl", "set-default-sink", "bells"], env=env, check=True)

        folder = os.path.join(work, "Tollvane")
        shutil.copytree(os.path.join(build, "Tollvane"), folder,
                        ignore=shutil.ignore_patterns("Logs", "config.ini"))
        subprocess.run([os.path.join(build, "bench", "bench_make_media"), folder, "1000"],
                       check=True, capture_output=True)
        # Rows on real wall-clock seconds, 3 s apart, from 12 s after now; formats in turn.
        start = int(time.time()) + 12
        kinds = ["wav", "mp3", "wma", "mid"]
        due = [start + 3 * i for i in range(rings)]
        lines = ["时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日"]
        for i, t in enumerate(due):
            lt = time.localtime(t)
            lines.append(f"{lt.tm_hour},{lt.tm_min},{lt.tm_sec},b{i},Music/bell.{kinds[i % 4]},"
                         "1,1,1,1,1,1,1")
        with open(os.path.join(work, "day.csv"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        subprocess.run([os.path.join(folder, "tollvane-table"), "import",
                        os.path.join(folder, "Data", "temp.dat"), os.path.join(work, "day.csv")],
                       check=True, capture_output=True)
        with open(os.path.join(folder, "config.ini"), "w") as f:
            f.write("[Set]\nAuto_Play=1\n")
        procs.append(subprocess.Popen(
            ["xvfb-run", "-a", os.path.join(folder, "tollvane")], env=env,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "log"), "w")))
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
        if onsets and latencies:
            print(f"  so a classroom hears a bell about {statistics.median(onsets) + statistics.median(latencies):.0f} ms "
                  "after its second (medians added)")
        print(f"  streams made ready ahead and corked at the server while a bell played: "
              f"{max(corked) if corked else 0} at most")
        print(f"  log: {log.count(' silent')} silent, {log.count(' error ')} errors")
        return 0 if onsets and latencies else 1
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
