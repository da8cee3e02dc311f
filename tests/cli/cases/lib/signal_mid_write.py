"""Runs a command-line run with its standard error on a terminal and sends it
SIGINT while it is inside a chip's write, without guessing at the timing.

When the line that ends with MARKER shows on the terminal, the helper stops the terminal's output
(as Ctrl-S does), so that the run's next line on standard error waits, and
sends the signal only once the run is seen waiting in that write (its system
call, in /proc); then it lets the terminal go on. With the note a run gives
as it opens the board for a marker, the line that waits is the write's own
first progress line (a run gives no other line between the two): the signal
lands after the write began and before the run ends it. The run must not get
through its whole write before the helper, woken by the note, stops the
terminal: a whole-chip write of a large chip takes hundreds of times longer.

  signal_mid_write.py LOG_OF_STDERR MARKER PROGRAM ARGS...   (standard output: inherited)
Before the marker the helper waits for each line of WAIT_AND_RUN (a file
of "TEXT<TAB>COMMAND" lines): when TEXT shows on standard error, COMMAND runs.
Prints nothing itself; exits with the run's status (128 + N for a signal N).
"""
import fcntl
import os
import pty
import re
import select
import signal
import subprocess
import sys
import termios
import time

log_path, marker, *command = sys.argv[1:]
steps = []
if os.environ.get("WAIT_AND_RUN"):
    with open(os.environ["WAIT_AND_RUN"], encoding="utf-8") as lines:
        steps = [line.rstrip("\n").split("\t", 1) for line in lines if line.strip()]

master, slave = pty.openpty()
stopper = os.open(os.ttyname(slave), os.O_WRONLY | os.O_NOCTTY)
child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stderr=slave,
                         preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
os.close(slave)
seen = b""
deadline = time.monotonic() + 120


def read_some():
    global seen
    if select.select([master], [], [], 1)[0]:
        seen += os.read(master, 65536)


def wait_for(text):
    while text.encode() not in seen:
        if time.monotonic() > deadline or child.poll() is not None:
            sys.exit(f"gave up waiting for {text!r}; the run said: {seen.decode(errors='replace')}")
        read_some()


for text, step in steps:
    wait_for(text)
    subprocess.run(step, shell=True, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
# The whole line: a line may reach the terminal in more than one write.
wait_for(marker + "\r\n")
# Stop the terminal's output, as Ctrl-S does: the run's next write waits.
termios.tcflow(stopper, termios.TCOOFF)


def writing_to_standard_error():
    try:
        with open(f"/proc/{child.pid}/syscall", encoding="ascii") as call:
            return call.read().startswith("1 0x2 ")  # write(2, ...)
    except OSError:
        return False


while not writing_to_standard_error():
    if time.monotonic() > deadline or child.poll() is not None:
        sys.exit("the run never waited for the terminal")
    time.sleep(0.01)
child.send_signal(signal.SIGINT)
# Give the terminal back: drain until the run ends and closes it.
termios.tcflow(stopper, termios.TCOON)
os.close(stopper)
while time.monotonic() < deadline:
    try:
        read_some()
    except OSError:
        break  # the run ended and closed the terminal
status = child.wait(timeout=max(1, deadline - time.monotonic()))
text = seen.decode(errors="replace").replace("\r\n", "\n")
# Progress lines are redrawn in place; what stays are the lines said.
progress = re.compile(r"^\S+: [0-9A-F]+h +\d+% +\d+:\d\d$")
with open(log_path, "w", encoding="utf-8") as log:
    for line in text.split("\n"):
        line = re.sub(r"^.*\r\x1b\[K", "", line).rstrip("\r")
        if line.strip() and not progress.match(line):
            log.write(line + "\n")
sys.exit(128 - status if status < 0 else status)
