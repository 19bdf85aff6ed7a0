"""Shared helpers of the browser tests (tests/web/*_test.py).

Each test is a standalone script:

    SCENARIO_test.py [--engine chromium|firefox|webkit] SITE [PAGECHECK]

SITE is the site, either the folder that holds it (build/site), which the
test then serves itself from 127.0.0.1, or the address it is served at. The
same scenario runs in any of three engines, each through its own driver
(web_browsers.py) behind one interface: Debian's Chromium through
chromedriver, Firefox ESR through WebDriver BiDi, WebKitGTK's MiniBrowser
through WebKitWebDriver. The engine is --engine, else $TORVENKA_ENGINE,
else chromium.

The page the tests play is the test build of the page (page-watched/ of the
Emscripten build: the same code as the page that ships, plus a watcher that
keeps the steps, what the sound channels did and what the project's good
diver would do in window.torvenkaWatch). The tests' own server serves the
site's folder but answers torvenka.js and torvenka.wasm from the test
build's folder ($TORVENKA_WATCHED_PAGE, by default the wasm/page-watched
beside the site's folder); a second server serves the site as it ships
(Site.shipped), for the tests that look at that page.
"""

import contextlib
import functools
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

# Selenium comes from Debian (python3-selenium): under another python3 on
# the PATH, run again with Debian's.
try:
    import selenium  # noqa: F401
except ImportError:
    if os.path.exists('/usr/bin/python3') and os.path.realpath(sys.executable) != os.path.realpath('/usr/bin/python3'):
        os.execv('/usr/bin/python3', ['/usr/bin/python3'] + sys.argv)
    raise

import web_browsers  # noqa: E402
from web_browsers import LEFT, RIGHT, ENGINES  # noqa: E402,F401

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


# --- the command line --------------------------------------------------------

def _arguments():
    args = sys.argv[1:]
    engine = os.environ.get('TORVENKA_ENGINE', 'chromium')
    rest = []
    while args:
        a = args.pop(0)
        if a == '--engine' and args:
            engine = args.pop(0)
        elif a.startswith('--engine='):
            engine = a.split('=', 1)[1]
        else:
            rest.append(a)
    if engine not in ENGINES:
        fail('no engine "%s": one of %s' % (engine, ', '.join(ENGINES)))
    return engine, rest


ENGINE, ARGS = _arguments()


def argument(i, default=None):
    """The i-th argument after the engine option (0 is the site)."""
    return ARGS[i] if len(ARGS) > i else default


# --- the tests' own web server ---------------------------------------------

BEFORE_PATH = '/torvenka-test-before.js'


class TestHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{'.wasm': 'application/wasm', '.js': 'text/javascript', '.ogg': 'audio/ogg',
                             '.wav': 'audio/wav'})

    def __init__(self, *args, server_state=None, **kwargs):
        self.state = server_state
        super().__init__(*args, **kwargs)

    def log_message(self, *args):
        pass

    def end_headers(self):
        # Every case gets what the server says now, never a cached copy.
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()

    def _answer(self, body, kind):
        self.send_response(200)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        return body

    def _special(self):
        """The answer to a path the test has a say in, or None."""
        path = urllib.parse.urlsplit(self.path).path
        st = self.state
        # Without its worker the page keeps no offline copy, which would
        # answer later cases from what an earlier one kept (a blocked file
        # among them).
        if path in st.blocked or (path == '/sw.js' and not st.worker):
            self.send_error(404)
            return b''
        if path == BEFORE_PATH and st.before is not None:
            return self._answer(st.before.encode(), 'text/javascript')
        if path in ('/', '/index.html') and st.before is not None:
            with open(os.path.join(st.folder, 'index.html'), 'rb') as f:
                html = f.read()
            at = html.find(b'<script')
            check(at >= 0, 'the site\'s index.html has no <script>')
            html = html[:at] + b'<script src="%s"></script>\n' % BEFORE_PATH.encode() + html[at:]
            return self._answer(html, 'text/html; charset=utf-8')
        return None

    def translate_path(self, path):
        plain = urllib.parse.urlsplit(path).path
        if self.state.page and plain in ('/torvenka.js', '/torvenka.wasm'):
            return os.path.join(self.state.page, plain[1:])
        return super().translate_path(path)

    def do_GET(self):
        del self.headers['If-Modified-Since']
        body = self._special()
        if body is None:
            return super().do_GET()
        if body:
            self.wfile.write(body)

    def do_HEAD(self):
        del self.headers['If-Modified-Since']
        if self._special() is None:
            return super().do_HEAD()


class Server:
    """Serves a site folder on 127.0.0.1 at a free port (url). A test may
    make chosen paths answer 404 (blocked) and put a script of its own in
    front of the page's (before: the script's text; the page then loads it
    as a same-origin <script src> just before its own first script)."""

    def __init__(self, folder, page=None, worker=True):
        self.folder = folder
        self.page = page
        self.blocked = set()
        self.before = None
        self.worker = worker
        handler = functools.partial(TestHandler, directory=folder, server_state=self)
        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        self.httpd.daemon_threads = True
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()
        self.url = 'http://127.0.0.1:%d/' % self.httpd.server_address[1]

    def reset(self):
        self.blocked = set()
        self.before = None

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


@contextlib.contextmanager
def served(folder, page=None, worker=True):
    """Serves `folder` (torvenka.js and torvenka.wasm from `page` when given;
    no service worker unless `worker`); yields the Server."""
    server = Server(folder, page, worker)
    try:
        yield server
    finally:
        server.close()


def watched_page(folder):
    """The folder of the test build of the page for the site in `folder`."""
    page = os.environ.get('TORVENKA_WATCHED_PAGE') or os.path.join(os.path.dirname(os.path.abspath(folder)),
                                                                   'wasm', 'page-watched')
    check(os.path.isfile(os.path.join(page, 'torvenka.js')) and os.path.isfile(os.path.join(page, 'torvenka.wasm')),
          'no test build of the page in %s (cmake --build build --target site builds it; '
          'or set TORVENKA_WATCHED_PAGE)' % page)
    return page


class Site:
    """The site under test: its address (the test build of the page), the
    address of the page as it ships (shipped), and the tests' server (None
    when the site is an address the test was given)."""

    def __init__(self, url, shipped=None, server=None, folder=None):
        self.url = url
        self.shipped = shipped
        self.server = server
        self.folder = folder


@contextlib.contextmanager
def site(worker=False):
    """The site of the command line, served by the tests. The scenarios get
    no service worker (`worker`): its offline copy would carry what one case
    did into the next."""
    arg = argument(0)
    if not arg:
        fail('usage: %s [--engine %s] SITE_URL_OR_FOLDER' % (os.path.basename(sys.argv[0]), '|'.join(ENGINES)))
    if arg.startswith('http://') or arg.startswith('https://'):
        url = arg if arg.endswith('/') else arg + '/'
        yield Site(url)
        return
    check(os.path.isfile(os.path.join(arg, 'index.html')), 'no index.html in %s' % arg)
    folder = os.path.abspath(arg)
    with tempfile.TemporaryDirectory() as tmp:
        tested = test_site(folder, os.path.join(tmp, 'site'))
        with served(tested, worker=worker) as server, served(folder, worker=worker) as shipped:
            yield Site(server.url, shipped=shipped.url, server=server, folder=folder)


PROJECT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def keep_worker_list(folder):
    """Writes the site's service worker again for what `folder` holds now,
    as the build does (cmake/site_worker.cmake)."""
    subprocess.run(['cmake', '-DSITE=' + folder, '-DTEMPLATE=' + os.path.join(PROJECT, 'src', 'web', 'sw.js.in'),
                    '-P', os.path.join(PROJECT, 'cmake', 'site_worker.cmake')], check=True)


def test_site(folder, into):
    """A copy of the site in `folder` at `into` that plays the test build of
    the page: its torvenka.js and torvenka.wasm, and a service worker that
    lists them, so that the copy is whole to the worker too."""
    shutil.copytree(folder, into)
    page = watched_page(folder)
    for name in ('torvenka.js', 'torvenka.wasm'):
        shutil.copy(os.path.join(page, name), os.path.join(into, name))
    keep_worker_list(into)
    return into


# --- the page ----------------------------------------------------------------

class Page:
    """The game's page in a browser, seen and touched from outside: a browser
    of web_browsers, or the selenium driver of a Chromium-only test. Given a
    url, the browser goes there; without one, the page is what it shows."""

    def __init__(self, browser, url=None):
        if not hasattr(browser, 'open'):
            browser = web_browsers.SeleniumBrowser(browser, 'chromium', '?')
        self.b = browser
        self.url = url
        if url is not None:
            browser.open(url)

    @property
    def d(self):
        """The selenium driver, where there is one (Chromium, WebKit)."""
        return getattr(self.b, 'd', None)

    def js(self, script, *args):
        return self.b.js(script, *args)

    def js_async(self, script, *args):
        return self.b.js_async(script, *args)

    def status(self):
        return self.js("var s = document.getElementById('status'); return s ? s.textContent : '';")

    def title(self):
        return self.b.title()

    def running(self):
        """The game's code has started (either build of the page)."""
        return self.js('return !!(window.Module && Module.calledRun);')

    def started(self):
        """The test build of the page has started."""
        return self.js('return !!(window.torvenkaWatch && window.Module && Module.calledRun);')

    def frame(self):
        """The canvas's pixels, one (r, g, b) per game pixel, row by row."""
        data = self.js("""
            var c = document.getElementById('canvas');
            var d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            var out = '';
            for (var i = 0; i < d.length; i += 4) out += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
            return [c.width, c.height, btoa(out)];""")
        import base64
        w, h, packed = data
        check((w, h) == (CLIENT_W, CLIENT_H), 'the canvas holds %dx%d pixels, not the game\'s %dx%d' % (w, h, CLIENT_W, CLIENT_H))
        flat = base64.b64decode(packed)
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

    # Real pointer input, in game pixels (pointer(): items in page pixels).
    def pointer(self, items):
        self.b.pointer(items)

    def move(self, gx, gy):
        self.pointer([web_browsers.move(*self.at(gx, gy))])

    def press(self, gx, gy, button=LEFT):
        self.pointer([web_browsers.move(*self.at(gx, gy)), web_browsers.down(button)])

    def release(self, gx, gy, button=LEFT):
        self.pointer([web_browsers.move(*self.at(gx, gy)), web_browsers.up(button)])

    def click(self, gx, gy, button=LEFT):
        x, y = self.at(gx, gy)
        self.pointer([web_browsers.move(x, y), web_browsers.down(button), web_browsers.up(button)])

    def swipe(self, x0, y0, x1, y1, button=RIGHT):
        items = [web_browsers.move(*self.at(x0, y0)), web_browsers.down(button)]
        for i in range(1, 5):
            items.append(web_browsers.move(*self.at(x0 + (x1 - x0) * i // 4, y0 + (y1 - y0) * i // 4)))
        items.append(web_browsers.up(button))
        self.pointer(items)

    # What the test build's watcher saw.
    def steps(self):
        return self.js('return window.torvenkaWatch.steps;')

    def last_step(self):
        return self.js('var s = window.torvenkaWatch.steps; return s.length ? s[s.length - 1] : null;')

    def sound(self):
        return self.js('return window.torvenkaWatch.sound;')


def skip_case(what, why):
    """A case this engine cannot be put through: said, never left out silently."""
    log('SKIPPED in %s: %s (%s)' % (ENGINE, what, why))


def run(test):
    """Runs test(browser, site) in one browser of the engine of the command
    line; exit 0 on pass."""
    status = 0
    try:
        with site() as s:
            log('engine: %s' % ENGINE)
            browser = web_browsers.start(ENGINE)
            try:
                log('%s %s is up' % (ENGINE, browser.version))
                sound = getattr(browser, 'sound', None)
                if sound is not None and sound.why:
                    log('NOTE: %s' % sound.why)
                test(browser, s)
            finally:
                browser.quit()
    except Failure as f:
        print('FAIL (%s): %s' % (ENGINE, f), file=sys.stderr)
        status = 1
    except web_browsers.BrowserError as e:
        print('FAIL (%s): the browser: %s' % (ENGINE, e), file=sys.stderr)
        status = 1
    if status == 0:
        log('ok')
    sys.exit(status)


# --- Chromium alone ------------------------------------------------------------
# The tests in tests/web/chromium/ need what only Chromium's DevTools protocol
# gives (touch events, device emulation, a throttled network, the
# installability check, safe-area insets); they run in Chromium alone
# (web.chromium.<name>) and drive selenium's driver themselves.

class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Serves a folder quietly, for a test that serves the site its own way;
    torvenka.js and torvenka.wasm come from `page` (the test build's folder)
    when it is set."""
    extensions_map = TestHandler.extensions_map
    page = None

    def log_message(self, *args):
        pass

    def translate_path(self, path):
        plain = urllib.parse.urlsplit(path).path
        if self.page and plain in ('/torvenka.js', '/torvenka.wasm'):
            return os.path.join(self.page, plain[1:])
        return super().translate_path(path)


def browser(width=900, height=1000):
    """A fresh headless Chromium of the tests: its selenium driver."""
    return web_browsers.ChromiumBrowser(width, height).d


def run_chromium(test, worker=False):
    """Runs test(driver, url) in one Chromium with the site of the command
    line (its test build of the page, with its service worker if `worker`);
    exit 0 on pass."""
    status = 0
    try:
        with site(worker) as s:
            driver = browser()
            try:
                test(driver, s.url)
            finally:
                driver.quit()
    except Failure as f:
        print('FAIL (chromium): %s' % f, file=sys.stderr)
        status = 1
    if status == 0:
        log('ok')
    sys.exit(status)


def run_chromium_in_folder(test, copy=False):
    """Runs test(driver, folder) in one Chromium, for a test that serves the
    site folder of the command line its own way (a copy of it that plays the
    test build, if `copy`); exit 0 on pass."""
    arg = sys.argv[1] if len(sys.argv) > 1 else ''
    if not os.path.isfile(os.path.join(arg, 'index.html')):
        print('usage: %s SITE_FOLDER' % os.path.basename(sys.argv[0]), file=sys.stderr)
        sys.exit(2)
    folder = os.path.abspath(arg)
    try:
        with tempfile.TemporaryDirectory() as tmp:
            if copy:
                folder = test_site(folder, os.path.join(tmp, 'site'))
            driver = browser()
            try:
                test(driver, folder)
            finally:
                driver.quit()
    except Failure as f:
        print('FAIL (chromium): %s' % f, file=sys.stderr)
        sys.exit(1)
    log('ok')
    sys.exit(0)
