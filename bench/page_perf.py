#!/usr/bin/python3
"""CPU of headless Chromium showing the page, against the same browser showing bench/page_floor.html, one after the
other in one run: the user and system time of every process of the browser over a window of SECONDS.

usage: bench/page_perf.py PAGE [SECONDS]"""
import os, sys, tempfile, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

TARGET = 1.5


def browser_cpu(profile):
    """Seconds of CPU so far of the processes whose command line names this profile."""
    ticks = 0
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            if profile.encode() in open(f'/proc/{pid}/cmdline', 'rb').read():
                fields = open(f'/proc/{pid}/stat').read().rsplit(')', 1)[1].split()
                ticks += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return ticks / os.sysconf('SC_CLK_TCK')


def measure(url, seconds):
    profile = tempfile.mkdtemp(prefix='solitons-perf-')
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
                 '--disable-component-update', '--disable-sync', '--no-first-run', f'--user-data-dir={profile}'):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    try:
        driver.get(url)
        time.sleep(3)  # past loading, at the steady 25 frames a second
        start, clock = browser_cpu(profile), time.monotonic()
        time.sleep(seconds)
        return (browser_cpu(profile) - start) / (time.monotonic() - clock)
    finally:
        driver.quit()


page = os.path.abspath(sys.argv[1])
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20
floor = measure('file://' + os.path.join(os.path.dirname(os.path.abspath(__file__)), 'page_floor.html'), seconds)
ours = measure('file://' + page, seconds)
ratio = ours / floor
print(f'page CPU (share of one core)   floor {floor:.1%}   solitons.html {ours:.1%}   '
      f'ratio {ratio:.2f} (target <= {TARGET})   {"pass" if ratio <= TARGET else "FAIL"}')
sys.exit(0 if ratio <= TARGET else 1)
