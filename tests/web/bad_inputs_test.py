#!/usr/bin/python3
"""What the page says when it cannot play as it should: opened from a file
on disk, in a browser without WebAssembly, without the game's own code, in
a browser without audio, with a sound file missing from the site, and in a
second tab while the first one plays. Each gives one line on the page, or
plays on; none leaves a blank page without a word.

    bad_inputs_test.py [--engine ENGINE] SITE

The cases that change the site (a script of the test's own run before the
page's, files answering 404) need the test's own server: SITE a folder.
Given an address, they are skipped, and so is the file:// case.
"""
import os
import time

from web_page import Page, check, log, run, skip_case, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)


def fresh(browser, site, before=None, blocked=()):
    """Loads the page with `before` (a script's text) run before its own and
    the site's paths `blocked` answering 404, until the next case."""
    site.server.reset()
    site.server.before = before
    site.server.blocked = set(blocked)
    return Page(browser, site.url)


def says(page, words):
    return wait_until(10, lambda: words in page.status())


def plays(page):
    """The title comes up, and a start click starts the dive."""
    if not wait_until(15, lambda: page.started() and page.count(WHITE, TITLE_BOX) > 0):
        return False
    page.move(90, 100)
    page.click(90, 100)
    return wait_until(3, lambda: len(page.steps()) > 5)


def test(browser, site):
    if site.folder:
        log('opened from a file on disk')
        page = Page(browser, 'file://' + os.path.join(site.folder, 'index.html'))
        check(says(page, 'cannot start from a file'), 'from file:// the page says "%s"' % page.status())
        log('  "%s"' % page.status())
    else:
        skip_case('opened from a file on disk', 'the site is an address, not a folder')

    if site.server:
        log('a browser without WebAssembly')
        page = fresh(browser, site, before='delete window.WebAssembly;')
        check(page.js('return typeof WebAssembly;') == 'undefined', 'the script before the page\'s did not run')
        check(says(page, 'cannot run WebAssembly'), 'without WebAssembly the page says "%s"' % page.status())
        log('  "%s"' % page.status())

        log('the game\'s own code missing from the site')
        page = fresh(browser, site, blocked=['/torvenka.wasm'])
        check(says(page, 'could not start'), 'without torvenka.wasm the page says "%s"' % page.status())
        log('  "%s"' % page.status())

        log('a browser without audio: one line, and the dive plays silent')
        page = fresh(browser, site, before='delete window.AudioContext; delete window.webkitAudioContext;')
        check(says(page, 'plays silent'), 'without audio the page says "%s"' % page.status())
        check(plays(page), 'without audio the dive did not start')
        log('  "%s"' % page.status())

        log('a sound file and a theme missing from the site: one line, and the dive plays on')
        page = fresh(browser, site, blocked=['/dat/se3.wav', '/dat/plomvex_s01.ogg'])
        check(says(page, 'dat/se3.wav') and says(page, 'dat/plomvex_s01.ogg'),
              'with two sound files missing the page says "%s"' % page.status())
        check(plays(page), 'with sound files missing the dive did not start')
        sounding = [s['url'] for s in page.sound() if s['op'] == 'sounding']
        check(not sounding, 'missing files sounded: %s' % sounding)
        log('  "%s"' % page.status())
        site.server.reset()
    else:
        skip_case('no WebAssembly, no game code, no audio, sound files missing',
                  'the site is an address: the test cannot change what it serves')
    browser.open('about:blank')

    log('a second tab while the first one plays')
    first = browser.tab()
    page = Page(browser, site.url)
    check(plays(page), 'the first tab did not play')
    browser.new_tab()
    second = Page(browser, site.url)
    check(says(second, 'already playing in another tab'), 'the second tab says "%s"' % second.status())
    check(not second.js('return !!window.Module;'), 'the second tab started a game of its own')
    log('  "%s"' % second.status())
    browser.switch_to(first)
    ticks = page.last_step()['tick']
    time.sleep(0.3)
    check(page.last_step()['tick'] > ticks, 'the first tab stopped playing')
    browser.close_tab()
    browser.switch_to([t for t in browser.tabs() if t != first][0])

    # The browser lets the closed tab's lock go a moment after the tab is gone.
    def loads_free():
        page = Page(browser, site.url)
        return page if wait_until(2, lambda: page.started() or 'already playing' in page.status()) and \
            page.started() else None

    second = None
    end = time.monotonic() + 10
    while second is None and time.monotonic() < end:
        second = loads_free()
    check(second is not None and plays(second), 'once the first tab was closed, a new one did not play')
    log('once the first tab is closed, the next one plays')


if __name__ == '__main__':
    run(test)
