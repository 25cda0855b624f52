#!/usr/bin/python3
"""The real program on a private X server, and natively on Wayland in a weston nested there, driven by xdotool through
the end-to-end table it shares with the page, judged by the pixels of its window on screen.
Usage, on an X server of 1280 x 1024: test_desktop.py PROGRAM"""
import os, pathlib, re, shutil, subprocess, sys, tempfile, time
from PIL import Image
from Xlib import X, display
from table import TABLE, check, crests, crests_told, finish, steps, wait_for

HERE, DIR = pathlib.Path(__file__).parent, tempfile.TemporaryDirectory()
# Each control's place in logical pixels, from the window table's twips.
PLACES = {name: [int(v) // 15 for v in place] for name, *place in re.findall(
    r'\{Control::\w+, "([^"]+)", \w+, [^,]*, \w+, (\d+), (\d+), (\d+), (\d+),',
    (HERE.parents[1] / 'form/window_table.cpp').read_text())}
PATIENCE = 60  # seconds: as long as a machine busy building packages beside needs
BLACK = (0, 0, 0)


def xdotool(*args):
    return subprocess.run(['xdotool', *map(str, args)], capture_output=True, text=True).stdout.partition('\n')[0]


class Desktop:
    """A copy of the program under another name with the toolkit options given, at the pixel ratio: on X11 by the
    toolkit's scale factor, on Wayland as the output scale of a weston of its own."""

    def __init__(self, wayland, ratio, *args):
        self.wayland, self.ratio, self.origin, env = wayland, ratio, None, dict(os.environ, XDG_RUNTIME_DIR=DIR.name)
        self.session = 'wayland' if wayland else 'x11'
        renamed = shutil.copy(sys.argv[1], DIR.name + '/solitons-renamed')
        if wayland:
            self.weston = subprocess.Popen(['weston', '--backend=x11-backend.so', '--use-pixman', '--socket=e2e',
                                            f'--width={1260 // ratio}', f'--height={1000 // ratio}', f'--scale={ratio}',
                                            '-c', HERE / 'weston.ini'], env=env, stderr=subprocess.DEVNULL)
            self.window = xdotool('search', '--sync', '--classname', '^weston')
            env.update(WAYLAND_DISPLAY='e2e', QT_QPA_PLATFORM='wayland', WAYLAND_DEBUG='client')
        else:
            self.weston, env['QT_SCALE_FACTOR'] = None, str(ratio)
        # To a file: a pipe nobody reads while xdotool runs would fill with the protocol log and stall the program.
        self.log = open(DIR.name + '/stderr', 'w+')
        self.program = subprocess.Popen([renamed, *args], env=env, stderr=self.log)
        if not wayland:
            self.window = xdotool('search', '--sync', '--onlyvisible', '--pid', self.program.pid, '--name',
                                  '^Tarvelon 課題 8$')
        self.ready = self.located() and wait_for(self.laid_out, PATIENCE)

    def close(self):
        for p in (self.program, self.weston):
            p and (p.kill(), p.wait())

    def screen(self):
        window = display.Display().create_resource_object('window', int(self.window))
        g = window.get_geometry()
        return Image.frombytes('RGB', (g.width, g.height),
                               window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xffffffff).data, 'raw', 'BGRX')

    def grab(self, left=0, top=0, width=624, height=419, screen=None):
        """Part of the client area, in logical pixels."""
        r, (x, y) = self.ratio, self.origin
        return (screen or self.screen()).crop((x + left * r, y + top * r, x + (left + width) * r, y + (top + height) * r))

    def plot(self):
        return self.grab(8, 8, 609, 337)

    def located(self, was=None, seconds=PATIENCE):
        """Waits for the client area somewhere other than `was`, found by the plot area where most rows and columns are
        black, anywhere on weston's output; a window or output still black all over would put it off the image."""
        def found():
            screen = self.screen()
            mask = screen.convert('L').point(lambda v: 255 * (v == 0))
            rows, columns = mask.resize((1, mask.height), Image.BOX), mask.resize((mask.width, 1), Image.BOX)
            y = next((y for y in range(mask.height) if rows.getpixel((0, y)) * mask.width > 300 * 255 * self.ratio), -1)
            x = next((x for x in range(mask.width) if columns.getpixel((x, 0)) * mask.height > 150 * 255 * self.ratio), -1)
            self.origin = (x - 8 * self.ratio, y - 8 * self.ratio)
            return min(self.origin) >= 0 and screen.getpixel(self.origin) != BLACK and self.origin != was
        return wait_for(found, seconds)

    def laid_out(self):
        """The window of the pixel ratio's size (on X11 all the X window shows), black filling the plot area at (8, 8)
        and not one pixel beyond, the three curves in it."""
        screen = self.screen()
        count = lambda image: dict((c, n) for n, c in image.getcolors(1 << 24))
        above, plot = count(self.grab(0, 0, 624, 346, screen)), count(self.grab(8, 8, 609, 337, screen))
        return ((self.wayland or screen.size == (624 * self.ratio, 419 * self.ratio)) and above[BLACK] == plot[BLACK]
                and all(plot.get(c, 0) > 20 for c in ((255, 0, 0), (0, 255, 0), (0, 0, 255))))

    def click(self, x, y, times=1, at=None):
        """At (x, y) logical pixels from the client area's corner, or from `at` on screen; no times: only moves there."""
        ox, oy = at or self.origin
        xdotool('mousemove', '--window', self.window, ox + x * self.ratio, oy + y * self.ratio,
                *(('click', '--repeat', times, '--delay', 1, 1) if times else ()))

    def run(self, text):
        xdotool('mousemove', 1270, 1010)  # weston takes the pointer only once it has come in from outside
        for kind, name, arg in steps(text):
            if kind == 'wait':
                time.sleep(name)
                continue
            left, top, width, height = PLACES[name]
            self.click(left + width // 2, top + height // 2, arg if kind == 'click' else 1)
            if kind == 'type':
                xdotool('key', 'ctrl+a')
                xdotool('type', '--delay', 1, '--', arg)


def known_by_name(d):
    """What the desktop knows the program by, whatever its binary is called."""
    said = d.log.seek(0) or d.log.read() if d.wayland else subprocess.run(
        ['xprop', '-id', d.window, '_NET_WM_ICON', 'WM_CLASS'], capture_output=True, text=True).stdout
    check('set_app_id("invalid.solitons.solitons")' in said if d.wayland else
          'Icon (16 x 16)' in said and '"solitons"' in said, f'{d.session}: known as solitons')


def maximized(d):
    """Maximized from Qt's title bar on Wayland, the window runs on and keeps its layout at the top-left of the output.
    Qt 6.8 on weston 14 may lose a click soon after mapping, so it is given until the window moves."""
    was = d.origin
    check(wait_for(lambda: xdotool('mousemove', 1270, 1010) or d.click(587, -15, at=was) or d.located(was, PATIENCE / 6),
                   PATIENCE) and d.program.poll() is None, 'wayland: maximized')
    d.click(600, 440, 0)  # weston draws the pointer into its output: below the controls it covers nothing judged
    check(sum(d.origin) < 40 * d.ratio and wait_for(d.laid_out, PATIENCE), f'wayland: laid out maximized at {d.origin}')


def on_program(wayland, ratio, *tests, args=()):
    """Runs the program, and each test on it in turn."""
    d = Desktop(wayland, ratio, *args)
    try:
        check(d.ready, f'{d.session}: started at ratio {ratio} {args}')
        for test in tests if d.ready else ():
            test(d)
    finally:
        d.close()


def crests_where_told(case, d):
    d.run(case['steps'])
    seen = []
    check(wait_for(lambda: crests_told(case, seen.append(crests(d.plot(), d.ratio)) or seen[-1]), 10),
          f'{d.session}, {case["name"]}: crests {seen[-1]}')


for wayland in (False, True):
    band = []  # the toolkit's options change nothing
    on_program(wayland, 1, known_by_name, lambda d: band.append(d.grab(0, 346, 624, 73).tobytes()))
    on_program(wayland, 1, lambda d: check([d.grab(0, 346, 624, 73).tobytes()] == band, f'{d.session}: options'),
               args=('-reverse', '-style', 'windows', '-platform', 'offscreen'))
    for case in TABLE['cases']:
        on_program(wayland, 2, lambda d: crests_where_told(case, d))
    wayland and on_program(wayland, 2, maximized)
finish()
