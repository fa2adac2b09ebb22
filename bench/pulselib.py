"""What the benchmarks that play through a sound server share: a private PulseAudio server with
a null sink named "bells", and a copy of the program folder with a timetable on real seconds."""
import os
import shutil
import subprocess
import time


def start_server(work, procs, realtime=False):
    """Starts the server in `work`; returns the environment that reaches it. `realtime` runs it
    with round-robin real-time scheduling, as a desktop's sound server gets it from rtkit."""
    run = os.path.join(work, "run")
    os.makedirs(run, mode=0o700)
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=run,
               PULSE_SERVER=f"unix:{run}/pulse.sock")
    env.pop("TOLLVANE_AUDIO_SINK", None)
    procs.append(subprocess.Popen(
        (["chrt", "-r", "20"] if realtime else []) + ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
         "--load=module-null-sink sink_name=bells",
         f"--load=module-native-protocol-unix socket={run}/pulse.sock auth-anonymous=1"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    for _ in range(50):
        if subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode == 0:
            break
        time.sleep(0.1)
    subprocess.run(["pactl", "set-default-sink", "bells"], env=env, check=True)
    return env


def program_folder(build, work, rows, media_ms=1000):
    """Copies the program folder into `work` with the benchmark's sounds and a working table of
    `rows` ((epoch second, sound) pairs), ringing on; returns the folder."""
    folder = os.path.join(work, "Tollvane")
    shutil.copytree(os.path.join(build, "Tollvane"), folder,
                    ignore=shutil.ignore_patterns("Logs", "config.ini"))
    subprocess.run([os.path.join(build, "bench", "bench_make_media"), folder, str(media_ms)],
                   check=True, capture_output=True)
    lines = ["时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日"]
    for i, (t, sound) in enumerate(rows):
        lt = time.localtime(t)
        lines.append(f"{lt.tm_hour},{lt.tm_min},{lt.tm_sec},b{i},{sound},1,1,1,1,1,1,1")
    with open(os.path.join(work, "day.csv"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    subprocess.run([os.path.join(folder, "tollvane-table"), "import",
                    os.path.join(folder, "Data", "temp.dat"), os.path.join(work, "day.csv")],
                   check=True, capture_output=True)
    with open(os.path.join(folder, "config.ini"), "w") as f:
        f.write("[Set]\nAuto_Play=1\n")
    return folder


def start_program(folder, env, work, procs):
    procs.append(subprocess.Popen(
        ["xvfb-run", "-a", os.path.join(folder, "tollvane")], env=env,
        stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "log"), "w")))


def end_all(procs):
    """Ends what the benchmark started, by its process id, newest first."""
    for p in reversed(procs):
        p.terminate()
        try:
            p.wait(timeout=10)
        except subprocess.TimeoutExpired:
            p.kill()
