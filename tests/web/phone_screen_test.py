"""The game on the screens of a phone and a tablet, in portrait and in
landscape (Chromium's device emulation): the canvas is the largest whole
number of device pixels per game pixel that fits the visible area, the
status line stays on the screen, the about line under it only where the game
leaves room, how to play on the screen and clear of the canvas (on the
phone, both ways up, the actions of touch), and turning the device fits the
game again without a reload. How to play is in Japanese where the browser
asks for it, and so is the line of a shared dive's link. A scale asked for in the address (?scale=N) too large for the
screen is cut down to what fits. A window zoomed in, with room beside the
game, has how to play there. The screen is kept lit from the start of a
dive to its end (a stand-in for the Screen Wake Lock API counts it), and
nothing moves the canvas meanwhile; after it, what the dive offers comes
under the game, and Share hands its link to the share sheet.
"""
import subprocess

import pytest

from web_page import PHONE, Fingers, Page, action_at, as_desktop, emulate, log, offered, wait_until

pytestmark = pytest.mark.engines('chromium')
TABLET = (820, 1180, 2)
WAKE_LOCK = r"""
window.wakeLog = [];
Object.defineProperty(Navigator.prototype, 'wakeLock', {configurable: true, get: function () {
  return {request: function (type) {
    wakeLog.push('request');
    var lock = new EventTarget();
    lock.release = function () { wakeLog.push('release'); return Promise.resolve(); };
    return Promise.resolve(lock);
  }};
}});
"""
# The system's share sheet, as a phone has it: the links it is handed.
SHARE_SHEET = r"""
window.sharedLinks = [];
Navigator.prototype.share = function (what) { sharedLinks.push(what.url); return Promise.resolve(); };
"""


@pytest.fixture
def device(browser, site):
    """emulate(width, height, dpr): the browser is that device, in portrait
    or landscape as the sizes say; a desktop again after the case."""
    yield lambda width, height, dpr: emulate(browser, width, height, dpr)
    as_desktop(browser)
    site.without_worker()


def clear_of_the_canvas(m):
    """How to play lies on the screen and beside, under or over the canvas,
    not on it (half a pixel of rounding allowed)."""
    left, top, right, bottom = m['help']
    on_screen = left >= -0.5 and top >= -0.5 and right <= m['w'] + 0.5 and bottom <= m['h'] + 0.5
    return on_screen and (bottom <= m['top'] + 0.5 or top >= m['top'] + m['ch'] - 0.5 or
                          right <= m['left'] + 0.5 or left >= m['left'] + m['cw'] - 0.5)


def help_text(page):
    """What how to play says, as shown (its summary and the actions of the
    pointer the device has, in the page's language); None where it is not
    shown."""
    return page.js("var h = document.getElementById('howto');"
                   "return h.hasAttribute('data-place') ? h.innerText : null;")


def fitted(page, width, height, dpr):
    """Waits until the canvas is the largest whole scale that fits the page
    on that screen, the status line below it on the screen, and the about
    line, if shown, below that on the screen; the scale. (The scale is what
    the status line alone leaves: the about line takes no room from it.)"""
    why = []

    def fits():
        m = page.js("""
            var c = document.getElementById('canvas').getBoundingClientRect();
            var line = document.getElementById('status');
            var l = line.getBoundingClientRect(), ls = getComputedStyle(line), b = getComputedStyle(document.body);
            var about = document.getElementById('about'), a = about.getBoundingClientRect();
            var help = document.getElementById('howto'), hr = help.getBoundingClientRect();
            return {w: innerWidth, h: innerHeight, dpr: devicePixelRatio, cw: c.width, ch: c.height,
                    left: c.left, top: c.top, lineTop: l.top, lineBottom: l.bottom,
                    about: about.hidden ? null : [a.top, a.bottom],
                    help: help.hasAttribute('data-place') ? [hr.left, hr.top, hr.right, hr.bottom] : null,
                    lineRoom: l.height + parseFloat(ls.marginTop) + parseFloat(ls.marginBottom),
                    padX: parseFloat(b.paddingLeft) + parseFloat(b.paddingRight),
                    padY: parseFloat(b.paddingTop) + parseFloat(b.paddingBottom)};""")
        cw, ch = page.facts.client
        n = round(m['cw'] * dpr / cw)
        room_w, room_h = (m['w'] - m['padX']) * dpr, (m['h'] - m['padY'] - m['lineRoom']) * dpr
        slack = dpr / 64 + 0.001  # layout keeps sizes in 64ths of a CSS pixel: a third is off by a hair
        problems = [
            ((m['w'], m['h'], m['dpr']) != (width, height, dpr),
             'the page is %sx%s at %s' % (m['w'], m['h'], m['dpr'])),
            (abs(m['cw'] * dpr - n * cw) > slack or abs(m['ch'] * dpr - n * ch) > slack,
             'the canvas is %.2f x %.2f device pixels, not whole blocks' % (m['cw'] * dpr, m['ch'] * dpr)),
            (n * cw > room_w + 0.01 or n * ch > room_h + 0.01,
             'blocks of %d do not fit %.0f x %.0f device pixels' % (n, room_w, room_h)),
            ((n + 1) * cw <= room_w and (n + 1) * ch <= room_h, 'blocks of %d, though %d would fit' % (n, n + 1)),
            (m['left'] < 0 or m['top'] < 0 or m['lineBottom'] > m['h'] + 0.5 or m['lineTop'] < m['top'] + m['ch'] - 0.5,
             'the canvas or the status line is off the screen: %s' % m),
            (m['about'] is not None and (m['about'][0] < m['lineBottom'] - 0.5 or m['about'][1] > m['h'] + 0.5),
             'the about line is not under the status line on the screen: %s' % m),
            (m['help'] is not None and not clear_of_the_canvas(m), 'how to play is over the canvas or off the '
                                                                  'screen: %s' % m)]
        why[:] = [what for bad, what in problems if bad]
        return None if why else n

    assert wait_until(10, fits, step=0.1), 'on a %dx%d screen at %s: %s' % (width, height, dpr, '; '.join(why))
    return fits()


@pytest.mark.parametrize('width, height, dpr', [PHONE, TABLET], ids=['phone', 'tablet'])
def test_the_game_fits_the_screen_and_turns_with_it(browser, site, facts, device, width, height, dpr):
    device(width, height, dpr)
    page = Page(browser, site.url, facts)
    assert wait_until(30, page.started), 'the game did not start: "%s"' % page.status()
    page.js('window.sameDocument = true;')
    about_shown = []
    for w, h, how in ((width, height, 'portrait'), (height, width, 'landscape, turned'),
                      (width, height, 'portrait again')):
        device(w, h, dpr)
        n = fitted(page, w, h, dpr)
        assert page.js('return window.sameDocument === true;'), 'turning the device reloaded the page'
        about_shown.append(not page.js("return document.getElementById('about').hidden;"))
        help = help_text(page)
        if (width, height, dpr) == PHONE:
            assert help and 'How to play' in help and 'Tap' in help and 'Click' not in help, \
                'on the phone, %s, how to play says %r' % (how, help)
        log('%dx%d at %s, %s: blocks of %d device pixels, the about line %s, how to play %s'
            % (w, h, dpr, how, n, 'shown' if about_shown[-1] else 'hidden', 'shown' if help else 'hidden'))
    assert any(about_shown), 'the game left no room for the about line in any orientation'


def test_how_to_play_beside_the_game_zoomed_in(browser, site, facts):
    """A 1280 x 800 window at 200 % page zoom on a screen of 1.5 device
    pixels a CSS pixel: a page of 640 x 328 CSS pixels at 3 device pixels
    each, the game in the middle with some 190 CSS pixels either side."""
    width, height, dpr = 640, 328, 3
    emulate(browser, width, height, dpr, touch=False)
    try:
        page = Page(browser, site.url, facts)
        assert wait_until(30, page.started), 'the game did not start: "%s"' % page.status()
        n = fitted(page, width, height, dpr)
        help = help_text(page)
        assert help and 'How to play' in help and 'Click' in help, 'zoomed in, how to play says %r' % help
        log('%dx%d at %s: blocks of %d device pixels, how to play beside the game' % (width, height, dpr, n))
    finally:
        as_desktop(browser)


def test_how_to_play_in_japanese_where_the_browser_asks_for_it(browser, site, facts, tmp_path):
    agent = browser.js('return navigator.userAgent;')
    browser.d.execute_cdp_cmd('Network.setUserAgentOverride', {'userAgent': agent, 'acceptLanguage': 'ja,en'})
    try:
        page = Page(browser, site.url, facts)
        assert wait_until(30, page.started), 'the game did not start: "%s"' % page.status()
        assert page.js('return navigator.languages[0];') == 'ja', 'the browser does not ask for Japanese'
        help = help_text(page)
        assert help and '遊び方' in help and 'クリック' in help and 'How to play' not in help, \
            'asked for Japanese, with a mouse, how to play says %r' % help
        log('how to play, in Japanese: %r' % help)
        # A shared dive says so in the same language.
        out = subprocess.run([facts.tool, 'record', str(tmp_path / 'dive.tvk')], check=True, capture_output=True,
                             text=True).stdout
        page = Page(browser, site.url + '#' + dict(line.split() for line in out.splitlines())['link'], facts)
        assert wait_until(30, page.title_screen), 'a shared dive\'s link did not open: "%s"' % page.status()
        assert page.status() == '共有されたダイブです。ゲームをクリックで再生。', 'in Japanese, a shared dive\'s link says "%s"' % (
            page.status())
    finally:
        browser.d.execute_cdp_cmd('Network.setUserAgentOverride', {'userAgent': agent})


def test_a_scale_too_large_for_the_screen_is_cut_down(browser, site, facts, device):
    device(*PHONE)
    page = Page(browser, site.url + '?scale=100000', facts)
    assert wait_until(30, page.started), 'the game did not start at ?scale=100000: "%s"' % page.status()
    log('?scale=100000 on the phone: blocks of %d device pixels' % fitted(page, *PHONE))


def test_the_screen_is_kept_lit_through_the_dive(browser, site, facts, device):
    device(*PHONE)
    site.server.before = WAKE_LOCK + SHARE_SHEET
    page = Page(browser, site.url, facts).wait_for_title('with the stand-in wake lock')
    title = page.canvas_rect()
    Fingers(page).tap(*facts.at['start'])
    assert wait_until(10, lambda: page.js('return wakeLog.slice();') == ['request'] and page.last_step()), \
        'the dive did not start and keep the screen lit: %s' % page.js('return wakeLog;')
    assert wait_until(20, lambda: page.status() == ''), 'with the sounds in, the page says "%s"' % page.status()
    assert not page.js("return document.getElementById('howto').open;"), 'how to play did not fold as the dive began'
    assert page.canvas_rect() == title, 'the canvas moved from %s to %s once the dive began' % (title, page.canvas_rect())
    assert wait_until(90, lambda: page.last_step()['phase'] == facts.phases['gameOver'], step=0.2), 'no GAME OVER'
    assert page.canvas_rect() == title, 'the canvas moved from %s to %s by the GAME OVER' % (title, page.canvas_rect())
    assert wait_until(10, lambda: page.js('return wakeLog.slice();') == ['request', 'release']), \
        'the end of the dive did not let the screen dim: %s' % page.js('return wakeLog;')
    # The dive over, what it offers comes under the game, on the screen,
    # moving nothing; Share hands the dive's link to the system's share sheet.
    assert wait_until(10, lambda: offered(page) == ['again', 'share', 'save']), 'the page offers %s' % offered(page)
    row = page.js("var r = document.getElementById('replays').getBoundingClientRect();"
                  "return [r.left, r.top, r.right, r.bottom, innerWidth, innerHeight];")
    c = page.canvas_rect()
    assert row[1] >= c[1] + c[3] - 0.5 and row[0] >= -0.5 and row[2] <= row[4] + 0.5 and row[3] <= row[5] + 0.5, \
        'the actions are not under the game on the screen: %s, the canvas %s' % (row, c)
    assert page.canvas_rect() == title, 'the canvas moved as the actions came'
    Fingers(page).tap_page(*action_at(page, 'share'))
    assert wait_until(10, lambda: page.js('return window.sharedLinks.length;')), 'Share did not reach the share sheet'
    shared = page.js('return window.sharedLinks;')
    assert len(shared) == 1 and shared[0].startswith(site.url + '#') and len(shared[0]) > len(site.url) + 40, \
        'Share gave %s' % shared
    page = Page(browser, shared[0], facts)
    assert wait_until(30, page.title_screen), 'the link did not open: "%s"' % page.status()
    assert page.status() == 'A shared dive: tap the game to watch it.', 'the link says "%s"' % page.status()
    log('on the phone, Share gave a link of %d characters, which opens on the title: "%s"' % (len(shared[0]),
                                                                                             page.status()))
