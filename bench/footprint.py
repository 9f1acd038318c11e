#!/usr/bin/env python3
"""The window's start-up and footprint, measured from outside the program.

Run under an X server without a window manager (make bench uses xvfb-run).
For the sample bank and for the benchmarks' generated banks of 1,000,000 and
4,000,000 pairs it starts vellmar-quiz from a folder of its own that holds a
copy of the program, its plugins and the bank as data.dat, and
measures:

- exec -> the window mapped (the X server's MapNotify), -> the window first
  painted (its first damage report), -> the bank loaded (the program has
  opened data.dat and closed it again), and -> a real search result painted:
  a query typed once the bank has loaded and the window has painted the end
  of the load, up to the damage over its rows (the wait for that painting is
  not counted);
- keystroke -> result painted: from the XTEST key press that makes the query
  long enough to search, up to the X server's damage reports over both the
  tip line and the question list, for two queries found nowhere (one whose
  first two letters are rare in the bank, one whose first two letters are
  common) and for one that reaches 20 hits early;
- the proportional set size of the program and of every browser-engine
  process under it, 10 s after exec. Other programs that map the same
  libraries (another browser-engine program, on a shared machine) lower the
  kernel's figure (smaps_rollup), so where the kernel shows page frames (to
  root) each resident page is counted once, split among the tree's own
  processes that map it: the figure the tree has when it runs alone. Both
  are printed; the target is checked on the second;
- the CPU time (utime + stime) of the whole process tree over 30 s of idling.

Each figure is printed beside its target and the machine's load average
(over one minute) while it was taken: the machine may be shared.
"""

import argparse
import array
import collections
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

try:
    from Xlib import X, XK, display
    from Xlib.ext import damage
except ImportError:
    sys.exit("footprint.py: the Python X library is missing (Debian: python3-xlib)")

WINDOW_TITLE = "Vellmar答题器 v1.2"
# Places in the window's client area, in pixels (x, y, width, height).
WHOLE_WINDOW = (0, 0, 481, 313)
QUERY_BOX = (8, 32, 238, 25)
TIP_LINE = (8, 58, 276, 24)
QUESTION_LIST = (8, 80, 315, 164)

ABSENT_QUERY = "zgvd"         # in no bank: the whole bank is scanned
ABSENT_COMMON_QUERY = "ddvd"  # in no bank either, but "dd" stands in one question of two
EARLY_QUERY = "dsds"          # 20 hits within the first lines of every bank
GENERATED_PAIRS = (1_000_000, 4_000_000)
BANK_NAME = "data.dat"
PLUGIN_FOLDER = "plugins"  # the browser pane's and the text recogniser's plugins, beside the program

MB = 1e6
FRAME_MASK = (1 << 55) - 1
PAGEMAP_PIECE = 1 << 15  # entries read at a time
FOOTPRINT_AT = 10.0  # seconds after exec
IDLE_SPAN = 30.0
EVENT_TIMEOUT = 5.0
BANK_LOAD_TIMEOUT = 30.0
LOAD_POLL = 0.001
SETTLE_SPAN = 0.1
SIGN_BANK_BYTES = 8 << 20  # from this size on the window shows that the bank is loading

MAPPED_LIMIT = 0.3
KEYSTROKE_LIMIT = 1 / 60
# The query whose first two letters are common, by pairs of the bank.
COMMON_PAIR_LIMITS = {1_000_000: 0.008, 4_000_000: 0.016}
# exec -> a real result painted, by pairs of the bank.
FIRST_RESULT_LIMITS = {1_000_000: 0.5, 4_000_000: 1.2}
PSS_LIMIT = 75 * MB
NO_BROWSER_PSS_LIMIT = 45 * MB  # the window alone, started with --no-browser
# With the browser pane and the sample bank: the engine's own floor with a
# page shown is some 157-166 MB, so the first design's 75 MB cannot hold.
ENGINE_TREE_PSS_LIMIT = 165 * MB
PSS_PER_TEXT_BYTE = 1.2
IDLE_CPU_LIMIT = 0.01  # of one core


def intersects(area, rect):
    x, y, w, h = rect
    return area.x < x + w and x < area.x + area.width and area.y < y + h and y < area.y + area.height


class Screen:
    """The X server: new top-level windows, what gets painted, fake input."""

    def __init__(self):
        self.display = display.Display()
        # A window the program has just replaced may be gone by the time it is asked about.
        self.display.set_error_handler(lambda error, request: None)
        for extension in ("DAMAGE", "XTEST"):
            if not self.display.has_extension(extension):
                sys.exit(f"footprint.py: the X server lacks the {extension} extension")
        self.display.damage_query_version()
        self.root = self.display.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.display.sync()
        self.damage_event = self.display.extension_event.DamageNotify
        self.window = None

    def events(self, deadline):
        """Yields (event, time received) until the deadline passes."""
        while True:
            while self.display.pending_events():
                yield self.display.next_event(), time.monotonic()
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                return
            select.select([self.display], [], [], remaining)

    def drain(self):
        for _ in self.events(time.monotonic()):
            pass

    def _is_the_window(self, window):
        try:
            name = window.get_full_property(self.display.intern_atom("_NET_WM_NAME"),
                                            self.display.intern_atom("UTF8_STRING"))
        except Exception:  # the window may be gone already
            return False
        return name is not None and name.value.decode("utf-8", "replace") == WINDOW_TITLE

    def _follow(self, window):
        # A window that is replaced takes its damage object with it.
        self.window = window
        window.damage_create(damage.DamageReportRawRectangles)
        self.display.sync()

    def _replaced(self, event):
        """Follows the window when the program maps one with its title; tells
        whether the event was such a map."""
        if event.type == X.MapNotify and not event.override and self._is_the_window(event.window):
            self._follow(event.window)
            return True
        if event.type == X.DestroyNotify and self.window is not None and event.window.id == self.window.id:
            self.window = None
        return False

    def wait_for_window(self, deadline):
        """The time the window was first mapped, or None."""
        self.window = None
        for event, received in self.events(deadline):
            if self._replaced(event):
                return received
        return None

    def wait_for_paint(self, rects, deadline, whole_counts=True):
        """The time by which damage has covered a part of every rect, or None.
        Without whole_counts, a painting of the whole window (it was mapped
        or exposed) is not taken for a change of what it shows."""
        left = list(rects)
        for event, received in self.events(deadline):
            if self._replaced(event):
                left = list(rects)
            elif event.type == self.damage_event and self.window is not None \
                    and event.drawable.id == self.window.id \
                    and (whole_counts or (event.area.width, event.area.height) != WHOLE_WINDOW[2:]):
                left = [rect for rect in left if not intersects(event.area, rect)]
                if not left:
                    return received
        return None

    def wait_for_quiet(self, span, deadline):
        """The time once nothing has been painted for `span` seconds, or the deadline."""
        quiet_until = time.monotonic() + span
        while time.monotonic() < min(quiet_until, deadline):
            for event, received in self.events(min(quiet_until, deadline)):
                if event.type == self.damage_event:
                    quiet_until = received + span
                    break
        return time.monotonic()

    def focus_window(self):
        self.display.set_input_focus(self.window, X.RevertToParent, X.CurrentTime)
        self.display.sync()

    def click(self, rect):
        origin = self.window.translate_coords(self.root, 0, 0)
        x, y, w, h = rect
        self.display.xtest_fake_input(X.MotionNotify, x=-origin.x + x + w // 2, y=-origin.y + y + h // 2)
        self.display.xtest_fake_input(X.ButtonPress, 1)
        self.display.xtest_fake_input(X.ButtonRelease, 1)
        self.display.sync()

    def key(self, character, press=True, release=True):
        code = self.display.keysym_to_keycode(XK.string_to_keysym(character))
        if press:
            self.display.xtest_fake_input(X.KeyPress, code)
        if release:
            self.display.xtest_fake_input(X.KeyRelease, code)
        self.display.flush()

    def type(self, text):
        for character in text:
            self.key(character)
        self.display.sync()


class ProcessTree:
    """The program and every process started under it, read from /proc."""

    def __init__(self, root_pid):
        self.root_pid = root_pid

    def pids(self):
        children = {}
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                fields = self._stat(int(entry))
                if fields:
                    children.setdefault(int(fields[1]), []).append(int(entry))
        found, queue = [], [self.root_pid]
        while queue:
            pid = queue.pop()
            found.append(pid)
            queue.extend(children.get(pid, []))
        return found

    @staticmethod
    def _stat(pid):
        try:
            with open(f"/proc/{pid}/stat") as stat:
                return stat.read().rpartition(")")[2].split()
        except OSError:
            return None

    def cpu_seconds(self):
        """utime + stime of every live process, with those of its reaped children."""
        ticks = 0
        for pid in self.pids():
            fields = self._stat(pid)
            if fields:
                ticks += sum(int(value) for value in fields[11:15])
        return ticks / os.sysconf("SC_CLK_TCK")

    @staticmethod
    def role(pid):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                arguments = cmdline.read().decode("utf-8", "replace").split("\0")
        except OSError:
            return "?"
        for argument in arguments:
            if argument.startswith("--type="):
                kind = argument[len("--type="):]
                for other in arguments:
                    if other.startswith("--utility-sub-type="):
                        kind += " " + other.split("=", 1)[1].rpartition(".")[2]
                return "engine " + kind
        return os.path.basename(arguments[0]) if arguments and arguments[0] else "?"

    @staticmethod
    def pss_bytes(pid):
        try:
            with open(f"/proc/{pid}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        return int(line.split()[1]) * 1024
        except OSError:
            pass
        return 0

    @staticmethod
    def resident_frames(pid):
        """The page frames of every resident page the process maps, or None
        where the kernel does not show them (it does only to root)."""
        frames = []
        try:
            with open(f"/proc/{pid}/smaps") as smaps, open(f"/proc/{pid}/pagemap", "rb") as pagemap:
                span = None
                for line in smaps:
                    head = line.split(None, 1)[0]
                    if "-" in head and not head.endswith(":"):
                        span = tuple(int(value, 16) for value in head.split("-"))
                    elif head == "Rss:" and int(line.split()[1]) > 0:
                        frames.extend(ProcessTree._frames_in(pagemap.fileno(), *span))
        except OSError:
            return None
        if frames and not any(frames):
            return None
        return frames

    @staticmethod
    def _frames_in(pagemap, start, end):
        # Engine processes reserve gigabytes and use little of them: pieces of
        # the page map with nothing present are skipped whole.
        page = os.sysconf("SC_PAGE_SIZE")
        first, last = start // page, end // page
        for piece in range(first, last, PAGEMAP_PIECE):
            entries = os.pread(pagemap, min(PAGEMAP_PIECE, last - piece) * 8, piece * 8)
            if entries.count(0) == len(entries):
                continue
            yield from (entry & FRAME_MASK for entry in array.array("Q", entries) if entry >> 63)

    def footprint(self):
        """(pid, role, PSS, PSS counting only the tree's own sharing) of every process."""
        pids = self.pids()
        frames = {pid: self.resident_frames(pid) for pid in pids}
        alone = {pid: None for pid in pids}
        if all(frames[pid] is not None for pid in pids):
            sharers = collections.Counter(frame for pid in pids for frame in frames[pid])
            page = os.sysconf("SC_PAGE_SIZE")
            alone = {pid: page * sum(1 / sharers[frame] for frame in frames[pid]) for pid in pids}
        return [(pid, self.role(pid), self.pss_bytes(pid), self.pss_bytes(pid) if alone[pid] is None else alone[pid])
                for pid in pids]

    def end(self, process):
        pids = self.pids()
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        for pid in pids[1:]:
            try:
                os.kill(pid, 9)
            except ProcessLookupError:
                pass


class Start:
    """One start of the program from its folder, watched on the X server."""

    def __init__(self, screen, folder, options):
        self.screen = screen
        self.shows_sign = os.path.getsize(os.path.join(folder, BANK_NAME)) >= SIGN_BANK_BYTES
        self.load_average = os.getloadavg()[0]
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb")
        self.log = open(os.path.join(folder, "stderr.txt"), "w")
        self.exec_time = time.monotonic()
        self.process = subprocess.Popen([os.path.join(folder, "vellmar-quiz")] + options, env=environment,
                                        stdout=subprocess.DEVNULL, stderr=self.log)
        self.tree = ProcessTree(self.process.pid)
        self.mapped = self._since_exec(screen.wait_for_window(time.monotonic() + EVENT_TIMEOUT))
        self.painted = self.first_result = None
        if self.mapped is not None:
            self.painted = self._since_exec(screen.wait_for_paint([WHOLE_WINDOW], time.monotonic() + EVENT_TIMEOUT))
        self.loaded = None
        if self.painted is not None:
            self.loaded = self._since_exec(self._wait_for_load(time.monotonic() + BANK_LOAD_TIMEOUT))
        if self.loaded is not None:
            # What the end of the load paints (the tip line back from the
            # loading sign) is let pass first; the wait is not counted.
            settled = screen.wait_for_quiet(SETTLE_SPAN, time.monotonic() + EVENT_TIMEOUT)
            screen.focus_window()
            screen.click(QUERY_BOX)
            screen.type(EARLY_QUERY)
            shown = screen.wait_for_paint([TIP_LINE, QUESTION_LIST], time.monotonic() + EVENT_TIMEOUT,
                                          whole_counts=False)
            if shown is not None:
                self.first_result = self.loaded + (shown - settled)

    def _holds_bank(self):
        folder = f"/proc/{self.process.pid}/fd"
        try:
            links = [os.readlink(os.path.join(folder, fd)) for fd in os.listdir(folder)]
        except OSError:
            return False
        return any(os.path.basename(link) == BANK_NAME for link in links)

    def _wait_for_load(self, deadline):
        """The time the program closed its bank after reading it. A bank
        below the loading sign's size loads within a poll, and keys typed
        meanwhile wait for it without anything painted: it counts as loaded
        once the window is painted."""
        if not self.shows_sign:
            return time.monotonic()
        seen_open = False
        while time.monotonic() < deadline:
            if self._holds_bank():
                seen_open = True
            elif seen_open:
                return time.monotonic()
            time.sleep(LOAD_POLL)
        return None

    def _since_exec(self, moment):
        return None if moment is None else moment - self.exec_time

    def keystroke_latency(self, query):
        """From the press of the query's last key to the result painted."""
        self.screen.click(QUERY_BOX)
        self.screen.type(query[:-1])
        time.sleep(0.1)
        self.screen.drain()
        pressed = time.monotonic()
        self.screen.key(query[-1], release=False)
        painted = self.screen.wait_for_paint([TIP_LINE, QUESTION_LIST], time.monotonic() + EVENT_TIMEOUT,
                                             whole_counts=False)
        self.screen.key(query[-1], press=False)
        return None if painted is None else painted - pressed

    def wait_until(self, seconds_after_exec):
        self.screen.drain()
        time.sleep(max(0.0, self.exec_time + seconds_after_exec - time.monotonic()))
        self.screen.drain()

    def end(self):
        self.tree.end(self.process)
        self.log.close()


def measure_bank(screen, quiz, bank, starts, keystrokes, options=()):
    with tempfile.TemporaryDirectory(prefix="vellmar-footprint-") as folder:
        # The program finds its bank and its plugins beside its own
        # file, so they are copied, not linked.
        shutil.copy2(quiz, os.path.join(folder, "vellmar-quiz"))
        plugins = os.path.join(os.path.dirname(quiz), PLUGIN_FOLDER)
        if os.path.isdir(plugins):
            shutil.copytree(plugins, os.path.join(folder, PLUGIN_FOLDER))
        shutil.copy2(bank, os.path.join(folder, BANK_NAME))
        figures = {"mapped": [], "painted": [], "loaded": [], "first_result": [], "load_average": {}}
        for number in range(starts):
            start = Start(screen, folder, list(options))
            try:
                if start.mapped is None:
                    with open(os.path.join(folder, "stderr.txt")) as log:
                        sys.exit("footprint.py: the window never appeared; the program said:\n" + log.read())
                figures["mapped"].append(start.mapped)
                figures["painted"].append(start.painted)
                figures["loaded"].append(start.loaded)
                figures["first_result"].append(start.first_result)
                for key in ("mapped", "painted", "loaded", "first_result"):
                    figures["load_average"].setdefault(key, []).append(start.load_average)
                if number == starts - 1:
                    measure_running(start, keystrokes, figures)
            finally:
                start.end()
        return figures


def measure_running(start, keystrokes, figures):
    latencies = {ABSENT_QUERY: [], ABSENT_COMMON_QUERY: [], EARLY_QUERY: []}
    loads = []
    for _ in range(keystrokes):
        for query in latencies:
            latencies[query].append(start.keystroke_latency(query))
        loads.append(os.getloadavg()[0])
    figures["keystroke"] = latencies
    figures["load_average"]["keystroke"] = loads
    start.wait_until(FOOTPRINT_AT)
    figures["footprint"] = start.tree.footprint()
    figures["load_average"]["footprint"] = [os.getloadavg()[0]]
    before = start.tree.cpu_seconds()
    start.wait_until(FOOTPRINT_AT + IDLE_SPAN)
    figures["idle_cpu"] = (start.tree.cpu_seconds() - before) / IDLE_SPAN
    figures["load_average"]["idle_cpu"] = [os.getloadavg()[0]]


def median(values):
    seen = [value for value in values if value is not None]
    return statistics.median(seen) if seen else None


def worst(values):
    return None if None in values or not values else max(values)


def ms(value):
    return "not seen" if value is None else f"{value * 1000:.1f} ms"


def megabytes(value):
    return "unknown" if value is None else f"{value / MB:.1f} MB"


def verdict(value, limit):
    if value is None or limit is None:
        return ""
    return "holds" if value <= limit else "MISSED"


def print_report(banks):
    rows = []

    def row(label, key, show, limit_text, limit_of, taken="footprint"):
        cells = []
        for name, bank in banks:
            value = key(bank)
            limit = limit_of(bank)
            loads = bank["load_average"].get(taken)
            load = f" (load {statistics.mean(loads):.1f})" if loads else ""
            cells.append(f"{show(value)} {verdict(value, limit)}".strip() + load)
        rows.append([label] + cells + [limit_text])

    def alone(bank, column):
        values = [process[column] for process in bank["footprint"]]
        return None if None in values else values

    def total(column):
        return lambda bank: None if alone(bank, column) is None else sum(alone(bank, column))

    def engine(column):
        return lambda bank: None if alone(bank, column) is None else sum(alone(bank, column)[1:])

    def pss_limit(bank):
        if "pss_limit" in bank:
            return bank["pss_limit"]
        return PSS_LIMIT + PSS_PER_TEXT_BYTE * (bank["text_bytes"] or 0)

    never = lambda bank: None
    row("exec -> window mapped (median)", lambda b: median(b["mapped"]), ms,
        f"<= {MAPPED_LIMIT * 1000:.0f} ms", lambda b: MAPPED_LIMIT, "mapped")
    row("exec -> window painted (median)", lambda b: median(b["painted"]), ms, "", never, "painted")
    row("exec -> bank loaded (median)", lambda b: median(b["loaded"]), ms, "", never, "loaded")
    row("exec -> a real result painted (median)", lambda b: median(b["first_result"]), ms,
        "<= 500 ms at 1M, <= 1200 ms at 4M", lambda b: FIRST_RESULT_LIMITS.get(b["pairs"]), "first_result")
    for query, what in ((ABSENT_QUERY, f"{ABSENT_QUERY}, found nowhere, rare first pair"),
                        (ABSENT_COMMON_QUERY, f"{ABSENT_COMMON_QUERY}, found nowhere, common first pair"),
                        (EARLY_QUERY, f"{EARLY_QUERY}, 20 hits early")):
        if query == ABSENT_COMMON_QUERY:
            limit_text, limit_of = "<= 8 ms at 1M, <= 16 ms at 4M", lambda b: COMMON_PAIR_LIMITS.get(b["pairs"])
        else:
            limit_text, limit_of = f"<= {KEYSTROKE_LIMIT * 1000:.1f} ms", lambda b: KEYSTROKE_LIMIT
        row(f"keystroke -> painted, {what} (median)", lambda b, q=query: median(b["keystroke"][q]), ms,
            limit_text, limit_of, "keystroke")
        row(f"keystroke -> painted, {what} (worst)", lambda b, q=query: worst(b["keystroke"][q]), ms,
            "", never, "keystroke")
    row("PSS, main process", lambda b: b["footprint"][0][3], megabytes, "", never)
    row("PSS, browser-engine processes", engine(3), megabytes, "", never)
    row("PSS, whole tree", total(3), megabytes, "<= 75 MB + 1.2 x UTF-16 text", pss_limit)
    row("PSS, whole tree, as the kernel counts", total(2), megabytes, "", never)
    with_engine_alone = lambda b: b["pairs"] is None and "pss_limit" not in b  # the sample bank, with the browser
    row("PSS, whole tree with the browser, sample bank", lambda b: total(3)(b) if with_engine_alone(b) else None,
        lambda v: "" if v is None else megabytes(v), f"<= {megabytes(ENGINE_TREE_PSS_LIMIT)}",
        lambda b: ENGINE_TREE_PSS_LIMIT if with_engine_alone(b) else None)
    first = banks[0][1]

    def growth_per_text_byte(bank):
        if not bank["text_bytes"] or total(3)(bank) is None or total(3)(first) is None:
            return None
        return (total(3)(bank) - total(3)(first)) / bank["text_bytes"]

    row("PSS added over the sample bank / UTF-16 text", growth_per_text_byte,
        lambda v: "" if v is None else f"{v:.2f}", f"<= {PSS_PER_TEXT_BYTE}", lambda b: PSS_PER_TEXT_BYTE)
    row("CPU over 30 s idle, whole tree", lambda b: b["idle_cpu"], lambda v: f"{v * 100:.2f} %",
        f"<= {IDLE_CPU_LIMIT * 100:.0f} % of one core", lambda b: IDLE_CPU_LIMIT, "idle_cpu")

    header = ["Start-up and footprint"] + [name for name, _ in banks] + ["target"]
    widths = [max(len(line[column]) for line in rows + [header]) for column in range(len(header))]
    for line in [header] + rows:
        print("  ".join(cell.ljust(width) for cell, width in zip(line, widths)).rstrip())
    print()
    for name, bank in banks:
        text = f"UTF-16 text {megabytes(bank['text_bytes'])}, " if bank["text_bytes"] else ""
        print(f"{name}: {text}PSS limit {megabytes(pss_limit(bank))}; processes 10 s after exec:")
        for pid, role, pss, alone_pss in bank["footprint"]:
            print(f"  {role:<28} {megabytes(alone_pss)} ({megabytes(pss)} as the kernel counts)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--quiz", required=True, help="the vellmar-quiz program")
    parser.add_argument("--sample-bank", required=True, help="the sample bank data.dat")
    parser.add_argument("--bank-maker", required=True, help="the vellmar-bench-bank program")
    parser.add_argument("--bank-folder", required=True,
                        help="where the generated banks are kept between runs (the build's bench/banks)")
    parser.add_argument("--starts", type=int, default=3, help="starts per bank for the start-up times")
    parser.add_argument("--keystrokes", type=int, default=10, help="keystrokes timed per query")
    parser.add_argument("--pairs", type=int, nargs="*", default=GENERATED_PAIRS,
                        help="pairs of each generated bank (none: the sample bank only)")
    arguments = parser.parse_args()
    if "DISPLAY" not in os.environ:
        sys.exit("footprint.py: no X display; run it under xvfb-run")

    screen = Screen()
    flags = os.environ.get("QTWEBENGINE_CHROMIUM_FLAGS")
    print(f"vellmar-quiz start-up and footprint under {os.environ['DISPLAY']}"
          + (f", QTWEBENGINE_CHROMIUM_FLAGS={flags}" if flags else ""), flush=True)
    banks = []
    sample = measure_bank(screen, arguments.quiz, arguments.sample_bank, arguments.starts, arguments.keystrokes)
    sample["text_bytes"] = None  # its text is a few hundred kilobytes: the limit is the flat 75 MB
    sample["pairs"] = None
    banks.append(("sample bank", sample))
    # The window for players who never use the browser tab: no engine at all.
    alone = measure_bank(screen, arguments.quiz, arguments.sample_bank, arguments.starts, arguments.keystrokes,
                         ["--no-browser"])
    alone.update(text_bytes=None, pairs=None, pss_limit=NO_BROWSER_PSS_LIMIT)
    banks.append(("sample bank, --no-browser", alone))
    for pairs in arguments.pairs:
        banks.append(generated_bank(screen, arguments, pairs))
    print_report(banks)


def generated_bank(screen, arguments, pairs):
    # Made once and kept: the maker leaves a bank that holds the right bytes as it is.
    bank = os.path.join(arguments.bank_folder, f"bank-{pairs}.dat")
    os.makedirs(arguments.bank_folder, exist_ok=True)
    made = subprocess.run([arguments.bank_maker, str(pairs), bank], check=True, capture_output=True, text=True)
    counted, text_bytes = (int(value) for value in made.stdout.split())
    generated = measure_bank(screen, arguments.quiz, bank, arguments.starts, arguments.keystrokes)
    generated["text_bytes"] = text_bytes
    generated["pairs"] = counted
    return f"{counted:,} pairs", generated


if __name__ == "__main__":
    main()
