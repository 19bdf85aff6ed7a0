"""Shared helpers of the browser tests (tests/web/*_test.py).

Each test is a standalone script: its first argument is the site, either
the address it is served at (http://127.0.0.1:8000/) or the folder that
holds it (build-web/site), which the test then serves itself from
127.0.0.1. The page runs in Debian's Chromium, headless, driven through
chromedriver with real pointer input (WebDriver actions); the test watches
the canvas's pixels, the page's title and its one status line, and what
the page leaves for its watchers in window.torvenkaWatch (the times of the
steps and what the sound channels did).
"""

import contextlib
import functools
import http.server
import os
import sys
import threading
import time

# Selenium comes from Debian (python3-selenium): under another python3 on
# the PATH, run again with Debian's.
try:
    import selenium  # noqa: F401
except ImportError:
    if os.path.exists('/usr/bin/python3') and os.path.realpath(sys.executable) != os.path.realpath('/usr/bin/python3'):
        os.execv('/usr/bin/python3', ['/usr/bin/python3'] + sys.argv)
    raise

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.mouse_button import MouseButton

CLIENT_W, CLIENT_H = 194, 215
T0 = time.monotonic()


def log(*words):
    print('  %7.0f ms  %s' % ((time.monotonic() - T0) * 1000, ' '.join(str(w) for w in words)), flush=True)


class Failure(Exception):
    pass


def fail(message):
    raise Failure(message)


def check(condition, message):
    if not condition:
        fail(message)


def wait_until(seconds, condition, step=0.02):
    """True once condition() is true, False if `seconds` pass first."""
    end = time.monotonic() + seconds
    while True:
        if condition():
            return True
        if time.monotonic() >= end:
            return False
        time.sleep(step)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{'.wasm': 'application/wasm', '.js': 'text/javascript', '.ogg': 'audio/ogg',
                             '.wav': 'audio/wav'})

    def log_message(self, *args):
        pass


@contextlib.contextmanager
def served(folder):
    """Serves `folder` on 127.0.0.1 at a free port; yields the address."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield 'http://127.0.0.1:%d/' % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


@contextlib.contextmanager
def site(argument=None):
    """The site's address: the argument if it is one, else the folder served."""
    argument = argument or (sys.argv[1] if len(sys.argv) > 1 else None)
    if not argument:
        fail('usage: %s SITE_URL_OR_FOLDER' % os.path.basename(sys.argv[0]))
    if argument.startswith('http://') or argument.startswith('https://'):
        yield argument if argument.endswith('/') else argument + '/'
        return
    if not os.path.isfile(os.path.join(argument, 'index.html')):
        fail('no index.html in %s' % argument)
    with served(os.path.abspath(argument)) as url:
        yield url


def browser(width=900, height=1000, scale_factor=1, extra=()):
    options = webdriver.ChromeOptions()
    options.binary_location = os.environ.get('CHROMIUM', '/usr/bin/chromium')
    for arg in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu',
                '--window-size=%d,%d' % (width, height), '--force-device-scale-factor=%s' % scale_factor,
                '--no-first-run', '--mute-audio') + tuple(extra):
        options.add_argument(arg)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    service = Service(os.environ.get('CHROMEDRIVER', '/usr/bin/chromedriver'))
    return webdriver.Chrome(service=service, options=options)


class Page:
    """The game's page in a browser, seen and touched from outside."""

    def __init__(self, driver, url):
        self.d = driver
        self.url = url
        driver.get(url)

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def status(self):
        return self.js("return document.getElementById('status').textContent;")

    def title(self):
        return self.d.title

    def started(self):
        return self.js('return !!(window.torvenkaWatch && window.Module && Module.calledRun);')

    def frame(self):
        """The canvas's pixels, one (r, g, b) per game pixel, row by row."""
        data = self.js("""
            var c = document.getElementById('canvas');
            var d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            var out = new Array(d.length / 4 * 3);
            for (var i = 0, j = 0; i < d.length; i += 4) { out[j++] = d[i]; out[j++] = d[i + 1]; out[j++] = d[i + 2]; }
            return [c.width, c.height, out];""")
        w, h, flat = data
        check((w, h) == (CLIENT_W, CLIENT_H), 'the canvas holds %dx%d pixels, not the game\'s %dx%d' % (w, h, CLIENT_W, CLIENT_H))
        return [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]

    def count(self, colour, box=(0, 0, CLIENT_W, CLIENT_H), frame=None):
        frame = frame or self.frame()
        x0, y0, w, h = box
        return sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w) if frame[y * CLIENT_W + x] == colour)

    def canvas_rect(self):
        return self.js("var r = document.getElementById('canvas').getBoundingClientRect();"
                       "return [r.left, r.top, r.width, r.height];")

    def at(self, gx, gy):
        """The page position of the middle of game pixel (gx, gy)."""
        left, top, w, h = self.canvas_rect()
        return int(left + (gx + 0.5) * w / CLIENT_W), int(top + (gy + 0.5) * h / CLIENT_H)

    def _actions(self):
        return ActionBuilder(self.d, duration=0)

    def move(self, gx, gy):
        a = self._actions()
        a.pointer_action.move_to_location(*self.at(gx, gy))
        a.perform()

    def press(self, gx, gy, button=MouseButton.LEFT):
        a = self._actions()
        a.pointer_action.move_to_location(*self.at(gx, gy))
        a.pointer_action.pointer_down(button)
        a.perform()

    def release(self, gx, gy, button=MouseButton.LEFT):
        a = self._actions()
        a.pointer_action.move_to_location(*self.at(gx, gy))
        a.pointer_action.pointer_up(button)
        a.perform()

    def click(self, gx, gy):
        self.press(gx, gy)
        self.release(gx, gy)

    def swipe(self, x0, y0, x1, y1, button=MouseButton.RIGHT):
        a = self._actions()
        a.pointer_action.move_to_location(*self.at(x0, y0))
        a.pointer_action.pointer_down(button)
        for i in range(1, 5):
            a.pointer_action.move_to_location(*self.at(x0 + (x1 - x0) * i // 4, y0 + (y1 - y0) * i // 4))
        a.pointer_action.pointer_up(button)
        a.perform()

    def steps(self):
        return self.js('return window.torvenkaWatch.steps;')

    def sound(self):
        return self.js('return window.torvenkaWatch.sound;')


def run(test):
    """Runs test(page_factory) against the site of the command line; exit 0 on pass."""
    try:
        with site() as url:
            driver = browser()
            try:
                test(driver, url)
            finally:
                driver.quit()
    except Failure as f:
        print('FAIL: %s' % f, file=sys.stderr)
        sys.exit(1)
    log('ok')
    sys.exit(0)
