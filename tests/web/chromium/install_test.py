#!/usr/bin/python3
"""The page as an app to install, and as a page on a phone.

- Chromium finds nothing that keeps the site from being installed
  (Page.getInstallabilityErrors), and reads its manifest without an error:
  name, start address, standalone display, black background and theme, and
  icons of 192 and 512 pixels and a maskable one.
- The icons are the program's: the octopus the game itself sets as the
  page's icon (drawn by iconAt in the page), at whole multiples; the
  maskable one keeps everything but black inside the safe zone; iOS gets
  its own opaque icon and the tags it reads for a home-screen app.
- On a phone with a notch (emulated safe-area insets), the page keeps the
  canvas and the status line clear of it, and lets the browser do nothing
  of its own with touches: no zoom, scrolling, pull-to-refresh, selection,
  callout or tap flash.

    install_test.py SITE
"""
import json
import os
import re
import sys
import time
import urllib.request

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import Page, check, log, run_chromium, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)

# The pixels of a picture of the site (or a data: address), as
# [width, height, [r, g, b, a, ...]], read through an image and a canvas.
PIXELS = """
var done = arguments[arguments.length - 1];
var img = new Image();
img.onload = function () {
  var c = document.createElement('canvas');
  c.width = img.naturalWidth; c.height = img.naturalHeight;
  var ctx = c.getContext('2d');
  ctx.drawImage(img, 0, 0);
  done([c.width, c.height, Array.from(ctx.getImageData(0, 0, c.width, c.height).data)]);
};
img.onerror = function () { done(null); };
img.src = arguments[0];
"""


class Picture:
    def __init__(self, page, src):
        got = page.d.execute_async_script(PIXELS, src)
        check(got is not None, 'no picture at %s' % src[:60])
        self.w, self.h, self.px = got[0], got[1], got[2]

    def at(self, x, y):
        i = 4 * (y * self.w + x)
        return tuple(self.px[i:i + 4])


def on_black(rgba):
    return rgba if rgba[3] == 255 else (0, 0, 0, 255)


def same_as_design(pic, design, scale, left=0, top=0, black=False):
    """Where the picture shows the design at a whole `scale` from (left, top),
    the design pixels that differ."""
    bad = []
    for y in range(design.h):
        for x in range(design.w):
            want = design.at(x, y)
            want = on_black(want) if black else want
            for dy in range(scale):
                for dx in range(scale):
                    if pic.at(left + x * scale + dx, top + y * scale + dy) != want:
                        bad.append((x, y))
    return sorted(set(bad))


def test(driver, url):
    page = Page(driver, url)
    check(wait_until(15, lambda: page.started() and page.count(WHITE, TITLE_BOX) > 0), 'the title did not come up')

    log('installable: no installability error, the manifest read without one')
    errors = driver.execute_cdp_cmd('Page.getInstallabilityErrors', {})['installabilityErrors']
    check(errors == [], 'installability errors: %s' % errors)
    got = driver.execute_cdp_cmd('Page.getAppManifest', {})
    check(got['errors'] == [], 'manifest errors: %s' % got['errors'])
    m = got['manifest']
    raw = json.loads(got['data'])
    check((m['name'], raw.get('short_name')) == ('Torvenka', 'Torvenka'), 'the names are %s, %s' % (m['name'], raw.get('short_name')))
    check(m['startUrl'] == url and m['scope'] == url, 'start %s, scope %s' % (m['startUrl'], m['scope']))
    check(m['display'] == 'kStandalone', 'display %s' % m['display'])
    check(m['backgroundColor'] == m['themeColor'] == 'rgba(0,0,0,1)', 'colours %s, %s' % (m['backgroundColor'], m['themeColor']))
    icons = {(i['url'][len(url):], i['sizes'], i['type']) for i in m['icons']}
    check(icons == {('icon-192.png', '192x192', 'image/png'), ('icon-512.png', '512x512', 'image/png'),
                    ('icon-maskable-512.png', '512x512', 'image/png')}, 'the icons are %s' % icons)
    purposes = [i['src'] + ' ' + i.get('purpose', 'any') for i in raw['icons']]
    check(sorted(purposes) == ['icon-192.png any', 'icon-512.png any', 'icon-maskable-512.png maskable'],
          'the icons\' purposes are %s' % purposes)

    log('the icons are the octopus the game sets on its page')
    design = Picture(page, page.js("return document.querySelector('link[rel=\"icon\"]').href;"))
    check((design.w, design.h) == (64, 64), 'the game\'s own icon is %dx%d' % (design.w, design.h))
    check(sum(1 for y in range(64) for x in range(64) if design.at(x, y) == (255, 255, 255, 255)) > 50,
          'the game\'s own icon has no white octopus')
    for name, size in (('icon-192.png', 192), ('icon-512.png', 512)):
        pic = Picture(page, name)
        check((pic.w, pic.h) == (size, size), '%s is %dx%d' % (name, pic.w, pic.h))
        bad = same_as_design(pic, design, size // 64)
        check(not bad, '%s is not the game\'s icon at %dx: %d design pixels differ' % (name, size // 64, len(bad)))
    mask = Picture(page, 'icon-maskable-512.png')
    check((mask.w, mask.h) == (512, 512), 'the maskable icon is %dx%d' % (mask.w, mask.h))
    bad = same_as_design(mask, design, 4, 128, 128, black=True)
    check(not bad, 'the maskable icon\'s middle is not the game\'s icon at 4x on black: %d pixels differ' % len(bad))
    outside = [(x, y) for y in range(512) for x in range(512)
               if mask.at(x, y) != (0, 0, 0, 255) and (x + 0.5 - 256) ** 2 + (y + 0.5 - 256) ** 2 > (0.4 * 512) ** 2]
    check(not outside, 'the maskable icon has %d pixels other than black outside the safe zone' % len(outside))
    check(all(mask.at(x, y) == (0, 0, 0, 255) for y in range(0, 512, 7) for x in range(0, 128)),
          'the maskable icon is not on black')
    log('  192 and 512 at 3x and 8x, the maskable one at 4x in the safe zone on black')

    log('iOS: its icon and its tags')
    tags = page.js("""
        function meta(n) { var m = document.querySelector('meta[name="' + n + '"]'); return m && m.content; }
        var l = document.querySelector('link[rel="apple-touch-icon"]');
        return {icon: l && l.href, capable: meta('apple-mobile-web-app-capable'), title: meta('apple-mobile-web-app-title'),
                bar: meta('apple-mobile-web-app-status-bar-style'), mobile: meta('mobile-web-app-capable'),
                theme: meta('theme-color')};""")
    check(tags['icon'] == url + 'apple-touch-icon.png', 'the iOS icon is %s' % tags['icon'])
    check((tags['capable'], tags['mobile'], tags['title']) == ('yes', 'yes', 'Torvenka'), 'the tags say %s' % tags)
    check(tags['bar'] in ('black', 'black-translucent') and tags['theme'] == '#000000', 'the tags say %s' % tags)
    apple = Picture(page, 'apple-touch-icon.png')
    check((apple.w, apple.h) == (180, 180), 'the iOS icon is %dx%d' % (apple.w, apple.h))
    colours = {on_black(design.at(x, y)) for y in range(64) for x in range(64)}
    stray = {apple.at(x, y) for y in range(180) for x in range(180)} - colours
    check(not stray, 'the iOS icon has colours that are not the game\'s icon on black: %s' % sorted(stray)[:5])
    check(apple.at(0, 0) == (0, 0, 0, 255) and apple.at(90, 90)[3] == 255, 'the iOS icon is not opaque on black')

    log('on a phone with a notch: nothing under it, and no touch is the browser\'s')
    viewport = page.js("return document.querySelector('meta[name=\"viewport\"]').content;")
    parts = {p.strip() for p in viewport.split(',')}
    check(parts == {'width=device-width', 'initial-scale=1', 'maximum-scale=1', 'user-scalable=no', 'viewport-fit=cover'},
          'the viewport is "%s"' % viewport)
    inset = {'top': 47, 'bottom': 34, 'left': 12, 'right': 20}
    driver.execute_cdp_cmd('Emulation.setSafeAreaInsetsOverride', {'insets': inset})
    driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True})
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {'width': 390, 'height': 844, 'deviceScaleFactor': 3, 'mobile': True})
    time.sleep(0.3)
    shell = page.js("""
        var out = {};
        ['html', 'body', '#canvas'].forEach(function (q) {
          var s = getComputedStyle(document.querySelector(q));
          out[q] = [s.touchAction, s.overscrollBehaviorX, s.overscrollBehaviorY, s.userSelect, s.webkitUserSelect,
                    s.webkitTapHighlightColor];
        });
        var b = getComputedStyle(document.body);
        out.padding = [b.paddingTop, b.paddingRight, b.paddingBottom, b.paddingLeft].map(parseFloat);
        out.canvas = document.getElementById('canvas').getBoundingClientRect().toJSON();
        out.status = document.getElementById('status').getBoundingClientRect().toJSON();
        out.view = [innerWidth, innerHeight];
        out.scroll = [document.documentElement.scrollHeight, document.documentElement.clientHeight];
        return out;""")
    for q in ('html', 'body', '#canvas'):
        # Overscrolling is a scrolling box's: the page's, not the canvas's.
        want = ['none'] * 5 if q != '#canvas' else ['none', 'auto', 'auto', 'none', 'none']
        check(shell[q][:5] == want, '%s lets the browser handle touches: %s' % (q, shell[q][:5]))
        check(shell[q][5] == 'rgba(0, 0, 0, 0)', '%s flashes on a tap: %s' % (q, shell[q][5]))
    # Chromium drops -webkit-touch-callout, which only Safari reads: the
    # page's own style sheet must say it for the page and the canvas.
    with urllib.request.urlopen(url + 'page.css') as r:
        css = re.sub(r'/\*.*?\*/', '', r.read().decode('utf-8'), flags=re.S)
    callout = [m.group(1).strip() for m in re.finditer(r'([^{}]*)\{[^}]*-webkit-touch-callout:\s*none', css)]
    check(any('body' in c for c in callout), 'no rule keeps the long-press callout away from the page: %s' % callout)
    check(shell['padding'] == [inset['top'], inset['right'], inset['bottom'], inset['left']],
          'the page is padded by %s, the notch and corners by %s' % (shell['padding'], inset))
    w, h = shell['view']
    c, s = shell['canvas'], shell['status']
    check(c['left'] >= inset['left'] and c['right'] <= w - inset['right'] and c['top'] >= inset['top'],
          'the canvas %s reaches under the notch or the corners' % c)
    check(s['top'] >= c['bottom'] and s['bottom'] <= h - inset['bottom'],
          'the status line %s is not below the canvas %s and clear of the bottom' % (s, c))
    check(shell['scroll'][0] <= shell['scroll'][1], 'the page scrolls: %s' % shell['scroll'])
    log('  canvas %dx%d at (%d, %d), status line at %d, in a %dx%d view' % (
        c['width'], c['height'], c['left'], c['top'], s['top'], w, h))


if __name__ == '__main__':
    run_chromium(test, worker=True)
