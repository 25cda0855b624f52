#!/usr/bin/python3
"""The page in headless Chromium at pixel ratios 1 and 2, driven as a user would through the end-to-end table it shares
with the desktop, its frames against those the desktop draws for the same state. Usage: test_page.py PAGE RENDER_FRAME"""
import contextlib, io, json, pathlib, re, subprocess, sys, tempfile, time
from PIL import Image
from selenium.common.exceptions import WebDriverException
from selenium.webdriver import Chrome, ChromeOptions, Keys
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.wait import WebDriverWait
from urllib3.exceptions import MaxRetryError

sys.path.insert(0, str(pathlib.Path(__file__).parents[1] / 'e2e'))
from table import TABLE, check, crests, crests_told, failures, finish, steps

PAGE, RENDER = map(pathlib.Path, sys.argv[1:3])
HTML = PAGE.read_text()
HELP = re.findall(r'\{Kind::\w+, "(.*)"\}', (pathlib.Path(__file__).parents[2] / 'form/help_page.cpp').read_text())
PROFILES = tempfile.TemporaryDirectory()  # a fresh one for each browser, all gone at the end


def image(png):
    return Image.open(io.BytesIO(png)).convert('RGB')


def browser(ratio):
    options = ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    options.arguments.extend(('--headless=new --no-sandbox --disable-gpu --disable-background-networking --no-first-run'
                              ' --disable-component-update --disable-sync --window-size=800,600 --user-data-dir='
                              f'{PROFILES.name}/{ratio} --force-device-scale-factor={ratio}').split())
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    return Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def load(b):  # the module starts after the load event
    b.get(PAGE.resolve().as_uri())
    WebDriverWait(b, 30).until(lambda b: b.execute_script('return !!window.solitonsState'))


def run(b, text):
    for kind, name, arg in steps(text):
        if kind == 'wait':
            time.sleep(name)
        elif kind == 'click':  # many presses at once, as fast as a user never could
            b.execute_script('for (let i = 0; i < arguments[1]; ++i) arguments[0].click();', b.find_element(By.ID, name), arg)
        else:  # over what was there; past 99 characters pasted, as key by key thousands would take long
            b.find_element(By.ID, name).send_keys(Keys.CONTROL, 'a', Keys.NULL, arg[:99])
            b.execute_cdp_cmd('Input.insertText', {'text': arg[99:]})


def state(b):
    return json.loads(b.execute_script('return solitonsState()'))


def runs_on(b):
    t = state(b)['T']
    time.sleep(0.3)
    return state(b)['T'] > t


def compare(b, case, page):
    """The frame on screen against the desktop's for the state the page reports; texts may differ in their font."""
    with tempfile.TemporaryDirectory() as d:
        said = subprocess.run([RENDER, d + '/frame.png'], input=json.dumps(s := state(b)), capture_output=True,
                              text=True, check=True).stdout
        desktop, boxes = image((pathlib.Path(d) / 'frame.png').read_bytes()), [json.loads(l) for l in said.splitlines()]
    check(page.size == desktop.size, f'{case}: frames {page.size}, {desktop.size}')
    check([t[:2] for t in s['TextBoxes']] == [t[:2] for t in boxes], f'{case}: texts at {s["TextBoxes"]}, {boxes}')
    (w, h), shown, desktop = page.size, list(page.getdata()), list(desktop.getdata())
    for x, y, bw, bh in s['TextBoxes'] + boxes:
        x0, x1 = (min(w, max(0, v)) for v in (x - 2, x + bw + 2))
        for at in range(max(0, y - 2) * w, min(h, y + bh + 2) * w, w):
            shown[at + x0:at + x1] = desktop[at + x0:at + x1] = [None] * (x1 - x0)
    wrong = [(i % w, i // w, p, q) for i, (p, q) in enumerate(zip(shown, desktop)) if p != q]
    print(f'ratio {s["DevicePixelRatio"]}, {case}: {len(shown) - shown.count(None)} pixels compared, {len(wrong)} differ')
    check(not wrong, f'{case}: pixels (x, y, page, desktop) {wrong[:10]}')


def at_ratio(b, ratio):
    load(b)
    opened = b.execute_script('''const c = document.getElementById('Picture1'), r = c.getBoundingClientRect();
        return [document.title, document.activeElement.id, r.x, r.y, r.width, r.height, c.width, c.height,
            document.getElementById('PicHelp').hidden];''')
    check(opened == ['Tarvelon 課題 8', 'Command1', 8, 8, 609, 337, 609 * ratio, 337 * ratio, True], f'{opened}')
    # The way round passes once through the browser, which has no name here.
    names = [b.switch_to.active_element.send_keys(Keys.TAB) or b.switch_to.active_element.accessible_name
             for _ in range(len(TABLE['tabOrder']) + 1)]
    check([name for name in names if name] == TABLE['tabOrder'], f'tab order {names}')
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
    for case in TABLE['cases']:
        load(b)
        run(b, case['steps'])
        shown = image(b.find_element(By.ID, 'Picture1').screenshot_as_png)  # judged on screen, as the desktop's
        check(crests_told(case, seen := crests(shown, ratio)), f'{case["name"]}: crests {seen}')
        if state(b)['ChkPause']:  # else the frame moves on under the comparison
            compare(b, case['name'], shown)
    check(runs_on(b.find_element(By.ID, 'ChkPause').click() or b), 'running on after a storm of presses')
    check(not (log := b.get_log('browser')), f'console {log}')


check(re.search(r'''http-equiv="Content-Security-Policy" content="[^"]*default-src 'none'[;"]''', HTML)
      and "'unsafe-inline'" not in HTML and len(HTML.encode()) <= 400 * 1024, 'Content-Security-Policy, size')
for ratio in (1, 2):
    for attempt in (1, 2):  # a driver that dies under a busy machine is tried once more; the page's faults stay
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
            with contextlib.suppress(MaxRetryError, WebDriverException):
                b.quit()
finish()
