"""The end-to-end table both front-ends run (cases.json), and what their drivers share: reading its steps, finding
crests on screen, keeping failures."""
import json, pathlib, re

TABLE = json.loads((pathlib.Path(__file__).parent / 'cases.json').read_text())
COLOURS = (255, 0, 0), (0, 255, 0), (0, 0, 255)
failures = []


def check(ok, what):
    ok or failures.append(what) or print('FAIL:', what, flush=True)


def steps(text):
    """('wait', seconds, _), ('click', name, times) or ('type', name, text) for each step."""
    for step in text.split():
        name, times, typed, typing = re.fullmatch(r'([^*=]+)\*?(\d*)(=?)(.*)', step).groups()
        if re.fullmatch(r'[\d.]+', step):
            yield 'wait', float(step), None
        elif typed:
            yield 'type', name, re.sub(r'(.)\*(\d+)', lambda m: m[1] * int(m[2]), typing)
        else:
            yield 'click', name, int(times or 1)


def crests(image, ratio):
    """Each colour's lowest row and the middle of its pixels there, in logical pixels; None if not drawn."""
    w, shown, found = image.width, list(image.convert('RGB').getdata()), []
    for colour in COLOURS:
        if colour not in shown:
            found.append(None)
            continue
        row = (len(shown) - 1 - shown[::-1].index(colour)) // w
        xs = [x for x, p in enumerate(shown[row * w:(row + 1) * w]) if p == colour]
        found.append(((xs[0] + xs[-1]) / 2 / ratio, row / ratio))
    return found


def where_told(case, seen):
    """Whether each crest the case judges lies within 3 pixels of its place (x null: anywhere across)."""
    return all(not want or got and all(abs(g - v) <= 3 for g, v in zip(got, want) if v is not None)
               for want, got in zip(case['crests'], seen))
