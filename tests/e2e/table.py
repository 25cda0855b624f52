"""The end-to-end table both front-ends run (cases.json), and what their drivers share: its steps, crests found on
screen, waiting and failures."""
import json, pathlib, re, sys, time

TABLE = json.loads((pathlib.Path(__file__).parent / 'cases.json').read_text())
failures = []


def check(ok, what):
    ok or failures.append(what) or print('FAIL:', what, flush=True)


def wait_for(ready, seconds):
    end = time.monotonic() + seconds
    while not (ok := ready()) and time.monotonic() < end:
        time.sleep(0.05)
    return ok


def steps(text):
    """('wait', seconds, _), ('click', name, times) or ('type', name, text) for each step."""
    for step in text.split():
        name, times, typed, typing = re.fullmatch(r'([^*=]+)\*?(\d*)(=?)(.*)', step).groups()
        if re.fullmatch(r'[\d.]+', step):
            yield 'wait', float(step), None
        else:
            yield ('type', name, re.sub(r'(.)\*(\d+)', lambda m: m[1] * int(m[2]), typing)) if typed else \
                ('click', name, int(times or 1))


def crests(image, ratio):
    """Each colour's lowest row and the middle of its pixels there, in logical pixels; None if not drawn."""
    w, shown, found = image.width, list(image.convert('RGB').getdata()), []
    for colour in (255, 0, 0), (0, 255, 0), (0, 0, 255):
        row = (len(shown) - 1 - shown[::-1].index(colour)) // w if colour in shown else None
        xs = [x for x, p in enumerate(shown[row * w:(row + 1) * w]) if p == colour] if row is not None else None
        found.append(xs and ((xs[0] + xs[-1]) / 2 / ratio, row / ratio))
    return found


def crests_told(case, seen):
    """Whether each crest the case judges lies within 3 pixels of its place (x null: anywhere across), or within a
    [low, high] range: while the waves run, a curve sampled once a pixel tops out up to half a sample from its crest,
    which shortens a narrow wave by many pixels."""
    near = lambda g, v: v[0] <= g <= v[1] if isinstance(v, list) else abs(g - v) <= 3
    return all(not want or got and all(near(g, v) for g, v in zip(got, want) if v is not None)
               for want, got in zip(case['crests'], seen))


def finish():
    sys.exit(f'{len(failures)} failed' if failures else 0)
