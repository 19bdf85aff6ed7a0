#!/usr/bin/python3
"""The game on the screens of a phone and a tablet, in portrait and in
landscape (Chromium's device emulation): the canvas is the largest whole
number of device pixels per game pixel that fits the visible area, the
status line stays on the screen, the about line under it only where the game
leaves room, and turning the device fits the game again without a reload. A
scale asked for in the address (?scale=N) too large for the screen is cut
down to what fits. The screen is kept lit from the start
of a dive to its end (a stand-in for the Screen Wake Lock API counts it).

    phone_screen_test.py SITE
"""
import os
import sys

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import CLIENT_H, CLIENT_W, Page, check, log, run_chromium, wait_until

DEVICES = [('phone', 390, 844, 3), ('tablet', 820, 1180, 2)]
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


def emulate(driver, width, height, dpr):
    portrait = height >= width
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
        'width': width, 'height': height, 'deviceScaleFactor': dpr, 'mobile': True,
        'screenOrientation': {'type': 'portraitPrimary' if portrait else 'landscapePrimary',
                              'angle': 0 if portrait else 90}})
    driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})


def fitted(page, width, height, dpr):
    """The scale if the canvas is the largest whole one that fits, else None
    (with the reason logged)."""
    m = page.js("""
        var c = document.getElementById('canvas').getBoundingClientRect();
        var line = document.getElementById('status');
        var l = line.getBoundingClientRect(), ls = getComputedStyle(line), b = getComputedStyle(document.body);
        var about = document.getElementById('about'), a = about.getBoundingClientRect();
        return {w: innerWidth, h: innerHeight, dpr: devicePixelRatio, cw: c.width, ch: c.height,
                left: c.left, top: c.top, lineTop: l.top, lineBottom: l.bottom,
                about: about.hidden ? null : [a.top, a.bottom],
                lineRoom: l.height + parseFloat(ls.marginTop) + parseFloat(ls.marginBottom),
                padX: parseFloat(b.paddingLeft) + parseFloat(b.paddingRight),
                padY: parseFloat(b.paddingTop) + parseFloat(b.paddingBottom)};""")
    if (m['w'], m['h'], m['dpr']) != (width, height, dpr):
        log('  the page is %sx%s at %s, not yet %sx%s at %s' % (m['w'], m['h'], m['dpr'], width, height, dpr))
        return None
    n = round(m['cw'] * dpr / CLIENT_W)
    # Layout keeps sizes in 64ths of a CSS pixel: a third is off by a hair.
    slack = dpr / 64 + 0.001
    if abs(m['cw'] * dpr - n * CLIENT_W) > slack or abs(m['ch'] * dpr - n * CLIENT_H) > slack:
        log('  the canvas is %.2f x %.2f device pixels: not whole blocks' % (m['cw'] * dpr, m['ch'] * dpr))
        return None
    room_w = (m['w'] - m['padX']) * dpr
    room_h = (m['h'] - m['padY'] - m['lineRoom']) * dpr
    if n * CLIENT_W > room_w + 0.01 or n * CLIENT_H > room_h + 0.01:
        log('  blocks of %d do not fit %.0f x %.0f device pixels' % (n, room_w, room_h))
        return None
    if (n + 1) * CLIENT_W <= room_w and (n + 1) * CLIENT_H <= room_h:
        log('  blocks of %d, though %d would fit %.0f x %.0f device pixels' % (n, n + 1, room_w, room_h))
        return None
    if m['left'] < 0 or m['top'] < 0 or m['lineBottom'] > m['h'] + 0.5 or m['lineTop'] < m['top'] + m['ch'] - 0.5:
        log('  the canvas or the status line is off the screen: %s' % m)
        return None
    # The about line took no room from the game (the scale above is what the
    # status line alone leaves); shown, it lies under the status line.
    if m['about'] and (m['about'][0] < m['lineBottom'] - 0.5 or m['about'][1] > m['h'] + 0.5):
        log('  the about line is not under the status line on the screen: %s' % m)
        return None
    return n


def test(driver, url):
    about_shown = []
    for name, width, height, dpr in DEVICES:
        emulate(driver, width, height, dpr)
        page = Page(driver, url)
        check(wait_until(15, page.started), 'the game did not start on the %s: "%s"' % (name, page.status()))
        page.js('window.sameDocument = true;')
        for w, h, how in ((width, height, 'portrait'), (height, width, 'landscape, turned'),
                          (width, height, 'portrait again')):
            emulate(driver, w, h, dpr)
            n = None
            check(wait_until(3, lambda: fitted(page, w, h, dpr) is not None, step=0.1),
                  'on the %s in %s the canvas does not fit as it should' % (name, how))
            n = fitted(page, w, h, dpr)
            check(page.js('return window.sameDocument === true;'), 'turning the %s reloaded the page' % name)
            about_shown.append(not page.js("return document.getElementById('about').hidden;"))
            log('%s %dx%d at %s, %s: blocks of %d device pixels, the about line %s'
                % (name, w, h, dpr, how, n, 'shown' if about_shown[-1] else 'hidden'))
    check(any(about_shown), 'no screen left room for the about line')
    # A scale asked for in the address that cannot fit is cut down to what fits.
    name, width, height, dpr = DEVICES[0]
    emulate(driver, width, height, dpr)
    page = Page(driver, url + '?scale=100000')
    check(wait_until(15, page.started), 'the game did not start at ?scale=100000: "%s"' % page.status())
    n = fitted(page, width, height, dpr)
    check(n is not None, 'at ?scale=100000 the canvas is %s CSS pixels wide on the %s' % (page.canvas_rect()[2], name))
    log('?scale=100000 on the %s: blocks of %d device pixels' % (name, n))

    # The screen stays lit through the dive, and is let go at its end: a
    # stand-in for the Screen Wake Lock API counts what the page asks.
    log('the screen kept lit from the start of the dive to its end')
    fake = driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': WAKE_LOCK})['identifier']
    try:
        page = Page(driver, url)
        check(wait_until(15, page.started), 'the game did not start with the stand-in wake lock')
        left, top, w, h = page.canvas_rect()
        x, y = left + 90.5 * w / CLIENT_W, top + 100.5 * h / CLIENT_H
        for kind, points in (('touchStart', [{'x': x, 'y': y}]), ('touchEnd', [])):
            driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': kind, 'touchPoints': points})
        check(wait_until(3, lambda: page.js('return wakeLog.slice();') == ['request']),
              'the dive did not keep the screen lit: %s' % page.js('return wakeLog;'))
        check(wait_until(25, lambda: any(s['phase'] == 'gameover' for s in page.steps()), step=0.2), 'no GAME OVER')
        check(wait_until(2, lambda: page.js('return wakeLog.slice();') == ['request', 'release']),
              'the end of the dive did not let the screen dim: %s' % page.js('return wakeLog;'))
    finally:
        driver.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument', {'identifier': fake})
    driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})


if __name__ == '__main__':
    run_chromium(test)
