#!/usr/bin/env python3
"""Hot key -> answers painted, and the memory reading the screen costs.

Runs the window's screen reading (tests' screen-reading-probe) on the X
display it is given (make bench runs it under xvfb-run) with a generated
bank: the area is dragged on the overlay with xdotool, then the hot key is
pressed again and again; the probe reports when lQ is painted after each.
The resident memory is read after the bank is loaded (before first use),
right after the readings, and once the worker has let the model go (a minute
without a reading). The machine's load average is printed beside the figures.
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True, help="the screen-reading-probe program")
    parser.add_argument("--bank-maker", required=True, help="the vellmar-bench-bank program")
    parser.add_argument("--pairs", type=int, default=1_000_000)
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--idle", type=float, default=65, help="seconds to wait for the model to be let go")
    arguments = parser.parse_args()

    with tempfile.TemporaryDirectory() as folder:
        bank = os.path.join(folder, "data.dat")
        subprocess.run([arguments.bank_maker, str(arguments.pairs), bank], check=True, stdout=subprocess.DEVNULL)
        environment = dict(os.environ, XDG_CONFIG_HOME=folder, QTWEBENGINE_DISABLE_SANDBOX="1")
        environment.pop("QT_QPA_PLATFORM", None)
        # A question the generated bank does not hold: the reading goes through
        # the whole ranking, as for a question OCR misread.
        probe = subprocess.Popen([arguments.probe, bank, "世界上面积最大的国家是哪个？"], env=environment,
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

        def expect(word):
            for line in probe.stdout:
                if line.startswith(word + " "):
                    return line[len(word) + 1:].rstrip("\n")
            raise SystemExit("the probe ended before saying " + word)

        def send(line):
            probe.stdin.write(line + "\n")
            probe.stdin.flush()

        def xdotool(*words):
            subprocess.run(["xdotool", *words], check=True)

        x, y, width, height = map(int, expect("game").split())
        send("rss")
        before = int(expect("rss"))
        xdotool("mousemove", str(x - 4), str(y - 4))
        xdotool("mousedown", "1")
        xdotool("mousemove", str(x + width + 4), str(y + height + 4))
        xdotool("mouseup", "1")
        expect("marked")
        times = []
        for _ in range(arguments.presses + 1):
            xdotool("key", "ctrl+alt+d")
            times.append(float(expect("painted").split("\t")[0]))
            time.sleep(0.2)
        send("rss")
        after = int(expect("rss"))
        load = open("/proc/loadavg").read().split()[0:3]
        time.sleep(arguments.idle)
        send("rss")
        idle = int(expect("rss"))
        # The next press loads the model again.
        xdotool("key", "ctrl+alt+d")
        reloaded = float(expect("painted").split("\t")[0])
        send("quit")
        probe.wait(10)

    first, rest = times[0], sorted(times[1:])
    print(f"{arguments.pairs} pairs, {arguments.presses} presses after the first; load average {' '.join(load)}")
    print(f"| figure | target | this run |")
    print(f"|---|---|---|")
    print(f"| hot key -> answers painted, median / worst | <= 120 ms | "
          f"{statistics.median(rest):.1f} / {rest[-1]:.1f} ms |")
    print(f"| first press (model loaded, index built) | - | {first:.0f} ms |")
    print(f"| first press after the model was let go (loaded again) | - | {reloaded:.1f} ms |")
    print(f"| resident memory before first use -> right after the readings | +0 MB / <= +50 MB | "
          f"{before / 1024:.1f} MB -> {after / 1024:.1f} MB (+{(after - before) / 1024:.1f} MB) |")
    print(f"| resident memory {arguments.idle:.0f} s after the last reading (model let go) | <= +50 MB | "
          f"{idle / 1024:.1f} MB (+{(idle - before) / 1024:.1f} MB) |")


if __name__ == "__main__":
    main()
