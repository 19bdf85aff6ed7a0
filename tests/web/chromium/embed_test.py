#!/usr/bin/python3
"""The game inside another site's page, as game portals embed it: a page on
another origin (http://localhost:PORT) holds the game (http://127.0.0.1:PORT)
in an iframe.

- A plain cross-origin frame, with the permissions a portal should give it
  (allow="autoplay; fullscreen; screen-wake-lock"): it plays, a click in the
  frame starts the dive and its music.
- A sandboxed frame without an origin of its own (sandbox="allow-scripts"),
  which the browser refuses the Web Locks API and service workers: with the
  site's files open to other origins (Access-Control-Allow-Origin: *) it
  plays, with sound and without a word on the page; without that, the page
  says in one line why it cannot start.

    embed_test.py SITE_FOLDER
"""
import functools
import http.server
import os
import sys
import threading

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import Page, QuietHandler, check, log, run_chromium_in_folder, wait_until, watched_page

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)
ALLOW = 'autoplay; fullscreen; screen-wake-lock'


class SiteHandler(QuietHandler):
    open_to_all = False

    def end_headers(self):
        if SiteHandler.open_to_all:
            self.send_header('Access-Control-Allow-Origin', '*')
        super().end_headers()


def serve(handler):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def portal(game_url):
    """A page of another origin that holds the game in an iframe; its query
    string is the iframe's attributes."""

    class Portal(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            from urllib.parse import parse_qs, urlparse
            attrs = ''.join(' %s="%s"' % (k, v[0]) for k, v in parse_qs(urlparse(self.path).query).items())
            body = ('<!doctype html><title>A portal</title><body style="margin:0;background:#333">'
                    '<iframe id="game" src="%s" width="640" height="720"%s></iframe>' % (game_url, attrs)).encode()
            self.send_response(200)
            self.send_header('Content-Type', 'text/html; charset=utf-8')
            self.send_header('Content-Length', str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Portal


class FramePage(Page):
    """The game's page in the portal's iframe: its script runs in the frame,
    the pointer moves on the portal's page over the frame."""

    def __init__(self, driver, url):
        super().__init__(driver, url)

    def js(self, script, *args):
        self.d.switch_to.frame(self.d.find_element('id', 'game'))
        try:
            return self.d.execute_script(script, *args)
        finally:
            self.d.switch_to.default_content()

    def canvas_rect(self):
        fx, fy = self.d.execute_script("var f = document.getElementById('game'), r = f.getBoundingClientRect();"
                                       "return [r.left + f.clientLeft, r.top + f.clientTop];")
        left, top, w, h = Page.canvas_rect(self)
        return [fx + left, fy + top, w, h]


def plays(page, what):
    check(wait_until(15, lambda: page.started() and page.count(WHITE, TITLE_BOX) > 0),
          '%s: the title did not come up (the page says "%s")' % (what, page.status()))
    page.move(90, 100)
    page.press(90, 100)
    page.release(90, 100)
    check(wait_until(5, lambda: len(page.steps()) > 5), '%s: a click in the frame did not start the dive' % what)
    check(wait_until(5, lambda: any(s['op'] == 'sounding' and s['url'] == 'dat/plomvex_s01.ogg'
                                    for s in page.sound())), '%s: the dive\'s music did not play' % what)
    states = {s['state'] for s in page.sound() if s['op'] == 'sounding'}
    check(states == {'running'}, '%s: the audio was not running when the sound started: %s' % (what, states))
    check(page.status() == '', '%s: the page says "%s"' % (what, page.status()))
    log('  tick %d, %s' % (page.steps()[-1]['tick'], sorted({s['url'] for s in page.sound() if s['op'] == 'sounding'})))


def test(driver, folder):
    SiteHandler.page = watched_page(folder)  # the test build of the page
    site = serve(functools.partial(SiteHandler, directory=folder))
    game = 'http://127.0.0.1:%d/' % site.server_address[1]
    host = serve(portal(game))
    base = 'http://localhost:%d/' % host.server_address[1]
    try:
        log('a portal on another origin embeds the game in an iframe (allow="%s")' % ALLOW)
        page = FramePage(driver, base + '?allow=' + ALLOW)
        check(page.js('return self.origin;') == game.rstrip('/'), 'the frame is not the game\'s origin')
        check(driver.execute_script("return document.getElementById('game').allow;") == ALLOW,
              'the frame is not allowed what a portal should allow it')
        check(driver.execute_script('return location.origin;') != game.rstrip('/'), 'the portal is the game\'s origin')
        plays(page, 'in a cross-origin frame')

        log('a sandboxed frame without an origin of its own, the site open to all origins')
        SiteHandler.open_to_all = True
        page = FramePage(driver, base + '?sandbox=allow-scripts&allow=' + ALLOW)
        check(page.js('return self.origin;') == 'null', 'the sandboxed frame has an origin')
        refused = page.js("""
            var out = [];
            try { navigator.serviceWorker; } catch (e) { out.push('service workers'); }
            return navigator.locks.request('probe', function () {}).then(function () { return out; },
              function () { out.push('locks'); return out; });""")
        check(refused == ['service workers', 'locks'], 'the sandboxed frame was not refused them: %s' % refused)
        plays(page, 'in a sandboxed frame')

        log('the same frame, the site closed to other origins: one line says why it cannot start')
        SiteHandler.open_to_all = False
        page = FramePage(driver, base + '?sandbox=allow-scripts')
        check(wait_until(10, lambda: 'Access-Control-Allow-Origin' in page.status()),
              'the page says "%s"' % page.status())
        check(not page.started(), 'the game started')
        log('  "%s"' % page.status())
    finally:
        for s in (site, host):
            s.shutdown()
            s.server_close()


if __name__ == '__main__':
    run_chromium_in_folder(test)
