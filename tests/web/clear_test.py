#!/usr/bin/python3
"""A won dive in the browser: the project's good diver (GoodDiver of
src/headless/bots.h, the one the headless tests play: the spear, the ring
and the tanks from the cards, a tank when the oxygen runs low, the spear
swung to each creature's colour and resting on it) beats the giant squid, the
clear sequence plays, the music stops, and the page's title becomes the
caption "☆☆ クリア ☆☆".

The test build of the page runs the diver after every dive step and says
what it wants done (window.torvenkaWatch: each step's `wants`); this test
carries that out with the browser's real pointer.

    clear_test.py [--engine ENGINE] SITE

About two minutes: the dive runs in real time.
"""
import time

from web_page import ENGINE, Page, check, log, run, wait_until

WHITE = (255, 255, 255)
CAPTION = '☆☆ クリア ☆☆'


def test(browser, site):
    page = Page(browser, site.url)
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    check(wait_until(5, lambda: page.count(WHITE, (80, 92, 34, 20)) > 0), 'no title screen')
    check(page.title() == 'Torvenka', 'the page title is "%s" before the dive' % page.title())
    page.move(90, 100)
    page.click(90, 100)
    check(wait_until(3, lambda: page.last_step() is not None), 'the dive did not start')

    log('the dive, played by the good diver')
    # The diver's wishes are carried out once each: after acting, the hand
    # waits for a step that has seen what it did. As in the headless
    # harness, a click or a swipe does not move the pointer the diver
    # rests: the hand puts it back where the diver last moved it.
    acted_at, rest, done = 0, None, 0
    deadline = time.monotonic() + 240
    while time.monotonic() < deadline:
        s = page.last_step()
        if s['phase'] != 'dive':
            break
        if s['tick'] > acted_at and s['wants']:
            for w in s['wants']:
                if w['op'] == 'click':
                    page.click(w['x0'], w['y0'])
                elif w['op'] == 'swipe':
                    page.swipe(w['x0'], w['y0'], w['x1'], w['y1'])
                elif w['op'] == 'move':
                    rest = (w['x0'], w['y0'])
                done += 1
                if done <= 12:
                    log('  tick %d: %s %s' % (s['tick'], w['op'], [w['x0'], w['y0'], w['x1'], w['y1']]))
            if rest:
                page.move(*rest)
            acted_at = page.last_step()['tick']
        time.sleep(0.005)
    s = page.last_step()
    log('%d wishes of the diver carried out' % done)
    check(s['phase'] == 'clear', 'the dive did not end in a clear: tick %d, life %d, lane %s, tanks %d, oxygen %d'
          % (s['tick'], s['life'], s['lane'], s['tanks'], s['oxygen']))
    log('the giant squid beaten at tick %d with life %d left' % (s['tick'], s['life']))

    check(wait_until(20, lambda: page.title() == CAPTION), 'the page title is "%s" after the clear' % page.title())
    sound = page.sound()
    stops = [x for x in sound if x['op'] == 'stop' and x['alias'] == 'audio1']
    boss = [x for x in sound if x.get('url') == 'dat/ravederu.ogg']
    check(boss, 'the boss theme never sounded (%s)' % ENGINE)
    check(stops and stops[-1]['t'] > boss[-1]['t'], 'the clear sequence did not stop the boss theme')
    log('the page title is the caption "%s"' % CAPTION)


if __name__ == '__main__':
    run(test)
