"""What only the browser scenarios (tests/web/*_test.py) do with the game's
page, on top of what they share with the bench (python/game_page.py, whose
names they take from here too): the good diver's hand, dives watched again,
the actions the page offers when a dive is over, and Late, a missed bound on
real time.
"""
import base64
import time

import web_browsers
from game_page import (LEFT, PHONE, PROJECT, RIGHT, Facts, Finger,  # noqa: F401
                       Fingers, Mouse, Page, SiteServer, as_desktop, as_phone, copy_playing_the_test_build, emulate,
                       keep_worker_list, log, wait_until)


class Late(Exception):
    """A bound on real time was missed; what was measured is the message.
    The one failure that is tried again (conftest.py's real_time)."""


class Hand:
    """Carries out the good diver's wishes (window.torvenkaWatch.wishes) with
    the browser's real pointer: every wish exactly once, in order, whenever
    it reads them, so that a late hand costs the diver margin, not a wish.
    As in the headless harness, a click or a swipe does not move the pointer
    the diver rests: the hand puts it back where the diver last moved it."""

    def __init__(self, page, skip=()):
        self.page = page
        self.done = 0
        self.rest = None
        self.skip = set(skip)  # ops left undone (to show that a test sees it)
        self.log = []

    def catch_up(self):
        """Carries out the wishes made since the last call; their number."""
        wishes = self.page.js('return window.torvenkaWatch.wishes.slice(arguments[0]);', self.done)
        for w in wishes:
            if w['op'] not in self.skip:
                if w['op'] == 'click':
                    self.page.click(w['x0'], w['y0'])
                elif w['op'] == 'swipe':
                    self.page.swipe(w['x0'], w['y0'], w['x1'], w['y1'])
                elif w['op'] == 'move':
                    self.rest = (w['x0'], w['y0'])
            self.log.append(w)
        self.done += len(wishes)
        if wishes and self.rest:
            self.page.move(*self.rest)
        return len(wishes)

    def play(self, until, seconds):
        """Plays until until(last step) holds, or `seconds` pass; the last step."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            s = self.page.last_step()
            if until(s):
                return s
            if not self.catch_up():
                time.sleep(0.005)
        return self.page.last_step()


# Dives watched again: what the page offers when a dive is over, and the
# frames and sounds that show two plays of a dive alike.
KEEP_FRAME = """
    // The first frame put on the canvas after the dive step of tick
    // arguments[0] (the dive's phase named arguments[1]), kept as
    // window.keptFrame (the canvas's own bytes).
    window.keptFrame = null;
    window.keptFrameTick = arguments[0];
    window.keptFramePhase = arguments[1];
    if (!window.keepingFrames) {
        window.keepingFrames = true;
        var put = CanvasRenderingContext2D.prototype.putImageData;
        CanvasRenderingContext2D.prototype.putImageData = function (image) {
            put.apply(this, arguments);
            var w = window.torvenkaWatch, s = w && w.steps.length ? w.steps[w.steps.length - 1] : null;
            if (!window.keptFrame && s && s.phase === window.keptFramePhase && s.tick === window.keptFrameTick)
                window.keptFrame = Array.from(image.data);
        };
    }"""


class Dive:
    """How a play of a dive went, seen by the test build's watcher: its
    steps from `since` on, its end, the frame at a mid-dive tick, and the
    game's sound commands while the diver was down."""

    def __init__(self, page, since):
        steps = page.steps()[since:]
        self.end = steps[-1]
        dive = [s for s in steps if s['phase'] == page.facts.phases['dive']]
        first, last = dive[0]['t'], steps[-1]['t']
        self.frame = page.js('return window.keptFrame;')
        self.sound = [(s['op'], s['alias'], str(s.get('detail'))) for s in page.sound()
                      if s['op'] not in ('sounding', 'hidden', 'shown') and first - 1 <= s['t'] <= last + 1]
        self.ending = tuple(self.end[k] for k in ('tick', 'life', 'oxygen', 'tanks'))

    def __str__(self):
        return 'tick %d, life %d, oxygen %d, tanks %d' % self.ending

    def alike(self, other, what):
        assert self.ending == other.ending, '%s ended at %s, the dive at %s' % (what, other, self)
        assert self.frame and self.frame == other.frame, '%s showed another frame mid-dive' % what
        assert self.sound == other.sound, '%s sounded otherwise: %s, the dive %s' % (what, other.sound, self.sound)


def offered(page):
    """The actions the page offers beside the game (their names)."""
    return page.js("var row = document.getElementById('replays');"
                   "return row && !row.hidden ? Array.from(row.querySelectorAll('button'),"
                   " function (b) { return b.getAttribute('data-act'); }) : [];")


def action_at(page, name):
    """The page position of the middle of one of the actions."""
    return page.js("var r = document.querySelector('#replays [data-act=\"' + arguments[0] + '\"]')"
                   ".getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2];", name)


def act(page, name):
    """Clicks one of the actions with the real pointer."""
    x, y = action_at(page, name)
    page.pointer([web_browsers.move(int(x), int(y)), web_browsers.down(LEFT), web_browsers.up(LEFT)])


def shared_link(page):
    """Share's link, where the page copies it (a page without the share
    sheet): the clipboard is the test's."""
    page.js("""
        window.copiedLink = null;
        Object.defineProperty(navigator, 'share', {value: undefined, configurable: true});
        Object.defineProperty(navigator, 'clipboard', {configurable: true, value: {writeText: function (t) {
            window.copiedLink = t; return Promise.resolve(); }}});""")
    act(page, 'share')
    assert wait_until(10, lambda: page.js('return window.copiedLink;')), 'Share copied no link'
    assert wait_until(5, lambda: page.status() in ('The link is copied.', 'リンクをコピーしました。')), \
        'Share said "%s"' % page.status()
    return page.js('return window.copiedLink;')


def saved_file(page):
    """Save's file, as the page hands it to the browser's download."""
    page.js("""
        window.savedFile = window.savedName = null;
        HTMLAnchorElement.prototype.click = function () { window.savedName = this.download; };
        var make = URL.createObjectURL;
        URL.createObjectURL = function (blob) {
            var r = new FileReader();
            r.onload = function () { window.savedFile = r.result.split(',')[1]; };
            r.readAsDataURL(blob);
            return make.apply(URL, arguments);
        };""")
    act(page, 'save')
    assert wait_until(10, lambda: page.js('return window.savedFile;')), 'Save gave no file'
    name = page.js('return window.savedName;')
    assert name and name.endswith('.tvk'), 'Save named its file %r' % name
    return base64.b64decode(page.js('return window.savedFile;'))
