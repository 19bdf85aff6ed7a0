#!/usr/bin/python3
"""The pointer in the browser, as on the desktop: the title word lights up
under the pointer and a left click on it starts the dive and its music; a
turned card shows what it holds; a vertical right-button swipe opens a tank,
a horizontal one moves the spear; a right-button release outside the game is
lost, but a right-button swipe made off the canvas while the left button
pressed in the game is held is heard, as the desktop's pointer grab gives
it; and no right-button press opens the browser's context menu.

    input_test.py [--engine ENGINE] SITE
"""
import time

from web_page import ENGINE, LEFT, RIGHT, Page, check, log, run, wait_until
from web_browsers import down, move, up

WHITE, YELLOW, CYAN, BLACK = (255, 255, 255), (255, 255, 0), (0, 255, 255), (0, 0, 0)
TITLE_BOX = (80, 92, 34, 20)
SPEAR_BOX = (130, 182, 30, 33)


def hidden_at(page):
    """When the sound was last held for a hidden page."""
    held = [s['t'] for s in page.sound() if s['op'] == 'hidden']
    return held[-1] if held else float('inf')


def test(browser, site):
    page = Page(browser, site.url)
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    check(wait_until(5, lambda: page.count(WHITE, TITLE_BOX) > 0), 'no white title word')
    # Every context menu the page lets through is counted.
    page.js("window.menus = []; window.addEventListener('contextmenu',"
            " function (e) { menus.push(e.defaultPrevented); });")

    log('hovering the title word turns it yellow; the black around it turns it white again')
    page.move(90, 100)
    check(wait_until(2, lambda: page.count(YELLOW, TITLE_BOX) > 30), 'the title word did not turn yellow')
    page.move(20, 20)
    check(wait_until(2, lambda: page.count(YELLOW, TITLE_BOX) == 0 and page.count(WHITE, TITLE_BOX) > 30),
          'the title word did not turn white again over the black')

    log('a right click on the title word starts nothing')
    page.swipe(90, 100, 90, 100, RIGHT)
    time.sleep(0.2)
    check(not page.steps() and not page.sound(), 'a right click on the title word started the dive')
    check(page.js('return menus.length;') > 0 and all(page.js('return menus;')),
          'a right click let the context menu open: %s' % page.js('return menus;'))

    log('a left click on the title word starts the dive, its effect and its music')
    page.move(90, 100)
    page.click(90, 100)
    check(wait_until(2, lambda: len(page.steps()) > 3), 'no dive steps after the start click')
    check(page.count(BLACK, (0, 0, 194, 160)) < 1000, 'no sea after the start click')
    sounding = [s for s in page.sound() if s['op'] == 'sounding']
    urls = [s['url'] for s in sounding]
    check('dat/se3.wav' in urls, 'the start effect did not sound: %s' % page.sound())
    check(wait_until(5, lambda: 'dat/plomvex_s01.ogg' in [s.get('url') for s in page.sound()]),
          'the dive theme did not start: %s' % page.sound())
    # The presses resume the page's audio. Chromium has it running at once;
    # Firefox and WebKit open their sound device first (a third of a second
    # here), and a sound started meanwhile plays once it is open. The tank
    # below, seconds later, finds it running.
    states = [(s['url'], s['state']) for s in page.sound() if s['op'] == 'sounding']
    check(all(st in ('running', 'suspended') for _, st in states), 'the audio is neither running nor resuming: %s' % states)
    if any(st != 'running' for _, st in states):
        log('  (%s: the first sounds started while the audio device opened: %s)' % (ENGINE, states))

    log('the first deal: the middle card, turned, shows the spear card and gives the spear')
    check(wait_until(8, lambda: page.last_step()['tick'] >= 92), 'the dive did not reach the first deal')
    # The cards are keyed: the sea shows through their corners, so two cards
    # that show the same side differ in a few pixels only.
    def card(frame, left, top):
        return [frame[y * 194 + x] for y in range(top, top + 51) for x in range(left, left + 50)]

    def differ(a, b):
        return sum(1 for p, q in zip(a, b) if p != q)

    frame = page.frame()
    check(differ(card(frame, 10, 75), card(frame, 71, 75)) < 100, 'the cards of the first deal are not all face down')
    page.click(96, 100)
    check(wait_until(2, lambda: page.last_step()['lane'] == 'white'), 'turning the middle card gave no spear')
    turned = page.frame()
    above = lambda left: [turned[y * 194 + x] for y in range(65, 75) for x in range(left, left + 50)]
    check(differ(above(10), above(71)) > 250, 'the turned card did not rise by 10 pixels')
    check(differ(card(turned, 10, 75), card(turned, 71, 65)) > 300, 'the turned card does not show its face')
    check(page.count(WHITE, SPEAR_BOX, turned) > 10, 'no white spear after the spear card')

    log('a vertical right-button swipe opens a tank')
    tanks = page.last_step()['tanks']
    page.swipe(100, 170, 100, 140)
    check(wait_until(2, lambda: page.last_step()['tanks'] == tanks - 1), 'the vertical swipe opened no tank')
    check(page.last_step()['oxygen'] >= 78, 'the tank did not refill the oxygen')
    tank = [s['state'] for s in page.sound() if s['op'] == 'sounding' and s['url'] == 'dat/se1.wav']
    check(tank, 'the tank made no sound')
    check(tank[-1] == 'running', 'the audio was not running when the tank sounded: %s' % tank[-1])

    log('a right-button swipe released outside the game is lost')
    tanks = page.last_step()['tanks']
    left, top, w, h = page.canvas_rect()
    page.pointer([move(*page.at(100, 170)), down(RIGHT), move(left + w / 2, top + h + 12), up(RIGHT)])
    time.sleep(0.3)
    check(page.last_step()['tanks'] == tanks, 'a right release outside the game opened a tank')

    log('a horizontal right-button swipe moves the spear to the cyan lane')
    page.swipe(40, 160, 100, 160)
    check(wait_until(2, lambda: page.last_step()['lane'] == 'cyan'), 'the horizontal swipe did not move the spear')
    check(wait_until(1, lambda: page.count(CYAN, SPEAR_BOX) > 10), 'no cyan spear on the canvas')
    check('dat/se4.wav' in [s.get('url') for s in page.sound()], 'the spear made no sound')

    log('during a left drag out of the game, a right-button swipe off the canvas is heard: the spear to red')
    left, top, w, h = page.canvas_rect()
    below = top + h + 10  # the status line under the canvas
    page.pointer([move(*page.at(100, 150)), down(LEFT), move(left + w * 0.2, below), down(RIGHT),
                  move(left + w * 0.5, below), move(left + w * 0.8, below), up(RIGHT), up(LEFT)])
    check(wait_until(2, lambda: page.last_step()['lane'] == 'red'),
          'the right-button swipe off the canvas during a left drag was not heard')

    log('a hidden page holds the dive and its sound, and gives them back from the same tick')
    browser.hide_page(1.0)
    check(wait_until(3, lambda: hidden_at(page) < float('inf')), 'the page was not told it was hidden')
    check(wait_until(2, lambda: page.last_step()['t'] - hidden_at(page) > 100), 'the dive did not go on once shown')
    steps = page.steps()
    ticks = [s['tick'] for s in steps if s['phase'] == 'dive']
    check(ticks == list(range(1, len(ticks) + 1)), 'the dive skipped or repeated ticks around the hidden time')
    gap = max(b['t'] - a['t'] for a, b in zip(steps, steps[1:]))
    check(gap >= 800, 'the dive went on while hidden: the longest pause between steps was %.0f ms' % gap)

    def held():
        return [(s['op'], s['detail']) for s in page.sound() if s['op'] in ('hidden', 'shown')]
    # The audio comes back when the browser has its output running again.
    check(wait_until(3, lambda: held()[-2:] == [('hidden', 'suspended'), ('shown', 'running')]),
          'the sound was not held: %s' % held())

    menus = page.js('return menus;')
    check(menus and all(menus), 'a right-button press let the context menu open: %s' % menus)
    log('%d right-button presses, no context menu' % len(menus))


if __name__ == '__main__':
    run(test)
