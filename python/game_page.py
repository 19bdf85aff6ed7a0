"""The game's page in a browser, seen and touched from outside: what the
browser scenarios (tests/web/*_test.py, run by pytest) and the bench
(tools/webbench) share, with the browsers' drivers (web_browsers.py) and the
site server (siteserver.py) beside it in python/, the one folder of Python
that both import (pytest.ini puts it on the path, the bench by itself).

The page they play is the test build of the page (page-watched/ of the
Emscripten build: the same code as the page that ships, plus a watcher that
keeps the steps, what the sound channels did and what the project's good
diver wishes done in window.torvenkaWatch). A copy of the site that plays
it is served by the project's one site server (siteserver.py).

What the tests need to know of the game (where the title word is, the
start click, the sound files) comes from the game itself: `pagecheck facts`
(tools/pagecheck), as `Facts`.
"""

import base64
import json
import os
import shutil
import subprocess
import time

import web_browsers
from siteserver import SiteServer  # noqa: F401 - the tests and the bench take it from here
from web_browsers import LEFT, RIGHT

PROJECT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

T0 = time.monotonic()


def log(*words):
    print('  %7.0f ms  %s' % ((time.monotonic() - T0) * 1000, ' '.join(str(w) for w in words)), flush=True)


def wait_until(seconds, condition, step=0.02):
    """True once condition() is true, False if `seconds` pass first."""
    end = time.monotonic() + seconds
    while True:
        if condition():
            return True
        if time.monotonic() >= end:
            return False
        time.sleep(step)


class Facts:
    """What the tests need to know of the game, from the game: the client
    area, the dive's step, each item's box on the title screen by name (boxes['titleWord']),
    points (at['start'], at['spear'], at['card1']...), the sound files by
    what they are, as the game names them (sounds) and as the page fetches
    them (urls), the phases' names as the page's watcher gives them
    (phases['dive'], phases['gameOver']...), the window's captions
    (captions['title'], captions['clear']), the game's colours as (r, g, b)
    (colours['white']...) and its names (names['game'])."""

    def __init__(self, tool):
        if not os.access(tool, os.X_OK):
            raise AssertionError('no pagecheck tool at %s (cmake --build build --target pagecheck)' % tool)
        d = json.loads(subprocess.run([tool, 'facts'], check=True, capture_output=True, text=True).stdout)
        self.client = tuple(d['client'])
        self.boxes = {k: tuple(v) for k, v in d['boxes'].items()}
        self.at = {k: tuple(v) for k, v in d['at'].items()}
        # the tank's and the spear's swipes across the open sea: x0, y0, x1, y1
        self.swipes = {k: tuple(v) for k, v in d['swipes'].items()}
        self.sounds, self.urls = d['sounds'], d['urls']
        self.step_gate = d['step']['gate']  # a dive step's gate, ms
        self.step_ms = d['step']['apart']  # from one dive step's start to the next's, when nothing holds it
        self.phases, self.captions, self.names = d['phases'], d['captions'], d['names']
        self.colours = {k: tuple(v) for k, v in d['colours'].items()}
        self.tool = tool

    def around(self, name, margin=3):
        """An item's box with `margin` pixels more on each side."""
        x, y, w, h = self.boxes[name]
        return (x - margin, y - margin, w + 2 * margin, h + 2 * margin)


def keep_worker_list(folder):
    """Writes the site's service worker again for what `folder` holds now,
    as the build does (cmake/site_worker.cmake)."""
    subprocess.run(['cmake', '-DSITE=' + folder, '-DTEMPLATE=' + os.path.join(PROJECT, 'src', 'web', 'sw.js.in'),
                    '-P', os.path.join(PROJECT, 'cmake', 'site_worker.cmake')], check=True)


def watched_page(folder):
    """The folder of the test build of the page for the site in `folder`."""
    page = os.environ.get('TORVENKA_WATCHED_PAGE') or os.path.join(os.path.dirname(os.path.abspath(folder)),
                                                                   'wasm', 'page-watched')
    if not (os.path.isfile(os.path.join(page, 'torvenka.js')) and os.path.isfile(os.path.join(page, 'torvenka.wasm'))):
        raise AssertionError('no test build of the page in %s (cmake --build build --target site builds it; '
                             'or set TORVENKA_WATCHED_PAGE)' % page)
    return page


def copy_playing_the_test_build(folder, into):
    """A copy of the site in `folder` at `into` that plays the test build of
    the page: its torvenka.js and torvenka.wasm, and a service worker that
    lists them, so that the copy is whole to the worker too."""
    shutil.copytree(folder, into)
    page = watched_page(folder)
    for name in ('torvenka.js', 'torvenka.wasm'):
        shutil.copy(os.path.join(page, name), os.path.join(into, name))
    keep_worker_list(into)
    return into


class Page:
    """The game's page in a browser of web_browsers. Given a url, the
    browser goes there; without one, the page is what it shows."""

    def __init__(self, browser, url=None, facts=None):
        self.b = browser
        self.url = url
        self.facts = facts
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
        return self.js("var s = document.getElementById('say') || document.getElementById('status');"
                       "return s ? s.textContent : '';")

    def title(self):
        return self.b.title()

    def running(self):
        """The game's code has started (either build of the page)."""
        return self.js('return !!(window.Module && Module.calledRun);')

    def started(self):
        """The test build of the page has started and drawn its first frame."""
        return self.js('return !!(window.torvenkaWatch && window.torvenkaWatch.firstFrame !== undefined);')

    def worker_in_charge(self):
        """The page's service worker has taken charge of the site (it is
        activated); None in a browser without service workers."""
        return self.js_async('var done = arguments[arguments.length - 1];'
                             'if (!("serviceWorker" in navigator)) { done(null); return; }'
                             'navigator.serviceWorker.getRegistration().then(function (r) {'
                             '  done(!!(r && r.active && r.active.state === "activated")); },'
                             '  function () { done(false); });')

    def frame(self):
        """The canvas's pixels, one (r, g, b) per game pixel, row by row."""
        w, h, packed = self.js("""
            var c = document.getElementById('canvas');
            var d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            var out = '';
            for (var i = 0; i < d.length; i += 4) out += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
            return [c.width, c.height, btoa(out)];""")
        assert (w, h) == self.facts.client, 'the canvas holds %dx%d pixels, not the game\'s %s' % (w, h, self.facts.client)
        flat = base64.b64decode(packed)
        return [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]

    def count(self, colour, box=None, frame=None):
        frame = frame or self.frame()
        cw = self.facts.client[0]
        x0, y0, w, h = box or (0, 0) + self.facts.client
        return sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w) if frame[y * cw + x] == colour)

    def title_screen(self):
        """The title word is on the canvas, white."""
        return self.started() and self.count(self.facts.colours['white'], self.facts.around('titleWord')) > 0

    def wait_for_title(self, what='', seconds=30):
        """Waits for the title screen; fails with what the page says if it
        does not come (`what`: whose title it is)."""
        assert wait_until(seconds, self.title_screen), 'no title screen%s: the page says "%s"' % (
            what and ' ' + what, self.status())
        return self

    def canvas_rect(self):
        return self.js("var r = document.getElementById('canvas').getBoundingClientRect();"
                       "return [r.left, r.top, r.width, r.height];")

    def point(self, gx, gy, rect=None):
        """The page position of the middle of game pixel (gx, gy), in CSS
        pixels, on the canvas's place `rect` (where it is now, without one)."""
        left, top, w, h = rect or self.canvas_rect()
        cw, ch = self.facts.client
        return left + (gx + 0.5) * w / cw, top + (gy + 0.5) * h / ch

    def at(self, gx, gy):
        """The page position of the middle of game pixel (gx, gy), whole."""
        x, y = self.point(gx, gy)
        return int(x), int(y)

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

    def start_dive(self):
        """Over the title word, and a click: the dive's first step comes."""
        self.move(*self.facts.at['start'])
        self.click(*self.facts.at['start'])
        assert wait_until(10, lambda: self.last_step() is not None), 'the start click did not start the dive'

    def dive_with_music(self):
        """From the title, a dive whose music plays; the status line is clear
        once every sound is in."""
        self.wait_for_title()
        self.start_dive()
        assert wait_until(10, lambda: self.sounded('dive_theme')), 'the dive\'s music did not play: %s' % self.sound()
        assert wait_until(20, lambda: self.status() == ''), 'with the sounds in, the page says "%s"' % self.status()

    # What the test build's watcher saw.
    def steps(self):
        return self.js('return window.torvenkaWatch.steps;')

    def last_step(self):
        return self.js('var s = window.torvenkaWatch.steps; return s.length ? s[s.length - 1] : null;')

    def sound(self):
        return self.js('return window.torvenkaWatch.sound;')

    def sounded(self, what):
        """The urls the page started sounding, or whether `what` (a key of
        Facts.urls) was among them."""
        urls = [s['url'] for s in self.sound() if s['op'] == 'sounding']
        return urls if what is None else self.facts.urls[what] in urls


# A phone held upright, as Chromium emulates it: CSS pixels across and down,
# device pixels a CSS pixel.
PHONE = (390, 844, 3)


def emulate(browser, width, height, dpr, touch=True):
    """Makes Chromium a screen of width x height CSS pixels at dpr device
    pixels each, held upright or turned as the sizes say: a phone or a
    tablet played by touch alone (touch), or a desktop's window."""
    upright = height >= width
    browser.d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
        'width': width, 'height': height, 'deviceScaleFactor': dpr, 'mobile': touch,
        'screenOrientation': {'type': 'portraitPrimary' if upright else 'landscapePrimary',
                              'angle': 0 if upright else 90}})
    if touch:
        browser.d.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})


def as_desktop(browser):
    """Makes Chromium itself again after emulate()."""
    browser.d.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': False})
    browser.d.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})


def as_phone(browser, on):
    """Makes Chromium a phone played by touch (on) or itself again."""
    if on:
        emulate(browser, *PHONE)
    else:
        as_desktop(browser)


class Mouse:
    """A player with a desktop browser's pointer: a click on the title word
    starts the dive (and the pointer goes to rest in a corner), a vertical
    right-button swipe is a tank, a horizontal one crosses the open sea (the
    spear's, which without the spear does nothing)."""

    def __init__(self, page):
        self.page = page

    def start(self):
        self.page.start_dive()
        self.page.move(5, 5)

    def tank(self):
        self.page.swipe(*self.page.facts.swipes['tank'])

    def across(self):
        self.page.swipe(*self.page.facts.swipes['spear'])


class Fingers:
    """Touches on the canvas, in game pixels, through the DevTools protocol."""

    def __init__(self, page):
        self.page = page
        self.rect = page.canvas_rect()

    def touch(self, kind, points):
        """points: [(id, gx, gy)] still on the screen after the event."""
        self.touch_page(kind, [(pid,) + self.page.point(gx, gy, self.rect) for pid, gx, gy in points])

    def touch_page(self, kind, points):
        """points: [(id, x, y)] in page pixels, anywhere on the page."""
        pts = [{'x': x, 'y': y, 'id': pid, 'radiusX': 4, 'radiusY': 4, 'force': 1} for pid, x, y in points]
        self.page.d.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': kind, 'touchPoints': pts})

    def tap_page(self, x, y):
        """A tap at page position (x, y): on the page's buttons, say."""
        self.touch_page('touchStart', [(1, x, y)])
        self.touch_page('touchEnd', [])

    def drag(self, x0, y0, x1, y1, steps=4, pause=0):
        """A finger's drag in `steps` moves, `pause` seconds apart and
        before the lift (a player's drag is about 150 ms long: 0.03)."""
        self.touch('touchStart', [(1, x0, y0)])
        for i in range(1, steps + 1):
            time.sleep(pause)
            self.touch('touchMove', [(1, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps)])
        time.sleep(pause)
        self.touch('touchEnd', [])

    def tap(self, gx, gy):
        self.drag(gx, gy, gx, gy, steps=0)

    def pen(self, kind, gx, gy, buttons):
        """The pen's tip: pressed, moved or lifted at (gx, gy)."""
        x, y = self.page.point(gx, gy, self.rect)
        more = {'mousePressed': {'button': 'left', 'clickCount': 1}, 'mouseReleased': {'button': 'left',
                                                                                      'clickCount': 1}}
        self.page.d.execute_cdp_cmd('Input.dispatchMouseEvent', dict(
            type=kind, x=x, y=y, buttons=buttons, pointerType='pen', **more.get(kind, {})))


class Finger(Mouse):
    """A player with one finger on a phone's screen (Fingers): a tap starts
    the dive, a drag up the open sea is a tank, one across it the spear's;
    each drag as long as a player's, about 150 ms, so that the touch's start
    and end are apart."""

    def __init__(self, page):
        super().__init__(page)
        self.fingers = Fingers(page)

    def start(self):
        self.fingers.tap(*self.page.facts.at['start'])
        assert wait_until(10, lambda: self.page.last_step() is not None), 'the tap did not start the dive'

    def tank(self):
        self.fingers.drag(*self.page.facts.swipes['tank'], pause=0.03)

    def across(self):
        self.fingers.drag(*self.page.facts.swipes['spear'], pause=0.03)
