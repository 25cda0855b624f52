#!/usr/bin/python3
"""The page in headless Chromium at pixel ratios 1 and 2, driven as a user would, its frames against those the
desktop draws for the same state. Usage: test_page.py PAGE RENDER_FRAME"""
import base64, collections, json, pathlib, re, struct, subprocess, sys, tempfile, time, zlib
from selenium.common.exceptions import WebDriverException
from selenium.webdriver import Chrome, ChromeOptions, Keys
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.wait import WebDriverWait
from urllib3.exceptions import MaxRetryError

PAGE, RENDER = map(pathlib.Path, sys.argv[1:3])
HTML = PAGE.read_text()
HELP = re.findall(r'\{Kind::\w+, "(.*)"\}', (pathlib.Path(__file__).parents[2] / 'form/help_page.cpp').read_text())
TAB_ORDER = ['Δt/s (1秒あたりの t の変化)', '一時停止', 'グラフ2の k', 'グラフ2の C', 'グラフ1の k', 'グラフ1の C',
             'グラフ3の k', 'グラフ3の C', 'ヘルプ表示', '1', '2', '3', 'グラフを追わない', '水平軸の表示',
             '水平軸の文字も表示', '垂直軸の表示', '垂直軸の文字も表示', '極値の座標を表示', '→||←', '|← →|',
             't=0 / 設定適用']
RED, GREEN, BLUE, BLACK = b'\xff\0\0', b'\0\xff\0', b'\0\0\xff', b'\0\0\0'
# Steps: click a control, type into a box (id=text), or wait seconds. Each ends paused.
CASES = {
    'design inputs': 'ChkPause Command1',
    'k and C typed': 'ChkPause TxtK(0)=1 TxtK(1)=-2 TxtK(2)=0 TxtC(0)=2 TxtC(1)=0 TxtC(2)=0 Command1',
    'zoomed in': 'ChkPause CmdNarrow CmdNarrow CmdNarrow CmdNarrow Command1',
    'zoomed out, ticking': 'TxtDT=3.7 Command1 CmdWide CmdWide 0.5 ChkPause',
    'following graph 3': 'TxtDT=12.5 TxtC(2)=-7 Command1 OptChase(2) 0.7 ChkPause',
    'no numbers, no vertical axis': 'ChkPause ChkHoriLabel ChkVerAxis ChkMinLabel TxtK(1)=-0.3 Command1',
    'no horizontal axis': 'ChkPause ChkHoriAxis TxtC(1)=25.5 Command1',
    # Past the double range, no number, a comma, and more than the core's buffer holds at first.
    'unreadable inputs': 'ChkPause TxtDT=12.5 TxtK(1)=1e999 TxtK(2)=nan TxtC(0)=-1,5e+ TxtK(0)=' + '9' * 20000
                         + '８' * 20000 + ' Command1',
}
PROFILES = tempfile.TemporaryDirectory()  # a fresh one for each browser, all gone at the end
failures = []


def check(ok, what):
    ok or failures.append(what) or print('FAIL:', what)


def png_pixels(png):
    """Width, height and RGB pixels of an 8-bit RGB or RGBA PNG, not interlaced."""
    w, h, n = *struct.unpack('>II', png[16:24]), {b'\x08\x02\0\0\0': 3, b'\x08\x06\0\0\0': 4}[png[24:29]]
    chunks, at = [], 8
    while at < len(png):
        size, tag = struct.unpack('>I4s', png[at:at + 8])
        chunks += [png[at + 8:at + 8 + size]] * (tag == b'IDAT')
        at += size + 12
    raw, stride, out = zlib.decompress(b''.join(chunks)), n * w, bytearray((h + 1) * n * w)  # a row of 0 above
    for y in range(h):
        f, at = raw[y * (stride + 1)], stride * (y + 1)
        for i, v in enumerate(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)]):
            a, b, c = out[at + i - n] if i >= n else 0, out[at + i - stride], out[at + i - stride - n] if i >= n else 0
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            out[at + i] = v + (0, a, b, (a + b) // 2, a if pa <= pb and pa <= pc else b if pb <= pc else c)[f] & 255
    return w, h, re.findall(b'(...)' + b'.' * (n - 3), out[stride:], re.S)


def browser(ratio):
    options = ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    options.arguments.extend(('--headless=new --no-sandbox --disable-gpu --disable-background-networking --no-first-run'
                              ' --disable-component-update --disable-sync --window-size=800,600 --user-data-dir='
                              f'{PROFILES.name}/{ratio} --force-device-scale-factor={ratio}').split())
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    return Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def load(b):
    b.get(PAGE.resolve().as_uri())
    WebDriverWait(b, 30).until(lambda b: b.execute_script('return !!window.solitonsState'))  # the module starts after the load event


def run(b, steps):
    for step in steps.split():
        name, typed, text = step.partition('=')
        if re.fullmatch(r'[\d.]+', step):
            time.sleep(float(step))
        elif not typed:
            b.find_element(By.ID, name).click()
        else:  # over what was there; past 99 characters pasted, as key by key 40,000 would take half a minute
            b.find_element(By.ID, name).send_keys(Keys.CONTROL, 'a', Keys.NULL, text[:99])
            b.execute_cdp_cmd('Input.insertText', {'text': text[99:]})


def state(b):
    return json.loads(b.execute_script('return solitonsState()'))


def runs_on(b):
    t = state(b)['T']
    time.sleep(0.3)
    return state(b)['T'] > t


def compare(b, case):
    """The frame on the canvas against the desktop's for the state the page reports; texts may differ in their font."""
    s = state(b)
    url = b.execute_script("return document.getElementById('Picture1').toDataURL('image/png')")
    w, h, shown = png_pixels(base64.b64decode(url.split(',')[1]))
    frame = {'K': s['K'], 'C': s['C'], 'T': s['T'], 'ratio': s['DevicePixelRatio'],
             'scale': [s['ScaleLeft'], s['ScaleTop'], s['ScaleWidth'], s['ScaleHeight']],
             'switches': [s[n] for n in ('ChkHoriAxis', 'ChkHoriLabel', 'ChkVerAxis', 'ChkVerLabel', 'ChkMinLabel')]}
    with tempfile.TemporaryDirectory() as d:
        said = subprocess.run([RENDER, d + '/frame.ppm'], input=json.dumps(frame), capture_output=True, text=True,
                              check=True).stdout
        _, size, _, desktop = (pathlib.Path(d) / 'frame.ppm').read_bytes().split(b'\n', 3)
    desktop, boxes = re.findall(b'...', desktop, re.S), [json.loads(line) for line in said.splitlines()]
    check(size == f'{w} {h}'.encode(), f'{case}: frames {w} {h}, {size}')
    check([t[:2] for t in s['TextBoxes']] == [t[:2] for t in boxes], f'{case}: texts at {s["TextBoxes"]}, {boxes}')
    for x, y, bw, bh in s['TextBoxes'] + boxes:
        x0, x1 = (min(w, max(0, v)) for v in (x - 2, x + bw + 2))
        for at in range(max(0, y - 2) * w, min(h, y + bh + 2) * w, w):
            shown[at + x0:at + x1] = desktop[at + x0:at + x1] = [None] * (x1 - x0)
    wrong = [(i % w, i // w, p.hex(), q.hex()) for i, (p, q) in enumerate(zip(shown, desktop)) if p != q]
    print(f'ratio {frame["ratio"]}, {case}: {len(shown) - shown.count(None)} pixels compared, {len(wrong)} differ')
    check(not wrong, f'{case}: pixels (x, y, page, desktop) {wrong[:10]}')
    return shown


check(re.search(r'''http-equiv="Content-Security-Policy" content="[^"]*default-src 'none'[;"]''', HTML)
      and "'unsafe-inline'" not in HTML, 'Content-Security-Policy')
check(len(HTML.encode()) <= 400 * 1024, f'{len(HTML.encode())} bytes')


def at_ratio(b, ratio):
    load(b)
    opened = b.execute_script('''const c = document.getElementById('Picture1'), r = c.getBoundingClientRect();
        return [document.title, document.activeElement.id, r.x, r.y, r.width, r.height, c.width, c.height,
            document.getElementById('PicHelp').hidden];''')
    check(opened == ['Tarvelon 課題 8', 'Command1', 8, 8, 609, 337, 609 * ratio, 337 * ratio, True], f'{opened}')
    seen = collections.Counter(png_pixels(b.find_element(By.ID, 'Picture1').screenshot_as_png)[2])
    check(seen[BLACK] > 0.8 * seen.total() and min(seen[RED], seen[GREEN], seen[BLUE]) > 20 * ratio,
          f'plot on screen {seen.most_common(5)}')
    # The way round passes once through the browser, which has no name here.
    names = [b.switch_to.active_element.send_keys(Keys.TAB) or b.switch_to.active_element.accessible_name
             for _ in range(len(TAB_ORDER) + 1)]
    check([name for name in names if name] == TAB_ORDER, f'tab order {names}')

    run(b, 'ChkPause Command1')
    check(b.find_element(By.ID, 'Picture1').get_attribute('aria-description') == '頂点の座標: グラフ1 (赤) の頂点 '
          '(0,-0.50)、グラフ2 (緑) の頂点 (0,-2.0)、グラフ3 (青) の頂点 (0,-4.5)', 'crests told')
    run(b, 'ChkPause CmdHelp')
    help = b.find_element(By.ID, 'PicHelp')
    check(help.is_displayed() and not b.find_element(By.ID, 'Picture1').is_displayed() and
          b.find_element(By.ID, 'ChkPause').is_selected(), 'help shown, paused')
    # Each line whole inside the panel, on the row of its place among the page's lines.
    lines = b.execute_script('''const p = arguments[0].getBoundingClientRect();
        return [...arguments[0].children].map((s) => { const r = s.getBoundingClientRect();
            return [s.textContent, r.top, r.right <= p.right && r.bottom <= p.bottom]; });''', help)
    row = lambda y: round((y - lines[0][1]) / (lines[1][1] - lines[0][1])) + 1
    check([(t, i, True) for i, t in enumerate(HELP) if t] == [(t, row(y), inside) for t, y, inside in lines],
          f'help {lines}')
    run(b, 'ChkPause')
    check(not help.is_displayed() and runs_on(b), 'running on after the help')

    for case, steps in CASES.items():
        load(b)
        run(b, steps)
        shown = compare(b, case)
        if case.startswith('following'):  # the crest, lowest as u grows downwards, a third in
            crest = (len(shown) - 1 - shown[::-1].index(BLUE)) % (609 * ratio)
            check(abs(crest - 203 * ratio) <= 2 * ratio, f'followed crest at x = {crest}')

    b.execute_script('''const wide = document.getElementById('CmdWide'), narrow = document.getElementById('CmdNarrow');
        for (let i = 0; i < 400; ++i) (i % 3 ? wide : narrow).click();''')
    run(b, 'ChkPause')
    check(runs_on(b), 'running on after a storm of clicks')
    run(b, 'ChkPause')
    compare(b, '400 zoom presses')
    check(not (log := b.get_log('browser')), f'console {log}')


for ratio in (1, 2):
    # A driver that dies under a busy machine is tried once more, afresh; what the page did wrong stays a failure.
    for attempt in (1, 2):
        b, known = browser(ratio), len(failures)
        try:
            at_ratio(b, ratio)
            break
        except (MaxRetryError, WebDriverException) as e:
            del failures[known:]
            print(f'ratio {ratio}: the browser failed ({type(e).__name__}), attempt {attempt}')
            if attempt == 2:
                raise
        finally:
            try:
                b.quit()
            except (MaxRetryError, WebDriverException):
                pass
sys.exit(f'{len(failures)} failed' if failures else 0)
