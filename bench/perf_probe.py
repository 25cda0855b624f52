#!/usr/bin/python3
"""perf_probe: watches solitons and the floor program from outside on an X
display and prints make perf's table of targets.

It starts the programs as a user would (no arguments, no settings of their
own), finds their windows by the caption and counts their screen updates with
XDamage. Start-up runs from the start of the process to the first update that
shows the three curves. Then solitons and the floor run side by side; over
each measuring window their CPU time is compared, and once a second the plot
area is read back and the green crest located to a fraction of a pixel, to see
how fast t runs against the wall clock.
"""

import argparse
import os
import select
import statistics
import subprocess
import sys
import time

from Xlib import X, display
from Xlib.ext import damage

CAPTION = "Tarvelon 課題 8"
FLOOR_CAPTION = "solitons floor"
# The plot area within the window, in pixels: x, y, width, height.
PLOT = (8, 8, 609, 337)
# The design view: 228.375 units of x over 609 pixels. The green wave (k = 2)
# moves k^2 = 4 units of x per unit of t; the default Δt/s is 1.
UNITS_PER_PX = 228.375 / 609
GREEN_SPEED = 4
DT_PER_S = 1
RED, GREEN, BLUE = 0xFF0000, 0x00FF00, 0x0000FF
# A damage event whose level has this bit is followed by more rectangles of
# the same drawing request.
MORE = 0x80
# A few pages either way are the allocator's business, not growth.
RSS_SLACK_KB = 64


def cpu_seconds(pid):
    """Time on a CPU, summed over the process's threads, to the nanosecond."""
    total = 0
    tasks = f"/proc/{pid}/task"
    for task in os.listdir(tasks):
        with open(f"{tasks}/{task}/schedstat") as f:
            total += int(f.read().split()[0])
    return total * 1e-9


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def pixels_of(data, colour):
    """Indices of the pixels of exactly this colour in a 32-bit Z pixmap of a
    24-bit visual, whose bytes come blue, green, red, pad."""
    pattern = bytes((colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16))
    i = data.find(pattern)
    while i >= 0:
        if i % 4 == 0:
            yield i // 4
        i = data.find(pattern, i + 1)


def shows_frame(data):
    """A window that is mapped but not yet painted shows what lay beneath; a
    frame has all three curves in it."""
    return all(next(pixels_of(data, c), None) is not None for c in (RED, GREEN, BLUE))


def green_crest(data, width):
    """Horizontal position of the green crest in pixels of the plot area, or
    None. The crest is a narrow dip far below the rest of the curve; the
    centroid of its lowest 50 rows tracks it to a fraction of a pixel wherever
    it lies between two sample columns."""
    lowest = [-1] * width
    for i in pixels_of(data, GREEN):
        y, x = divmod(i, width)
        lowest[x] = max(lowest[x], y)
    deepest = max(lowest)
    if deepest < 0:
        return None
    threshold = deepest - 50
    centre = lowest.index(deepest)
    weights = [(x, lowest[x] - threshold) for x in range(max(0, centre - 30), min(width, centre + 31))]
    total = sum(w for _, w in weights if w > 0)
    return sum(x * w for x, w in weights if w > 0) / total if total else None


def slope(points):
    """Least-squares slope through (t, v) points and the RMS of the residuals."""
    mt = statistics.fmean(t for t, _ in points)
    mv = statistics.fmean(v for _, v in points)
    s = sum((t - mt) * (v - mv) for t, v in points) / sum((t - mt) ** 2 for t, _ in points)
    rms = statistics.fmean((v - mv - s * (t - mt)) ** 2 for t, v in points) ** 0.5
    return s, rms


class Observer:
    """One connection to the X server that hears of every top-level window and
    of every drawing request into it."""

    def __init__(self):
        self.d = display.Display()
        ext = self.d.query_extension("DAMAGE")
        if not ext.present:
            sys.exit("perf_probe: the X server has no DAMAGE extension")
        self.damage_notify = ext.first_event + damage.DamageNotifyCode
        # The version handshake comes before any other damage request.
        self.d.damage_query_version()
        self.root = self.d.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.net_wm_name = self.d.intern_atom("_NET_WM_NAME")
        self.utf8 = self.d.intern_atom("UTF8_STRING")
        self.d.flush()
        self.windows = {}  # caption -> window id
        self.on_damage = None  # called with (caption, event, time)
        self.on_map = None  # called with (caption, time)

    def caption(self, window):
        prop = window.get_full_property(self.net_wm_name, self.utf8)
        return prop.value.decode("utf-8", "replace") if prop else (window.get_wm_name() or "")

    def grab(self, caption):
        """The plot area of that window as bytes, four to a pixel."""
        x, y, w, h = PLOT
        window = self.d.create_resource_object("window", self.windows[caption])
        return window.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data

    def run_until(self, deadline, alive):
        while (now := time.monotonic()) < deadline:
            if not self.d.pending_events():
                select.select([self.d], [], [], min(deadline - now, 0.05))
            while self.d.pending_events():
                self.handle(self.d.next_event(), time.monotonic())
            for name, process in alive.items():
                if process.poll() is not None:
                    sys.exit(f"perf_probe: {name} ended early (status {process.returncode})")

    def handle(self, ev, when):
        if ev.type == X.CreateNotify and ev.parent.id == self.root.id:
            # Raw rectangles: one event per rectangle of each drawing request,
            # so that one update can be told from several.
            ev.window.damage_create(damage.DamageReportRawRectangles)
        elif ev.type == X.MapNotify:
            name = self.caption(ev.window)
            if name in (CAPTION, FLOOR_CAPTION) and name not in self.windows:
                self.windows[name] = ev.window.id
                if name == FLOOR_CAPTION:
                    # Both windows open at the top-left corner; one hidden
                    # under the other would draw nothing on the screen.
                    ev.window.configure(x=self.root.get_geometry().width // 2, y=0)
                if self.on_map:
                    self.on_map(name, when)
        elif ev.type == self.damage_notify:
            for name, wid in self.windows.items():
                if ev.drawable.id == wid and self.on_damage:
                    self.on_damage(name, ev, when)


def launch(program):
    # On this display through the toolkit's X11 backend, whatever the calling
    # shell had chosen for tests.
    env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
    return subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


def stop(*processes):
    for p in processes:
        p.terminate()
    for p in processes:
        p.wait()


def startup_ms(obs, program):
    """Wall-clock milliseconds from the start of the process to its first frame."""
    obs.windows = {}
    first = []

    def look(name, when):
        if name == CAPTION and not first and shows_frame(obs.grab(name)):
            first.append(when)

    obs.on_map = look
    obs.on_damage = lambda name, ev, when: None if ev.level & MORE else look(name, when)
    started = time.monotonic()
    app = launch(program)
    deadline = started + 15
    while not first and time.monotonic() < deadline:
        obs.run_until(min(deadline, time.monotonic() + 0.1), {"solitons": app})
    stop(app)
    obs.on_map = obs.on_damage = None
    if not first:
        sys.exit("perf_probe: no frame of solitons within 15 s")
    return (first[0] - started) * 1000


def side_by_side(obs, program, floor, seconds, windows, settle):
    """solitons and the floor at the same time; figures for each window."""
    obs.windows = {}
    tally = {}  # in the current window
    shots = []
    shot = {"next": None, "window_start": 0}

    def on_damage(name, ev, when):
        if name == CAPTION:
            area = ev.area
            tally["events"] = tally.get("events", 0) + 1
            tally["elsewhere"] = tally.get("elsewhere", 0) + ((area.x, area.y, area.width, area.height) != PLOT)
        if ev.level & MORE:
            return
        tally.setdefault(name, []).append(when)
        if name == CAPTION and shot["next"] is not None and when >= shot["next"]:
            # Straight after an update, so the shot shows the frame just presented.
            crest = green_crest(obs.grab(name), PLOT[2])
            if crest is not None:
                shots.append((when - shot["window_start"], crest))
            shot["next"] += 1.0

    obs.on_damage = on_damage
    app, flo = launch(program), launch(floor)
    alive = {"solitons": app, "floor": flo}
    deadline = time.monotonic() + 15
    while not (CAPTION in tally and FLOOR_CAPTION in tally):
        if time.monotonic() > deadline:
            stop(app, flo)
            sys.exit("perf_probe: solitons and the floor did not both show a frame within 15 s")
        obs.run_until(time.monotonic() + 0.1, alive)
    obs.run_until(time.monotonic() + settle, alive)

    r = {"ratios": [], "cpu": [], "floor_cpu": [], "rss": [], "frames": [], "floor_frames": [],
         "updates": 0, "events": 0, "elsewhere": 0, "shots": shots}
    for n in range(windows):
        tally.clear()
        start = time.monotonic()
        cpu0, floor0 = cpu_seconds(app.pid), cpu_seconds(flo.pid)
        if n == 0:
            r["rss"].append(rss_kb(app.pid))
            # The speed of t from the first window only: the green crest
            # leaves the plot area some 35 s after start.
            shot.update(next=start + 0.5, window_start=start)
        if n == 0:
            # Memory over the first window, as long as the figures have always
            # been taken; halfway to tell growth from caches that fill and stay.
            obs.run_until(start + seconds / 2, alive)
            r["rss"].append(rss_kb(app.pid))
        obs.run_until(start + seconds, alive)
        end = time.monotonic()
        if n == 0:
            r["rss"].append(rss_kb(app.pid))
        cpu, floor_cpu = cpu_seconds(app.pid) - cpu0, cpu_seconds(flo.pid) - floor0
        shot["next"] = None
        r["cpu"].append(100 * cpu / (end - start))
        r["floor_cpu"].append(100 * floor_cpu / (end - start))
        r["ratios"].append(cpu / floor_cpu if floor_cpu else float("inf"))
        for key, name in (("frames", CAPTION), ("floor_frames", FLOOR_CAPTION)):
            u = tally.get(name, [])
            # First to last update: the window's edges fall anywhere between two frames.
            r[key].append((len(u) - 1, u[-1] - u[0]) if len(u) > 1 else (0, end - start))
        r["updates"] += len(tally.get(CAPTION, []))
        r["events"] += tally.get("events", 0)
        r["elsewhere"] += tally.get("elsewhere", 0)
    stop(app, flo)
    return r


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("floor")
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--windows", type=int, default=3)
    parser.add_argument("--launches", type=int, default=5)
    parser.add_argument("--settle", type=float, default=1)
    parser.add_argument("--factor", type=float, help="curves against heights, from curve_bench")
    parser.add_argument("--wayland-rss-kb", type=int, help="VmRSS of solitons under a Wayland compositor")
    a = parser.parse_args()

    obs = Observer()
    # The first launch warms the page cache and the font caches and is not counted.
    startup_ms(obs, a.program)
    launches = sorted(startup_ms(obs, a.program) for _ in range(a.launches))
    r = side_by_side(obs, a.program, a.floor, a.seconds, a.windows, a.settle)

    failed = 0

    def row(metric, target, measured, ok=None):
        nonlocal failed
        failed += ok is False
        verdict = "—" if ok is None else ("pass" if ok else "FAIL")
        print(f"| {metric} | {target} | {measured} | {verdict} |")

    total = a.seconds * a.windows
    ratio = statistics.median(r["ratios"])
    fps = sum(n for n, _ in r["frames"]) / sum(s for _, s in r["frames"])
    floor_fps = sum(n for n, _ in r["floor_frames"]) / sum(s for _, s in r["floor_frames"])
    print("| metric | target | measured | result |")
    print("|---|---|---|---|")
    row(f"CPU of solitons ÷ CPU of the floor beside it, median of {a.windows} windows of {a.seconds:g} s",
        "≤ 1.3",
        f"{ratio:.2f} (" + ", ".join(f"{x:.2f}" for x in r["ratios"]) + "; solitons "
        + ", ".join(f"{x:.2f}" for x in r["cpu"]) + " %, floor " + ", ".join(f"{x:.2f}" for x in r["floor_cpu"])
        + f" % of one core; floor at {floor_fps:.2f} frames/s)",
        ratio <= 1.3)
    row("frames on screen per second (XDamage)", "25 ± 1 %",
        f"{fps:.3f} ({r['updates']} updates in {total:g} s)", 24.75 <= fps <= 25.25)
    events, elsewhere = r["events"], r["elsewhere"]
    row("damage notifications per update", "1, the plot area",
        f"{events / r['updates']:.2f} ({events} events, {elsewhere} elsewhere)",
        events == r["updates"] and elsewhere == 0)
    if len(r["shots"]) >= 2:
        px_per_s, rms = slope(r["shots"])
        rate = px_per_s * UNITS_PER_PX / GREEN_SPEED / DT_PER_S
        row("t per wall-clock second ÷ Δt/s (green crest)", "1 ± 1 %",
            f"{rate:.4f} ({px_per_s:.3f} px/s over {len(r['shots'])} shots, fit rms {rms:.2f} px)",
            0.99 <= rate <= 1.01)
    else:
        row("t per wall-clock second ÷ Δt/s (green crest)", "1 ± 1 %", "crest not found", False)
    median = statistics.median(launches)
    row("start to first frame on screen", "≤ 300 ms",
        f"median {median:.0f} ms, worst {launches[-1]:.0f} ms ({len(launches)} launches)", median <= 300)
    rss0, rss_mid, rss1 = r["rss"]
    row("VmRSS 1 s after the first frame", "≤ 80 MB", f"{rss0 / 1024:.1f} MB", 0 < rss0 <= 80 * 1024)
    row(f"VmRSS {a.seconds:g} s later", "≤ 80 MB, no growth",
        f"{rss1 / 1024:.1f} MB ({rss1 - rss0:+d} kB; {rss1 - rss_mid:+d} kB of it in the second half)",
        0 < rss1 <= 80 * 1024 and rss1 - rss0 <= RSS_SLACK_KB)
    if a.wayland_rss_kb is not None:
        diff = (a.wayland_rss_kb - rss0) / 1024
        row("VmRSS under native Wayland (headless weston, pixman)", "within 5 MB of X11's",
            f"{a.wayland_rss_kb / 1024:.1f} MB ({diff:+.1f} MB)", a.wayland_rss_kb > 0 and abs(diff) <= 5)
    if a.factor is not None:
        row("drawing the curves ÷ computing their heights (curve_bench)", "≤ 6", f"{a.factor:.2f}",
            0 < a.factor <= 6)
    if failed:
        print(f"\n{failed} target(s) missed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
