#!/usr/bin/python3
"""The title screen in the browser is the desktop's, game pixel for game
pixel, on the page as it ships and on its test build, and each game pixel
is a crisp N x N block of the screen. The page that ships carries no watcher.

    title_test.py [--engine ENGINE] SITE [PAGECHECK]

SITE is the site's address or folder. PAGECHECK is the build's pagecheck
tool (default: build/pagecheck of the project, or $TORVENKA_PAGECHECK); it
draws the title with the desktop's compositor, which the canvas must equal.
"""
import os
import subprocess
import tempfile
import urllib.request

import web_browsers
from web_page import CLIENT_H, CLIENT_W, ENGINE, Page, argument, check, fail, log, run, skip_case, wait_until

PROJECT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def pagecheck():
    tool = argument(1) or (
            os.environ.get('TORVENKA_PAGECHECK', os.path.join(PROJECT, 'build', 'pagecheck')))
    check(os.access(tool, os.X_OK), 'no pagecheck tool at %s (build it: cmake --build build --target pagecheck)' % tool)
    return tool


def expected_title():
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, 'title.ppm')
        subprocess.run([pagecheck(), 'title', path], check=True)
        with open(path, 'rb') as f:
            data = f.read()
    header = b'P6\n%d %d\n255\n' % (CLIENT_W, CLIENT_H)
    check(data.startswith(header), 'pagecheck wrote no %dx%d picture' % (CLIENT_W, CLIENT_H))
    body = data[len(header):]
    return [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]


def screenshot_pixels(page):
    """The page's screenshot as rows of (r, g, b), decoded from its PNG."""
    import struct
    import zlib
    png = page.b.screenshot_png()
    check(png[:8] == b'\x89PNG\r\n\x1a\n', 'the screenshot is no PNG')
    pos, idat, w = 8, b'', 0
    while pos < len(png):
        n, kind = struct.unpack('>I4s', png[pos:pos + 8])
        chunk = png[pos + 8:pos + 8 + n]
        if kind == b'IHDR':
            w, h, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', chunk)
            check(depth == 8 and colour in (2, 6) and interlace == 0, 'a screenshot PNG of an unexpected kind')
            bpp = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            idat += chunk
        pos += 12 + n
    raw = zlib.decompress(idat)
    stride = w * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(h):
        f, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b, c = prev[x], prev[x - bpp] if x >= bpp else 0
            if f == 1:
                line[x] = (line[x] + a) & 255
            elif f == 2:
                line[x] = (line[x] + b) & 255
            elif f == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, bpp)])
        prev = line
    return rows


def whole_blocks(page):
    """Checks that each game pixel is an N x N block of device pixels, N the
    largest whole factor that fits the page; returns N."""
    inner_w, inner_h, dpr, line_h = page.js(
        "return [innerWidth, innerHeight, devicePixelRatio,"
        " document.getElementById('status').getBoundingClientRect().height];")
    left, top, w, h = page.canvas_rect()
    n = round(w * dpr / CLIENT_W)
    check(abs(w * dpr - n * CLIENT_W) < 0.01 and abs(h * dpr - n * CLIENT_H) < 0.01,
          'the canvas is %.2f x %.2f device pixels, not whole blocks' % (w * dpr, h * dpr))
    check((n + 1) * CLIENT_W > inner_w * dpr or (n + 1) * CLIENT_H > (inner_h - line_h) * dpr,
          'blocks of %d fit a %dx%d page at %s device pixels a CSS pixel, but a larger whole factor would too'
          % (n, inner_w, inner_h, dpr))
    log('each game pixel is a %dx%d block of device pixels on a %dx%d page at devicePixelRatio %s'
        % (n, n, inner_w, inner_h, dpr))
    return n


def icon_size(page):
    return page.js_async("""
        var link = document.querySelector('link[rel="icon"]');
        var done = arguments[0];
        if (!link || link.href.indexOf('data:image/png') !== 0) { done(null); return; }
        var img = new Image();
        img.onload = function () { done([img.naturalWidth, img.naturalHeight]); };
        img.onerror = function () { done('broken'); };
        img.src = link.href;""")


def same_title(page, want, what):
    check(wait_until(15, page.running), 'the game did not start%s: "%s"' % (what, page.status()))
    check(wait_until(5, lambda: page.count((255, 255, 255)) > 0), 'no white title word on the canvas%s' % what)
    got = page.frame()
    diff = [i for i in range(len(want)) if got[i] != want[i]]
    if diff:
        i = diff[0]
        fail('%d game pixels differ from the desktop\'s title%s; the first at (%d, %d): page %s, desktop %s'
             % (len(diff), what, i % CLIENT_W, i // CLIENT_W, got[i], want[i]))
    log('the canvas equals the desktop\'s title%s, all %d game pixels' % (what, len(want)))


def test(browser, site):
    want = expected_title()

    if site.shipped:
        log('the page as it ships: the desktop\'s title, and no watcher')
        with urllib.request.urlopen(site.shipped + 'torvenka.js') as r:
            script = r.read()
        check(b'torvenkaWatch' not in script, 'the torvenka.js that ships holds a torvenkaWatch')
        page = Page(browser, site.shipped)
        same_title(page, want, ' (the page as it ships)')
        check(page.js('return window.torvenkaWatch === undefined;'), 'the page that ships has a window.torvenkaWatch')
    else:
        skip_case('the page as it ships', 'the site is an address: only the build it serves is seen')

    log('the title screen, at the largest scale that fits')
    page = Page(browser, site.url)
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    same_title(page, want, '')
    check(page.title() == 'Torvenka', 'the page title is "%s", not the caption "Torvenka"' % page.title())
    check(icon_size(page) == [64, 64], 'the page\'s icon is not the game\'s 64x64 octopus: %s' % icon_size(page))
    rendering = page.js("return getComputedStyle(document.getElementById('canvas')).imageRendering;")
    check(rendering == 'pixelated', 'the canvas is drawn with image-rendering "%s"' % rendering)
    whole_blocks(page)

    log('on a screen of 2 device pixels a CSS pixel')
    def whole_blocks_at_2(b):
        page2 = Page(b, site.url)
        check(wait_until(15, page2.started), 'the game did not start at devicePixelRatio 2')
        check(page2.js('return devicePixelRatio;') == 2, 'the page does not see devicePixelRatio 2')
        whole_blocks(page2)

    if browser.set_device_pixel_ratio(2):
        try:
            whole_blocks_at_2(browser)
        finally:
            browser.set_device_pixel_ratio(None)
    elif ENGINE == 'webkit':
        dense = web_browsers.start(ENGINE, device_pixel_ratio=2)
        try:
            whole_blocks_at_2(dense)
        finally:
            dense.quit()
    else:
        skip_case('devicePixelRatio 2', 'its driver cannot change a running browser\'s devicePixelRatio')

    log('?scale=3: blocks of 3 x 3 screen pixels, each one colour, the canvas\'s own')
    page = Page(browser, site.url + '?scale=3')
    check(wait_until(15, page.started), 'the game did not start at ?scale=3')
    check(page.js('return devicePixelRatio;') == 1, 'the page is not back at devicePixelRatio 1')
    check(wait_until(5, lambda: page.count((255, 255, 255)) > 0), 'no white title word at ?scale=3')
    left, top, w, h = page.canvas_rect()
    check((w, h) == (3 * CLIENT_W, 3 * CLIENT_H), 'at ?scale=3 the canvas is %sx%s, not %dx%d'
          % (w, h, 3 * CLIENT_W, 3 * CLIENT_H))
    shot = screenshot_pixels(page)
    x0, y0 = int(round(left)), int(round(top))
    bad = 0
    for gy in range(CLIENT_H):
        for gx in range(CLIENT_W):
            colour = want[gy * CLIENT_W + gx]
            for dy in range(3):
                row = shot[y0 + 3 * gy + dy]
                for dx in range(3):
                    if row[x0 + 3 * gx + dx] != colour:
                        bad += 1
    check(bad == 0, '%d screen pixels of the 3x blocks differ from their game pixel' % bad)
    log('every 3x3 block on the screen shows its game pixel')

if __name__ == '__main__':
    run(test)
