#!/usr/bin/python3
"""Crash recovery of the real program under Xvfb, as a bell PC meets it: the bell program is
killed with SIGSEGV right after a bell, five times in each of two runs (more in ten minutes would
stop the restarts). Prints the time from each crash to the restarted program's first tick, and
how late the bell due three seconds after each crash rang.

Usage: bench/restart.py [build folder]   (default build-rel; needs xvfb-run)"""
import datetime, os, shutil, signal, statistics, subprocess, sys, tempfile, time

build = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else "build-rel")


def stamp(line):
    return datetime.datetime.fromisoformat(line.split(" ", 1)[0])


def run(work, restarts, lateness):
    folder = os.path.join(work, "Tollvane")
    shutil.copytree(os.path.join(build, "Tollvane"), folder)
    shutil.rmtree(os.path.join(folder, "Logs"), ignore_errors=True)
    subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", os.path.join(folder, "Music/bell.wav"),
                    "synth", "0.3", "sine", "440"], check=True)
    rows = "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n" + "".join(
        f"8,0,{s},r{s},Music/bell.wav,1,1,1,1,1,1,1\n" for s in range(0, 33, 3))
    with open(os.path.join(work, "day.csv"), "w") as f:
        f.write(rows)
    subprocess.run([os.path.join(folder, "tollvane-table"), "import",
                    os.path.join(folder, "Data/temp.dat"), os.path.join(work, "day.csv")],
                   check=True, capture_output=True)
    with open(os.path.join(folder, "config.ini"), "w") as f:
        f.write("[Set]\nAuto_Play=1\n")
    env = dict(os.environ, TOLLVANE_NOW="2026-12-07T07:59:50", XDG_RUNTIME_DIR=work,
               TOLLVANE_AUDIO_SINK="fakesink sync=true")
    log_path = os.path.join(work, "log")
    with open(log_path, "w") as log:
        xvfb = subprocess.Popen(["xvfb-run", "-a", os.path.join(folder, "tollvane")], env=env,
                                stderr=log, start_new_session=True)
    try:
        def lines():
            with open(log_path) as f:
                return f.read().splitlines()

        def wait_for(text, seconds=20):
            deadline = time.time() + seconds
            while time.time() < deadline:
                for line in lines():
                    if text in line:
                        return line
                time.sleep(0.02)
            raise SystemExit(f"no line with {text!r}")

        def bell_pid():
            out = subprocess.run(["pgrep", "-f", f"^{folder}/tollvane --supervised"],
                                 capture_output=True, text=True).stdout.split()
            return int(out[-1]) if out else None

        for second in (0, 6, 12, 18, 24):
            wait_for(f" ring 08:00:{second:02d} ")
            os.kill(bell_pid(), signal.SIGSEGV)
            due = second + 3
            ring = wait_for(f" ring 08:00:{due:02d} ")
            lateness.append((stamp(ring) - stamp(ring).replace(second=due, microsecond=0))
                            .total_seconds() * 1000)
        wait_for(" ring 08:00:30 ")
        crashes = [stamp(l) for l in lines() if " crash " in l]
        resumes = [stamp(l) for l in lines() if " resume " in l]
        restarts += [(r - c).total_seconds() * 1000 for c, r in zip(crashes, resumes)]
    finally:
        os.killpg(xvfb.pid, signal.SIGTERM)
        xvfb.wait()


restarts, lateness = [], []
for _ in range(2):
    with tempfile.TemporaryDirectory() as work:
        run(work, restarts, lateness)
print(f"crash to the restarted program's first tick, {len(restarts)} crashes: "
      f"median {statistics.median(restarts):.0f} ms, worst {max(restarts):.0f} ms")
print(f"bell due 3 s after a crash rang late by: median {statistics.median(lateness):.0f} ms, "
      f"worst {max(lateness):.0f} ms")
