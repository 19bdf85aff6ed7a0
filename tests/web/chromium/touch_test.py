#!/usr/bin/python3
"""Touch play on a phone: Chromium emulating a 390 x 844 phone at device
pixel ratio 3, driven by the DevTools protocol's touch events alone (no
mouse event is sent). A tap starts the dive and turns a card; a finger
resting on the spear strikes, wobbling a little, and keeps striking once
lifted; a vertical drag opens a tank; a horizontal drag swings the spear
each way; a second finger changes nothing; a cancelled touch swipes
nothing; one tap is one click. The browser has no Screen Wake Lock API,
which changes nothing.

    touch_test.py SITE
"""
import os
import sys
import time

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import CLIENT_H, CLIENT_W, Page, check, log, run_chromium, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)
SPEAR = (141, 193)
PHONE = {'width': 390, 'height': 844, 'deviceScaleFactor': 3, 'mobile': True}


def phone(driver):
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', PHONE)
    driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})


class Fingers:
    """Touches on the canvas, in game pixels, through the DevTools protocol."""

    def __init__(self, page):
        self.page = page
        self.rect = page.canvas_rect()

    def at(self, gx, gy):
        left, top, w, h = self.rect
        return left + (gx + 0.5) * w / CLIENT_W, top + (gy + 0.5) * h / CLIENT_H

    def touch(self, kind, points):
        """points: [(id, gx, gy)] still on the screen after the event."""
        pts = []
        for pid, gx, gy in points:
            x, y = self.at(gx, gy)
            pts.append({'x': x, 'y': y, 'id': pid, 'radiusX': 4, 'radiusY': 4, 'force': 1})
        self.page.d.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': kind, 'touchPoints': pts})

    def drag(self, x0, y0, x1, y1, steps=4):
        self.touch('touchStart', [(1, x0, y0)])
        for i in range(1, steps + 1):
            self.touch('touchMove', [(1, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps)])
        self.touch('touchEnd', [])

    def tap(self, gx, gy):
        self.drag(gx, gy, gx, gy, steps=0)


def settle(page, ticks=3):
    """Waits for a few dive steps, so that what was touched has been seen."""
    start = page.last_step()['tick']
    check(wait_until(3, lambda: page.last_step()['tick'] >= start + ticks), 'the dive stands still')
    return page.last_step()


def clicks(page):
    return [p for p in page.js('return window.torvenkaWatch.presses;') if p['kind'] == 'down']


def test(driver, url):
    phone(driver)
    # A browser without the Screen Wake Lock API: the dive plays all the same.
    driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument',
                           {'source': 'delete Navigator.prototype.wakeLock;'})
    page = Page(driver, url)
    check(page.js('return !("wakeLock" in navigator);'), 'the Screen Wake Lock API is still there')
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    check(wait_until(5, lambda: page.count(WHITE, TITLE_BOX) > 0), 'no title screen')
    check(page.js('return matchMedia("(pointer: coarse)").matches && navigator.maxTouchPoints > 0;'),
          'the browser does not present itself as a touch screen')
    fingers = Fingers(page)

    log('a tap on the title word starts the dive, as one click')
    page.js('window.mice = 0; ["mousedown", "mouseup", "click"].forEach(function (t) {'
            ' document.addEventListener(t, function () { mice++; }, true); });')
    fingers.tap(96, 101)
    check(wait_until(3, lambda: page.last_step() is not None and page.last_step()['phase'] == 'dive'), 'the tap did not start the dive')
    time.sleep(0.3)
    downs = clicks(page)
    check(len(downs) == 1 and downs[0]['button'] == 'left',
          'one tap gave the game %d presses: %s' % (len(downs), downs))
    check(page.js('return mice;') > 0, 'the browser made up no mouse events after the tap, so none could be counted twice')
    log('  one press for the game, though the browser made up %d mouse events' % page.js('return mice;'))

    log('a tap on the middle card of the first deal gives the spear')
    check(wait_until(8, lambda: page.last_step()['deal'] == 1), 'the first deal did not come')
    fingers.tap(96, 100)
    check(wait_until(2, lambda: page.last_step()['lane'] == 'white'), 'the tap on the middle card gave no spear')

    log('a vertical drag opens a tank')
    tanks = page.last_step()['tanks']
    fingers.drag(100, 170, 100, 140)
    check(wait_until(2, lambda: page.last_step()['tanks'] == tanks - 1), 'the vertical drag opened no tank')
    fingers.drag(100, 130, 102, 165)
    check(wait_until(2, lambda: page.last_step()['tanks'] == tanks - 2), 'the downward drag opened no tank')

    log('a horizontal drag swings the spear each way')
    fingers.drag(40, 160, 100, 160)
    check(wait_until(2, lambda: page.last_step()['lane'] == 'cyan'), 'the rightward drag did not swing the spear to cyan')
    fingers.drag(100, 160, 40, 160)
    check(wait_until(2, lambda: page.last_step()['lane'] == 'white'), 'the leftward drag did not swing the spear back to white')

    log('a finger resting on the spear strikes; its wobble is no swipe; lifted, the strike goes on')
    s = page.last_step()
    fingers.touch('touchStart', [(1, SPEAR[0], SPEAR[1])])
    # A resting finger wanders by a few device pixels (a game pixel is 6 here).
    for dx, dy in ((0.4, -0.3), (-0.6, 0.5), (0.8, 0.6), (-0.3, -0.7)):
        fingers.touch('touchMove', [(1, SPEAR[0] + dx, SPEAR[1] + dy)])
        time.sleep(0.05)
    check(settle(page)['striking'], 'a finger resting on the spear does not strike')
    fingers.touch('touchEnd', [])
    s2 = settle(page, 5)
    check(s2['striking'], 'the strike stopped when the finger lifted')
    check((s2['tanks'], s2['lane']) == (s['tanks'], s['lane']), 'the resting finger swiped: %s' % s2)

    log('a second finger while one is down changes nothing')
    s = page.last_step()
    fingers.touch('touchStart', [(1, 100, 170)])
    fingers.touch('touchStart', [(1, 100, 170), (2, 40, 160)])
    for i in range(1, 5):
        fingers.touch('touchMove', [(1, 100, 170), (2, 40 + 15 * i, 160)])
    fingers.touch('touchEnd', [(1, 100, 170)])
    fingers.touch('touchEnd', [])
    s2 = settle(page)
    check((s2['tanks'], s2['lane']) == (s['tanks'], s['lane']), 'the second finger swiped: %s' % s2)

    log('a touch the system cancels swipes nothing')
    fingers.touch('touchStart', [(1, 100, 170)])
    for i in range(1, 5):
        fingers.touch('touchMove', [(1, 100, 170 - 8 * i)])
    fingers.touch('touchCancel', [])
    s2 = settle(page)
    check((s2['tanks'], s2['lane']) == (s['tanks'], s['lane']), 'the cancelled touch swiped: %s' % s2)
    fingers.drag(100, 170, 100, 140)
    check(wait_until(2, lambda: page.last_step()['tanks'] == s['tanks'] - 1), 'after the cancel, a drag opened no tank')
    log('ok: %d presses reached the game in all' % len(clicks(page)))


def main():
    run_chromium(test)


if __name__ == '__main__':
    main()
