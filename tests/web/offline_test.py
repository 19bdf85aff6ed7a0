"""The site kept by its service worker: after a first visit the game starts
and plays, music included, with the server gone; a new build of the site
replaces the kept copy as a whole, never file by file, and a site caught
halfway through an upload is not kept at all, and a first visit to a copy
in a folder of the kept one switches no open tab of it to a new build. The kept copy keeps the
host's headers that protect the page, those of the host's latest answer: a
host that forbids frames of its page (`frame-ancestors 'none'`) has a frame
of it refused on the first visit, after the worker has kept the site, and
offline; one that allows them again has them load on the next visit. A
header that acts (a Refresh) is never kept. A shared dive's link plays
offline too.

Each case plays a copy of the site of its own, served on a port (an origin)
of its own, and rebuilds it the way the build does after changing a file.
"""
import hashlib
import os
import subprocess
import urllib.request

import pytest

from web_page import Page, SiteServer, keep_worker_list, log, offered, wait_until
from web_page import copy_playing_the_test_build

pytestmark = pytest.mark.engines('chromium')


class Kept:
    """A copy of the site, served, and a first visit that kept it whole."""

    def __init__(self, browser, facts, folder, headers=None, routes=None, headers_at=None):
        self.browser, self.facts, self.folder = browser, facts, folder
        self.css = os.path.join(folder, 'page.css')
        self.server = SiteServer(folder)
        self.server.headers, self.server.routes = dict(headers or {}), dict(routes or {})
        self.server.headers_at = dict(headers_at or {})
        self.page = Page(browser, self.server.url, facts)
        assert wait_until(30, self.page.started), 'the game did not start: the page says "%s"' % self.page.status()
        assert wait_until(30, self.page.worker_in_charge), 'no service worker took charge of the site'
        copies = self.caches()
        assert len(copies) == 1, 'the site is kept in %d caches: %s' % (len(copies), list(copies))
        (self.name, first), = copies.items()
        files = self.files()
        assert first == files, 'the kept copy is not the site: missing %s, different %s, more %s' % (
            sorted(set(files) - set(first)), sorted(n for n in files if n in first and first[n] != files[n]),
            sorted(set(first) - set(files)))
        log('a first visit keeps %d files in "%s"' % (len(first), self.name))

    def files(self):
        """Every file of the site but the worker, with the SHA-256 of its bytes."""
        out = {}
        for root, _, names in os.walk(self.folder):
            for n in names:
                with open(os.path.join(root, n), 'rb') as f:
                    out[os.path.relpath(os.path.join(root, n), self.folder).replace(os.sep, '/')] = \
                        hashlib.sha256(f.read()).hexdigest()
        del out['sw.js']
        return out

    def caches(self):
        """The site's caches: {cache name: {file: SHA-256 of the kept bytes}}."""
        return self.page.js("""
            var base = new URL('./', location.href).href;
            function hex(b) {
              return Array.from(new Uint8Array(b), function (x) { return x.toString(16).padStart(2, '0'); }).join('');
            }
            return caches.keys().then(function (names) {
              return Promise.all(names.map(function (name) {
                return caches.open(name).then(function (c) { return c.keys(); }).then(function (requests) {
                  return Promise.all(requests.map(function (r) {
                    return caches.match(r, {cacheName: name}).then(function (res) { return res.arrayBuffer(); })
                      .then(function (b) { return crypto.subtle.digest('SHA-256', b); })
                      .then(function (d) { return [r.url.slice(base.length), hex(d)]; });
                  }));
                }).then(function (entries) { return [name, Object.fromEntries(entries)]; });
              }));
            }).then(Object.fromEntries);""")

    def fetched_css(self):
        """The page's own fetch of page.css, through its worker."""
        return self.page.js("return fetch('page.css').then(function (r) { return r.text(); });")

    def rebuild(self, css):
        """A new build of the site whose page.css is `css`."""
        with open(self.css, 'w') as f:
            f.write(css)
        keep_worker_list(self.folder)

    def new_worker(self):
        """Asks the browser to look for a new build of the worker; what became
        of it: 'installed' (kept whole, waiting), 'redundant' (dropped)."""
        return self.page.js("""
            return navigator.serviceWorker.getRegistration().then(function (r) {
              return new Promise(function (done) {
                r.addEventListener('updatefound', function () {
                  var w = r.installing;
                  w.addEventListener('statechange', function () {
                    if (w.state === 'installed' || w.state === 'redundant') done(w.state);
                  });
                });
                r.update().catch(function () {});
                setTimeout(function () { done('no new worker'); }, 25000);
              });
            });""")

    def reload(self):
        """Reloads the page, which the worker then serves."""
        self.browser.d.refresh()
        self.page = Page(self.browser, None, self.facts)
        self.page.url = self.server.url
        assert wait_until(10, lambda: self.page.js('return !!navigator.serviceWorker.controller;')), \
            'the reloaded page is not the worker\'s'

    def plays_with_music(self):
        page = self.page
        page.dive_with_music()  # once the kept sounds are all decoded, the page has nothing to say
        first = page.js('return torvenkaWatch.firstFramePlace;')
        assert first == page.canvas_rect(), 'the kept page\'s first frame had the canvas at %s, now at %s' % (
            first, page.canvas_rect())


@pytest.fixture
def kept(browser, site_folder, facts, tmp_path):
    k = Kept(browser, facts, copy_playing_the_test_build(site_folder, str(tmp_path / 'site')))
    yield k
    k.server.stop()


def test_the_kept_site_plays_without_the_server(kept, tmp_path):
    kept.server.stop()
    with pytest.raises(OSError):
        urllib.request.urlopen(kept.server.url, timeout=5)
    kept.reload()
    kept.plays_with_music()
    log('the server gone, tick %d, %s' % (kept.page.last_step()['tick'], kept.page.sounded(None)))

    # A shared dive's link: its fragment is no part of what the browser
    # asks for, and the kept page comes with it, and plays it.
    out = subprocess.run([kept.facts.tool, 'record', str(tmp_path / 'dive.tvk')], check=True, capture_output=True,
                         text=True).stdout
    desktop = dict(line.split() for line in out.splitlines())
    kept.browser.open('about:blank')
    page = Page(kept.browser, kept.server.url + '#' + desktop['link'], kept.facts)
    assert wait_until(30, page.title_screen), 'offline, the shared link did not open: "%s"' % page.status()
    assert page.status().startswith('A shared dive'), 'offline, the shared link says "%s"' % page.status()
    page.click(*kept.facts.at['card1'])
    assert wait_until(60, lambda: 'yourself' in offered(page)), 'offline, the shared dive did not play to its end'
    end = page.last_step()
    assert (end['tick'], end['life'], end['oxygen'], end['tanks']) == tuple(
        int(desktop[k]) for k in ('tick', 'life', 'oxygen', 'tanks')), 'offline, the shared dive ended at %s' % end
    log('offline, a shared dive\'s link plays to its end: tick %d' % end['tick'])


def test_a_new_build_replaces_the_kept_copy_whole(kept):
    kept.reload()
    assert wait_until(30, kept.page.title_screen), 'no title screen: the page says "%s"' % kept.page.status()
    kept.page.start_dive()
    with open(kept.css) as f:
        old_css = f.read()
    new_css = old_css + '\n/* another build */\n'
    kept.rebuild(new_css)
    state = kept.new_worker()
    assert state == 'installed', 'the new build\'s worker is %s' % state
    copies = kept.caches()
    assert kept.name in copies and len(copies) == 2, 'while the old page plays, the caches are %s' % list(copies)
    second = [n for n in copies if n != kept.name][0]
    assert copies[second] == kept.files(), 'the new build is not kept whole'
    assert kept.fetched_css() == old_css, 'the open page of the old build got the new build\'s page.css'
    tick = kept.page.last_step()['tick']
    assert wait_until(10, lambda: kept.page.last_step()['tick'] > tick), 'the dive stopped'
    log('the new build waits; the open page still gets the old files')

    kept.reload()
    assert wait_until(30, kept.page.started), 'the game did not start on the next visit'
    assert kept.fetched_css() == new_css, 'the next visit did not get the new build\'s page.css'
    assert list(kept.caches()) == [second], 'after the next visit the caches are %s' % list(kept.caches())
    sheets = kept.page.js('return Array.from(document.styleSheets).map(function (s) { return s.href; });')
    assert any(h and h.endswith('/page.css') for h in sheets), 'the new build\'s page has no style sheet: %s' % sheets
    kept.plays_with_music()
    log('the next visit is the new build, whole, in one cache, "%s"' % second)


def test_a_nested_copy_leaves_an_open_tab_on_its_build(kept, site_folder):
    """A first visit to a copy in a folder of the kept one, while a new build
    of the kept one waits, hands that build nothing: the open tab plays on
    with its own build and its offline copy."""
    kept.reload()
    assert wait_until(30, kept.page.title_screen), 'no title screen: the page says "%s"' % kept.page.status()
    kept.page.start_dive()
    with open(kept.css) as f:
        old_css = f.read()
    kept.rebuild(old_css + '\n/* another build */\n')
    assert kept.new_worker() == 'installed', 'the new build\'s worker did not wait'
    copy_playing_the_test_build(site_folder, os.path.join(kept.folder, 'nested'))
    playing = kept.browser.tab()
    kept.browser.new_tab()
    nested = Page(kept.browser, kept.server.url + 'nested/', kept.facts)
    assert wait_until(30, nested.started), 'the nested copy did not start: "%s"' % nested.status()
    assert wait_until(30, lambda: nested.js("""
        var scope = new URL('./', location.href).href;
        return navigator.serviceWorker.getRegistration(scope).then(function (r) {
          return !!(r && r.scope === scope && r.active && r.active.state === 'activated'); });""")), \
        'the nested copy was not kept by a worker of its own'
    kept.browser.close_tab()
    kept.browser.switch_to(playing)
    assert kept.name in kept.caches(), 'the open tab\'s offline copy was deleted: %s' % list(kept.caches())
    assert kept.fetched_css() == old_css, 'the open tab got the new build\'s page.css'
    tick = kept.page.last_step()['tick']
    assert wait_until(10, lambda: kept.page.last_step()['tick'] > tick), 'the dive stopped'
    log('the nested copy kept by its own worker; the open tab plays on its own build')


def test_a_half_uploaded_site_is_not_kept(kept):
    # The worker lists the next build's page.css; the server still has this one's.
    with open(kept.css) as f:
        css = f.read()
    kept.rebuild(css + '/* the next build */\n')
    with open(kept.css, 'w') as f:
        f.write(css)
    state = kept.new_worker()
    assert state == 'redundant', 'a worker of a half-uploaded site got %s' % state
    assert list(kept.caches()) == [kept.name], 'a half-uploaded site left the caches %s' % list(kept.caches())


NOT_FRAMED = {'Content-Security-Policy': "frame-ancestors 'none'"}
FRAME = {'/frame.html': (b'<!doctype html><title>A frame of the game</title><iframe id="game" src="./"></iframe>',
                         'text/html; charset=utf-8')}


def framed(browser, url):
    """What became of the game's page in a same-origin frame, once the frame
    has loaded: 'refused' (the browser's own error page, of no origin the
    test may read) or 'loaded'."""
    browser.open(url + 'frame.html')

    def state():
        return browser.js("var d = document.getElementById('game').contentDocument;"
                          "return !d ? 'refused' : d.getElementById('canvas') ? 'loaded' : null;")

    assert wait_until(20, lambda: state() is not None), 'the frame shows neither the game nor a refusal'
    return state()


def test_the_kept_site_keeps_the_hosts_headers(browser, site_folder, facts, tmp_path):
    folder = copy_playing_the_test_build(site_folder, str(tmp_path / 'site'))
    with SiteServer(folder) as first:
        first.headers, first.routes = NOT_FRAMED, FRAME
        assert framed(browser, first.url) == 'refused', 'on a first visit the frame was not refused'
    log('a first visit: the frame refused')
    kept = Kept(browser, facts, folder, NOT_FRAMED, FRAME)
    offline = {'/', '/sw.js'} | {'/' + name for name in kept.files()}
    try:
        assert framed(browser, kept.server.url) == 'refused', 'once the site was kept, the frame loaded'
        log('the site kept: the frame refused')
        # The host's headers of each visit hold, and offline those of the last.
        for headers, want in (({}, 'loaded'), (NOT_FRAMED, 'refused')):
            kept.server.headers, kept.server.blocked = headers, set()
            assert framed(browser, kept.server.url) == want, 'with the host sending %s, the frame %s' % (
                headers, framed(browser, kept.server.url))
            kept.server.blocked = offline
            assert framed(browser, kept.server.url) == want, 'offline after a visit with %s, the frame was not %s' \
                % (headers, want)
            log('the host sends %s: the frame %s, and offline too' % (headers, want))
        kept.page = Page(browser, kept.server.url, facts)
        assert wait_until(30, kept.page.title_screen), 'offline, the kept page did not come up on its own'
        log('offline: the page on its own plays')
    finally:
        kept.server.stop()


def test_a_header_that_acts_is_never_kept(browser, site_folder, facts, tmp_path):
    """A Refresh the host sent while the worker kept the page, and sends with
    the page from then on, moves the page neither online nor offline."""
    refresh = {'Refresh': '0; url=refreshed.html'}
    kept = Kept(browser, facts, copy_playing_the_test_build(site_folder, str(tmp_path / 'site')),
                routes={'/refreshed.html': (b'<!doctype html><title>Refreshed</title>', 'text/html')},
                headers_at={'/index.html': refresh})
    try:
        for online in (True, False):
            if online:
                kept.server.headers_at = {'/': refresh, '/index.html': refresh}
            else:
                kept.server.blocked = {'/', '/sw.js'} | {'/' + name for name in kept.files()}
            kept.reload()
            kept.plays_with_music()
            where = kept.page.js('return location.pathname;')
            assert where == '/', '%s, the page went on to %s' % ('online' if online else 'offline', where)
        log('the host\'s Refresh moved the kept page neither online nor offline')
    finally:
        kept.server.stop()
