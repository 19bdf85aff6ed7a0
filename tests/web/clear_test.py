#!/usr/bin/python3
"""A won dive in the browser: a diver who plays well (the spear, the ring and
the tanks from the cards, a tank when the oxygen runs low, the spear swung
to each creature's colour and resting on it) beats the giant squid, the
clear sequence plays, the music stops, and the page's title becomes the
caption "☆☆ クリア ☆☆".

    clear_test.py SITE

About two minutes: the dive runs in real time.
"""
import time

# web_page first: it finds the python3 that has selenium.
from web_page import Page, check, log, run, wait_until
from selenium.webdriver.common.actions.mouse_button import MouseButton

WHITE = (255, 255, 255)
DIVE, CLEAR = 1, 3
CAPTION = '☆☆ クリア ☆☆'
# The card to turn in each deal: the spear, tanks, tanks, the ring, tanks, tanks.
PICKS = [1, 1, 0, 0, 1, 2]
SPEAR = (141, 193)


def last(page):
    return page.js('var s = window.torvenkaWatch.steps; return s.length ? s[s.length - 1] : null;')


def test(driver, url):
    page = Page(driver, url)
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    check(wait_until(5, lambda: page.count(WHITE, (80, 92, 34, 20)) > 0), 'no title screen')
    check(page.title() == 'Torvenka', 'the page title is "%s" before the dive' % page.title())
    page.move(90, 100)
    page.click(90, 100)
    check(wait_until(3, lambda: last(page) is not None), 'the dive did not start')

    log('the dive, played well')
    turned, tank_at, swing_at, resting = set(), -99, -99, False
    deadline = time.monotonic() + 240
    while time.monotonic() < deadline:
        s = last(page)
        if s['phase'] != DIVE:
            break
        tick = s['tick']
        moved = False
        if 1 <= s['deal'] <= 6 and s['deal'] not in turned:
            turned.add(s['deal'])
            page.click(35 + 61 * PICKS[s['deal'] - 1], 100)
            moved = True
        if s['oxygen'] < 12 and s['tanks'] > 0 and tick - tank_at > 6:
            tank_at = tick
            page.swipe(100, 170, 100, 140)
            moved = True
        if s['lane'] and s['enemy'] and s['lane'] != s['enemyLane'] and tick - swing_at > 3:
            swing_at = tick
            if (s['enemyLane'] - s['lane']) % 3 == 1:
                page.swipe(40, 160, 100, 160)
            else:
                page.swipe(100, 160, 40, 160)
            moved = True
        if s['lane'] and (moved or not resting):
            page.move(*SPEAR)
            resting = True
        time.sleep(0.01)
    s = last(page)
    check(s['phase'] == CLEAR, 'the dive did not end in a clear: tick %d, life %d' % (s['tick'], s['life']))
    log('the giant squid beaten at tick %d with life %d left' % (s['tick'], s['life']))

    check(wait_until(20, lambda: page.title() == CAPTION), 'the page title is "%s" after the clear' % page.title())
    sound = page.sound()
    stops = [x for x in sound if x['op'] == 'stop' and x['alias'] == 'audio1']
    check(stops and stops[-1]['t'] > [x for x in sound if x.get('url') == 'dat/ravederu.ogg'][-1]['t'],
          'the clear sequence did not stop the boss theme')
    log('the page title is the caption "%s"' % CAPTION)


if __name__ == '__main__':
    run(test)
