#!/usr/bin/python3
"""Runs systemd's autostart generator over an autostart folder and prints the program argument
that systemd itself would pass to /usr/bin/env for the generated unit, or a line starting with
'<' when no usable unit comes out.

systemd parses the unit's ExecStart= with its own rules; to read that parse without a running
service manager, the argument is made the executable of a probe unit and `systemd-analyze verify`
names the (missing) file it would run."""
import os
import re
import subprocess
import sys
import tempfile

config_dirs, config_home = sys.argv[1], sys.argv[2]
generator = "/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator"
with tempfile.TemporaryDirectory() as out:
    env = dict(os.environ, XDG_CONFIG_DIRS=config_dirs, XDG_CONFIG_HOME=config_home)
    subprocess.run([generator, out, out, out], env=env, capture_output=True, check=False)
    units = [f for f in os.listdir(out) if f.endswith(".service")]
    if not units:
        print("<no unit>")
        sys.exit(0)
    with open(os.path.join(out, units[0]), encoding="utf-8") as unit:
        line = next(l.rstrip("\n") for l in unit if l.startswith("ExecStart="))
    match = re.match(r"ExecStart=:/usr/bin/env (.*)$", line)
    if not match:
        print("<unexpected " + line + ">")
        sys.exit(0)
    arg = match.group(1)
    arg = arg[:-1] + '.probe"' if arg.endswith('"') else arg + ".probe"
    probe = os.path.join(out, "probe.service")
    with open(probe, "w", encoding="utf-8") as unit:
        unit.write("[Service]\nType=oneshot\nExecStart=:" + arg + "\n")
    said = subprocess.run(["systemd-analyze", "verify", "--man=no", probe],
                          capture_output=True, text=True, check=False).stderr
    found = re.search(r"Command (.*)\.probe is not executable:|special characters: (.*)\.probe$",
                      said, re.M)
    if not found:
        print("<unreadable " + said.strip() + ">")
    elif "unknown escape" in said:
        print("<mangled " + (found.group(1) or found.group(2)) + ">")
    else:
        print(found.group(1) or found.group(2))
