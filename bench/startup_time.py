#!/usr/bin/python3
"""Start-up time: from starting the program to its main window being mapped on the X display.

Run under an X server (for example `xvfb-run -a bench/startup_time.py build-rel/Tollvane`).
Each run starts the program on a fresh copy of the program folder and stops it with SIGTERM.
Prints the median and the worst of the runs in milliseconds.
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display

TITLE = "Tollvane V1.3.3"


def window_title(d, window):
    try:
        name = window.get_full_property(d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING"))
        if name is not None:
            return name.value.decode("utf-8", "replace")
        return window.get_wm_name() or ""
    except Exception:
        return ""


def one_run(folder, d):
    root = d.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    d.sync()
    env = dict(os.environ, TOLLVANE_AUDIO_SINK="fakesink sync=true", XDG_RUNTIME_DIR=folder)
    start = time.monotonic()
    process = subprocess.Popen([os.path.join(folder, "tollvane")], cwd=folder, env=env,
                               stderr=subprocess.DEVNULL)
    shown = None
    deadline = start + 10
    while shown is None and time.monotonic() < deadline:
        while d.pending_events():
            event = d.next_event()
            if event.type == X.MapNotify and TITLE in window_title(d, event.window):
                shown = time.monotonic()
                break
        if shown is None:
            time.sleep(0.001)
    process.send_signal(signal.SIGTERM)
    process.wait(timeout=15)
    return None if shown is None else (shown - start) * 1000


def main():
    built = sys.argv[1] if len(sys.argv) > 1 else "build-rel/Tollvane"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    d = display.Display()
    times = []
    for _ in range(runs):
        with tempfile.TemporaryDirectory() as tmp:
            folder = os.path.join(tmp, "Tollvane")
            shutil.copytree(built, folder, ignore=shutil.ignore_patterns("Logs", "config.ini"))
            os.chmod(tmp, 0o700)
            t = one_run(folder, d)
            if t is not None:
                times.append(t)
    if not times:
        print("start-up: the window never appeared")
        return 1
    print(f"process start to main window mapped, {len(times)} runs: "
          f"median {statistics.median(times):.0f} ms, worst {max(times):.0f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
