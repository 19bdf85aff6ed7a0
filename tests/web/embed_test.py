"""The game inside another site's page, as game portals embed it: a page of
another origin (localhost) holds the game (127.0.0.1) in an iframe. A plain
cross-origin frame with the permissions a portal should give it plays, its
music included; so does a sandboxed frame without an origin of its own
(refused the Web Locks API and service workers) when the site's files are
open to other origins; without that, the page says in one line why it
cannot start. A portal that takes the frame away mid-dive goes back at once
with its own Back: the game leaves nothing in the portal's history.
"""
import pytest

from web_page import Page, SiteServer, log, wait_until

pytestmark = pytest.mark.engines('chromium')
ALLOW = 'autoplay; fullscreen; screen-wake-lock'
FRAMES = {'/plain': 'allow="%s"' % ALLOW, '/sandboxed': 'sandbox="allow-scripts" allow="%s"' % ALLOW,
          '/sandboxed-alone': 'sandbox="allow-scripts"'}
# Keeps the page's audio context where the test can ask for its state.
AUDIO = 'var C = window.AudioContext; window.AudioContext = class extends C {' \
        ' constructor(o) { super(o); window.audioSeen = this; } };'


@pytest.fixture(scope='module')
def portal(site, tmp_path_factory):
    """The portal's pages, one a kind of frame (FRAMES), on their own origin."""
    pages = {path: (('<!doctype html><title>A portal</title><body style="margin:0;background:#333">'
                     '<iframe id="game" src="%s" width="640" height="720" %s></iframe>' % (site.url, attrs)).encode(),
                    'text/html; charset=utf-8') for path, attrs in FRAMES.items()}
    with SiteServer(str(tmp_path_factory.mktemp('portal')), host='localhost') as server:
        server.routes = dict(pages, **{'/home': (b'<!doctype html><title>The portal</title>', 'text/html')})
        site.server.before, site.server.blocked = AUDIO, set()  # with its worker, as the site ships
        yield server.url.rstrip('/')
    site.without_worker()


class FramePage(Page):
    """The game's page in the portal's iframe: its script runs in the frame,
    the pointer moves on the portal's page over the frame."""

    def js(self, script, *args):
        self.d.switch_to.frame(self.d.find_element('id', 'game'))
        try:
            return self.d.execute_script(script, *args)
        finally:
            self.d.switch_to.default_content()

    def canvas_rect(self):
        fx, fy = self.b.js("var f = document.getElementById('game'), r = f.getBoundingClientRect();"
                           "return [r.left + f.clientLeft, r.top + f.clientTop];")
        left, top, w, h = Page.canvas_rect(self)
        return [fx + left, fy + top, w, h]


def plays(page):
    page.dive_with_music()
    assert wait_until(10, lambda: page.js('return audioSeen.state;') == 'running'), \
        'the audio is %s' % page.js('return audioSeen.state;')
    log('tick %d, %s' % (page.last_step()['tick'], sorted(page.sounded(None))))


def test_a_cross_origin_frame_plays(browser, site, facts, portal):
    page = FramePage(browser, portal + '/plain', facts)
    assert page.js('return self.origin;') + '/' == site.url, 'the frame is not the game\'s origin'
    assert browser.js('return location.origin;') == portal, 'the portal is not an origin of its own'
    assert browser.js("return document.getElementById('game').allow;") == ALLOW, \
        'the frame is not allowed what a portal should allow it'
    plays(page)


def test_a_sandboxed_frame_plays_from_a_site_open_to_all(browser, site, facts, portal):
    site.server.headers = {'Access-Control-Allow-Origin': '*'}
    page = FramePage(browser, portal + '/sandboxed', facts)
    assert page.js('return self.origin;') == 'null', 'the sandboxed frame has an origin'
    refused = page.js("""
        var out = [];
        try { navigator.serviceWorker; } catch (e) { out.push('service workers'); }
        return navigator.locks.request('probe', function () {}).then(function () { return out; },
          function () { out.push('locks'); return out; });""")
    assert refused == ['service workers', 'locks'], 'the sandboxed frame was not refused them: %s' % refused
    plays(page)


def test_a_sandboxed_frame_says_why_a_closed_site_cannot_start(browser, site, facts, portal):
    site.server.headers = {}
    page = FramePage(browser, portal + '/sandboxed-alone', facts)
    assert wait_until(30, lambda: 'Access-Control-Allow-Origin' in page.status()), \
        'the page says "%s"' % page.status()
    assert not page.running(), 'the game started'
    log('"%s"' % page.status())


def test_a_host_that_closes_the_game_mid_dive_goes_back_at_once(browser, site, facts, portal):
    browser.open(portal + '/home')
    page = FramePage(browser, portal + '/plain', facts).wait_for_title()
    page.start_dive()
    browser.js("document.getElementById('game').remove(); history.back();")
    assert wait_until(10, lambda: browser.js('return location.pathname;') == '/home'), \
        'the portal\'s first Back after closing the game went nowhere: it shows %s' % browser.js('return location.href;')
