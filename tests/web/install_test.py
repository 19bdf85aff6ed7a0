"""The page as it ships, as an app to install and as a page on a phone:
Chromium finds nothing that keeps it from being installed and reads its
manifest without an error; the manifest's and iOS's icons are the octopus
the game itself sets as the page's icon; on a phone with a notch the canvas
and the status line keep clear of it, and no touch is the browser's (no
zoom, scrolling, pull-to-refresh, selection, callout or tap flash).
"""
import base64
import io
import json
import os
import re
import urllib.request

import pytest
from PIL import Image

from web_page import PHONE, Page, SiteServer, emulate, log, wait_until

pytestmark = pytest.mark.engines('chromium')
ICON = "return document.querySelector('link[rel=\"icon\"]').href;"
INSET = {'top': 47, 'bottom': 34, 'left': 12, 'right': 20}


@pytest.fixture(scope='module')
def shipped(browser, site_folder):
    """The page as it ships, served with its service worker, its icon set."""
    with SiteServer(site_folder, no_store=True) as server:
        page = Page(browser, server.url)
        assert wait_until(30, lambda: page.running() and page.js(ICON).startswith('data:image/png')), \
            'the game did not start and set its icon: the page says "%s"' % page.status()
        yield page


class Picture:
    """A picture of the site, or of a data: address, its pixels as (r, g, b, a)."""

    def __init__(self, page, src):
        if src.startswith('data:'):
            data = base64.b64decode(src.split(',', 1)[1])
        else:
            with urllib.request.urlopen(page.url + src) as r:
                data = r.read()
        image = Image.open(io.BytesIO(data)).convert('RGBA')
        (self.w, self.h), self.px = image.size, image.load()

    def at(self, x, y):
        return self.px[x, y]


def on_black(rgba):
    return rgba if rgba[3] == 255 else (0, 0, 0, 255)


def differ(pic, design, scale, left=0, top=0, black=False):
    """How many design pixels the picture does not show at a whole `scale`
    from (left, top)."""
    want = on_black if black else tuple
    return sum(1 for y in range(design.h) for x in range(design.w)
               if any(pic.at(left + x * scale + dx, top + y * scale + dy) != want(design.at(x, y))
                      for dy in range(scale) for dx in range(scale)))


def test_installable(browser, shipped, facts):
    url = shipped.url
    d = browser.d
    errors = d.execute_cdp_cmd('Page.getInstallabilityErrors', {})['installabilityErrors']
    assert errors == [], 'installability errors: %s' % errors
    got = d.execute_cdp_cmd('Page.getAppManifest', {})
    assert got['errors'] == [], 'manifest errors: %s' % got['errors']
    m, raw = got['manifest'], json.loads(got['data'])
    assert (m['name'], raw.get('short_name')) == (facts.names['game'],) * 2, 'the names are %s, %s' % (
        m['name'], raw.get('short_name'))
    assert m['startUrl'] == url and m['scope'] == url, 'start %s, scope %s' % (m['startUrl'], m['scope'])
    assert m['display'] == 'kStandalone', 'display %s' % m['display']
    assert m['backgroundColor'] == m['themeColor'] == 'rgba(0,0,0,1)', 'colours %s, %s' % (
        m['backgroundColor'], m['themeColor'])
    icons = {(i['url'][len(url):], i['sizes'], i['type']) for i in m['icons']}
    assert icons == {('icon-192.png', '192x192', 'image/png'), ('icon-512.png', '512x512', 'image/png'),
                     ('icon-maskable-512.png', '512x512', 'image/png')}, 'the icons are %s' % icons
    purposes = sorted(i['src'] + ' ' + i.get('purpose', 'any') for i in raw['icons'])
    assert purposes == ['icon-192.png any', 'icon-512.png any', 'icon-maskable-512.png maskable'], \
        'the icons\' purposes are %s' % purposes


def test_the_icons_are_the_octopus_the_game_sets(shipped, facts):
    page = shipped
    design = Picture(page, page.js(ICON))
    assert (design.w, design.h) == (64, 64), 'the game\'s own icon is %dx%d' % (design.w, design.h)
    assert sum(1 for y in range(64) for x in range(64) if design.at(x, y) == (255, 255, 255, 255)) > 50, \
        'the game\'s own icon has no white octopus'
    for name, size in (('icon-192.png', 192), ('icon-512.png', 512)):
        pic = Picture(page, name)
        assert (pic.w, pic.h) == (size, size), '%s is %dx%d' % (name, pic.w, pic.h)
        bad = differ(pic, design, size // 64)
        assert not bad, '%s is not the game\'s icon at %dx: %d design pixels differ' % (name, size // 64, bad)
    mask = Picture(page, 'icon-maskable-512.png')
    assert (mask.w, mask.h) == (512, 512), 'the maskable icon is %dx%d' % (mask.w, mask.h)
    bad = differ(mask, design, 4, 128, 128, black=True)
    assert not bad, 'the maskable icon\'s middle is not the game\'s icon at 4x on black: %d pixels differ' % bad
    outside = sum(1 for y in range(512) for x in range(512) if mask.at(x, y) != (0, 0, 0, 255)
                  and (x + 0.5 - 256) ** 2 + (y + 0.5 - 256) ** 2 > (0.4 * 512) ** 2)
    assert not outside, 'the maskable icon has %d pixels other than black outside the safe zone' % outside
    assert all(mask.at(x, y) == (0, 0, 0, 255) for y in range(0, 512, 7) for x in range(0, 128)), \
        'the maskable icon is not on black'

    tags = page.js("""
        function meta(n) { var m = document.querySelector('meta[name="' + n + '"]'); return m && m.content; }
        var l = document.querySelector('link[rel="apple-touch-icon"]');
        return {icon: l && l.href, capable: meta('apple-mobile-web-app-capable'),
                title: meta('apple-mobile-web-app-title'),
                bar: meta('apple-mobile-web-app-status-bar-style'), mobile: meta('mobile-web-app-capable'),
                theme: meta('theme-color')};""")
    assert tags['icon'] == page.url + 'apple-touch-icon.png', 'the iOS icon is %s' % tags['icon']
    assert (tags['capable'], tags['mobile'], tags['title']) == ('yes', 'yes', facts.names['game']), \
        'the tags say %s' % tags
    assert tags['bar'] in ('black', 'black-translucent') and tags['theme'] == '#000000', 'the tags say %s' % tags
    apple = Picture(page, 'apple-touch-icon.png')
    assert (apple.w, apple.h) == (180, 180), 'the iOS icon is %dx%d' % (apple.w, apple.h)
    colours = {on_black(design.at(x, y)) for y in range(64) for x in range(64)}
    stray = {apple.at(x, y) for y in range(180) for x in range(180)} - colours
    assert not stray, 'the iOS icon has colours that are not the game\'s icon on black: %s' % sorted(stray)[:5]
    assert apple.at(0, 0) == (0, 0, 0, 255) and apple.at(90, 90)[3] == 255, 'the iOS icon is not opaque on black'
    log('192 and 512 at 3x and 8x, the maskable one at 4x in the safe zone on black, the iOS one on black')


def test_on_a_phone_with_a_notch(browser, site_folder, shipped):
    page, d = shipped, browser.d
    viewport = page.js("return document.querySelector('meta[name=\"viewport\"]').content;")
    assert {p.strip() for p in viewport.split(',')} == {'width=device-width', 'initial-scale=1', 'maximum-scale=1',
                                                       'user-scalable=no', 'viewport-fit=cover'}, \
        'the viewport is "%s"' % viewport
    # Chromium drops -webkit-touch-callout, which only Safari reads: the
    # page's own style sheet must say it for the page.
    with open(os.path.join(site_folder, 'page.css'), encoding='utf-8') as f:
        css = re.sub(r'/\*.*?\*/', '', f.read(), flags=re.S)
    callout = [m.group(1).strip() for m in re.finditer(r'([^{}]*)\{[^}]*-webkit-touch-callout:\s*none', css)]
    assert any('body' in c for c in callout), 'no rule keeps the long-press callout away from the page: %s' % callout

    # The scenario's last case: the phone goes with its browser.
    d.execute_cdp_cmd('Emulation.setSafeAreaInsetsOverride', {'insets': INSET})
    emulate(browser, *PHONE)
    shell = {}

    def on_the_phone():
        shell.update(page.js("""
            var out = {};
            ['html', 'body', '#canvas'].forEach(function (q) {
              var s = getComputedStyle(document.querySelector(q));
              out[q] = [s.touchAction, s.overscrollBehaviorX, s.overscrollBehaviorY, s.userSelect,
                        s.webkitUserSelect, s.webkitTapHighlightColor];
            });
            var b = getComputedStyle(document.body);
            out.padding = [b.paddingTop, b.paddingRight, b.paddingBottom, b.paddingLeft].map(parseFloat);
            out.canvas = document.getElementById('canvas').getBoundingClientRect().toJSON();
            out.status = document.getElementById('status').getBoundingClientRect().toJSON();
            out.view = [innerWidth, innerHeight];
            out.scroll = [document.documentElement.scrollHeight, document.documentElement.clientHeight];
            return out;"""))
        return shell['view'] == list(PHONE[:2]) and shell['canvas']['right'] <= 390 - INSET['right']

    assert wait_until(10, on_the_phone), 'the page did not take the phone\'s screen: %s' % shell
    for q in ('html', 'body', '#canvas'):
        # Overscrolling is a scrolling box's: the page's, not the canvas's.
        want = ['none'] * 5 if q != '#canvas' else ['none', 'auto', 'auto', 'none', 'none']
        assert shell[q][:5] == want, '%s lets the browser handle touches: %s' % (q, shell[q][:5])
        assert shell[q][5] == 'rgba(0, 0, 0, 0)', '%s flashes on a tap: %s' % (q, shell[q][5])
    assert shell['padding'] == [INSET['top'], INSET['right'], INSET['bottom'], INSET['left']], \
        'the page is padded by %s, the notch and corners by %s' % (shell['padding'], INSET)
    w, h = shell['view']
    c, s = shell['canvas'], shell['status']
    assert c['left'] >= INSET['left'] and c['top'] >= INSET['top'], 'the canvas %s reaches under the notch' % c
    assert s['top'] >= c['bottom'] and s['bottom'] <= h - INSET['bottom'], \
        'the status line %s is not below the canvas %s and clear of the bottom' % (s, c)
    assert shell['scroll'][0] <= shell['scroll'][1], 'the page scrolls: %s' % shell['scroll']
    log('canvas %dx%d at (%d, %d), status line at %d, in a %dx%d view' % (
        c['width'], c['height'], c['left'], c['top'], s['top'], w, h))
