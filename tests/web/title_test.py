"""The title screen in the browser is the desktop's, game pixel for game
pixel, on the page as it ships and on its test build, and each game pixel
is a crisp N x N block of the screen, the canvas in its place from the
first frame on. The page that ships carries no watcher.

pagecheck draws the title with the desktop's compositor, which the canvas
must equal.
"""
import io
import math
import subprocess
import tempfile
import urllib.request

import pytest
from PIL import Image

import web_browsers
from web_page import Page, log, wait_until


@pytest.fixture(scope='module')
def desktop_title(facts):
    with tempfile.NamedTemporaryFile(suffix='.ppm') as f:
        subprocess.run([facts.tool, 'title', f.name], check=True)
        picture = Image.open(f.name).convert('RGB')
    assert picture.size == facts.client, 'pagecheck drew a title of %s pixels' % (picture.size,)
    return list(picture.getdata())


def same_title(page, want, what):
    assert wait_until(30, page.running), 'the game did not start%s: "%s"' % (what, page.status())
    assert wait_until(10, lambda: page.count(page.facts.colours['white']) > 0), 'no white title word on the canvas%s' % what
    got = page.frame()
    diff = [i for i in range(len(want)) if got[i] != want[i]]
    cw = page.facts.client[0]
    if diff:
        raise AssertionError('%d game pixels differ from the desktop\'s title%s; the first at (%d, %d): page %s, '
                             'desktop %s' % (len(diff), what, diff[0] % cw, diff[0] // cw, got[diff[0]], want[diff[0]]))
    log('the canvas equals the desktop\'s title%s, all %d game pixels' % (what, len(want)))


def whole_blocks(page):
    """Each game pixel is an N x N block of device pixels, N the largest
    whole factor that fits the page; returns N."""
    inner_w, inner_h, dpr, line_h = page.js(
        "return [innerWidth, innerHeight, devicePixelRatio,"
        " document.getElementById('status').getBoundingClientRect().height];")
    cw, ch = page.facts.client
    left, top, w, h = page.canvas_rect()
    n = round(w * dpr / cw)
    assert abs(w * dpr - n * cw) < 0.01 and abs(h * dpr - n * ch) < 0.01, \
        'the canvas is %.2f x %.2f device pixels, not whole blocks' % (w * dpr, h * dpr)
    assert (n + 1) * cw > inner_w * dpr or (n + 1) * ch > (inner_h - line_h) * dpr, \
        'blocks of %d fit a %dx%d page at %s device pixels a CSS pixel, but a larger whole factor would too' % (
            n, inner_w, inner_h, dpr)
    log('each game pixel is a %dx%d block of device pixels on a %dx%d page at devicePixelRatio %s'
        % (n, n, inner_w, inner_h, dpr))
    return n


def test_the_page_as_it_ships_draws_the_title_and_has_no_watcher(browser, site, facts, desktop_title):
    with urllib.request.urlopen(site.shipped + 'torvenka.js') as r:
        assert b'torvenkaWatch' not in r.read(), 'the torvenka.js that ships holds a torvenkaWatch'
    page = Page(browser, site.shipped, facts)
    same_title(page, desktop_title, ' (the page as it ships)')
    assert page.js('return window.torvenkaWatch === undefined;'), 'the page that ships has a window.torvenkaWatch'


def test_the_title_screen_at_the_largest_scale_that_fits(browser, page, desktop_title):
    same_title(page, desktop_title, '')
    assert page.title() == page.facts.captions['title'], 'the page title is "%s", not the caption "%s"' % (
        page.title(), page.facts.captions['title'])
    icon = page.js_async("""
        var link = document.querySelector('link[rel="icon"]');
        var done = arguments[0];
        if (!link || link.href.indexOf('data:image/png') !== 0) { done(null); return; }
        var img = new Image();
        img.onload = function () { done([img.naturalWidth, img.naturalHeight]); };
        img.onerror = function () { done('broken'); };
        img.src = link.href;""")
    assert icon == [64, 64], 'the page\'s icon is not the game\'s 64x64 octopus: %s' % icon
    rendering = page.js("return getComputedStyle(document.getElementById('canvas')).imageRendering;")
    assert rendering == 'pixelated', 'the canvas is drawn with image-rendering "%s"' % rendering
    whole_blocks(page)


# Where the canvas is each time a frame is put on it.
CANVAS_AT_FRAMES = r"""
window.canvasAtFrames = [];
var putFrame = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function () {
  if (this.canvas.id === 'canvas') {
    var r = this.canvas.getBoundingClientRect();
    canvasAtFrames.push([r.left, r.top, r.width, r.height]);
  }
  return putFrame.apply(this, arguments);
};
"""


def test_the_canvas_has_its_place_from_the_first_frame(browser, site, facts):
    site.without_worker()
    site.server.before = CANVAS_AT_FRAMES
    page = Page(browser, site.at(), facts).wait_for_title()
    # The status line says the sounds are loading and then clears; the title
    # word lit under the pointer is a frame put after that.
    assert wait_until(20, lambda: page.status() == ''), 'with the sounds in, the page says "%s"' % page.status()
    page.move(*facts.at['start'])
    assert wait_until(5, lambda: page.count(facts.colours['yellow'], facts.around('titleWord')) > 30), 'the title word did not light'
    places = page.js('return canvasAtFrames;')
    final = page.canvas_rect()
    assert len(places) >= 2 and all(p == final for p in places), \
        'the canvas was at %s as frames were put on it, and is at %s now' % (places, final)
    log('%d frames, every one with the canvas at %s' % (len(places), final))


def test_two_device_pixels_a_css_pixel(engine, browser, site, facts):
    def whole_blocks_at_2(b):
        page = Page(b, site.at(), facts)
        assert wait_until(30, page.started), 'the game did not start at devicePixelRatio 2'
        assert page.js('return devicePixelRatio;') == 2, 'the page does not see devicePixelRatio 2'
        whole_blocks(page)

    if browser.set_device_pixel_ratio(2):
        try:
            whole_blocks_at_2(browser)
        finally:
            browser.set_device_pixel_ratio(None)
    elif engine == 'webkit':
        # A running MiniBrowser keeps the scale it started with.
        dense = web_browsers.start(engine, device_pixel_ratio=2)
        try:
            whole_blocks_at_2(dense)
        finally:
            dense.quit()
    else:
        pytest.skip('the driver cannot change a running %s\'s devicePixelRatio' % engine)


def test_scale_3_draws_each_game_pixel_as_3x3_screen_pixels(browser, site, facts, desktop_title):
    page = Page(browser, site.at('scale=3'), facts)
    assert wait_until(30, page.title_screen), 'no title screen at ?scale=3: "%s"' % page.status()
    assert page.js('return devicePixelRatio;') == 1, 'the page is not at devicePixelRatio 1'
    cw, ch = facts.client
    left, top, w, h = page.canvas_rect()
    assert (w, h) == (3 * cw, 3 * ch), 'at ?scale=3 the canvas is %sx%s, not %dx%d' % (w, h, 3 * cw, 3 * ch)
    shot = Image.open(io.BytesIO(browser.screenshot_png())).convert('RGB')
    # A canvas half a pixel off the grid is painted on the pixel after (the
    # engines round halves up; Python's round() would take the even one).
    x0, y0 = math.floor(left + 0.5), math.floor(top + 0.5)
    blocks = shot.crop((x0, y0, x0 + 3 * cw, y0 + 3 * ch))
    want = Image.new('RGB', facts.client)
    want.putdata(desktop_title)
    want = want.resize((3 * cw, 3 * ch), Image.NEAREST)
    bad = sum(1 for a, b in zip(blocks.getdata(), want.getdata()) if a != b)
    assert bad == 0, '%d screen pixels of the 3x blocks differ from their game pixel' % bad
    log('every 3x3 block on the screen shows its game pixel')
