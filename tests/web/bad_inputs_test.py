#!/usr/bin/python3
"""What the page says when it cannot play as it should: opened from a file
on disk, in a browser without WebAssembly, without the game's own code, in
a browser without audio, with a sound file missing from the site, and in a
second tab while the first one plays. Each gives one line on the page, or plays on; none leaves a blank
page without a word.

    bad_inputs_test.py SITE

The file:// case needs SITE to be a folder; given an address it is skipped.
"""
import os
import sys
import time

from web_page import Page, check, log, run, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)


def fresh(driver, url, scripts=(), blocked=()):
    """Loads the page with `scripts` run before its own and `blocked` URL
    patterns failing."""
    ids = [driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': s})['identifier']
           for s in scripts]
    driver.execute_cdp_cmd('Network.enable', {})
    driver.execute_cdp_cmd('Network.setBlockedURLs', {'urls': list(blocked)})
    try:
        return Page(driver, url)
    finally:
        for i in ids:
            driver.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument', {'identifier': i})


def says(page, words):
    return wait_until(10, lambda: words in page.status())


def plays(page):
    """The title comes up, and a start click starts the dive."""
    if not wait_until(15, lambda: page.started() and page.count(WHITE, TITLE_BOX) > 0):
        return False
    page.move(90, 100)
    page.click(90, 100)
    return wait_until(3, lambda: len(page.steps()) > 5)


def test(driver, url):
    folder = sys.argv[1] if not sys.argv[1].startswith('http') else None
    if folder:
        log('opened from a file on disk')
        page = Page(driver, 'file://' + os.path.abspath(os.path.join(folder, 'index.html')))
        check(says(page, 'cannot start from a file'), 'from file:// the page says "%s"' % page.status())
        log('  "%s"' % page.status())
    else:
        log('(the site is an address: no file:// case)')

    log('a browser without WebAssembly')
    page = fresh(driver, url, ['delete window.WebAssembly;'])
    check(says(page, 'cannot run WebAssembly'), 'without WebAssembly the page says "%s"' % page.status())
    log('  "%s"' % page.status())

    log('the game\'s own code missing from the site')
    page = fresh(driver, url, blocked=['*torvenka.wasm'])
    check(says(page, 'could not start'), 'without torvenka.wasm the page says "%s"' % page.status())
    log('  "%s"' % page.status())

    log('a browser without audio: one line, and the dive plays silent')
    page = fresh(driver, url, ['delete window.AudioContext; delete window.webkitAudioContext;'])
    check(says(page, 'plays silent'), 'without audio the page says "%s"' % page.status())
    check(plays(page), 'without audio the dive did not start')
    log('  "%s"' % page.status())

    log('a sound file and a theme missing from the site: one line, and the dive plays on')
    page = fresh(driver, url, blocked=['*se3.wav', '*plomvex_s01.ogg'])
    check(says(page, 'dat/se3.wav') and says(page, 'dat/plomvex_s01.ogg'),
          'with two sound files missing the page says "%s"' % page.status())
    check(plays(page), 'with sound files missing the dive did not start')
    sounding = [s['url'] for s in page.sound() if s['op'] == 'sounding']
    check(not sounding, 'missing files sounded: %s' % sounding)
    log('  "%s"' % page.status())
    fresh(driver, 'about:blank')

    log('a second tab while the first one plays')
    first = driver.current_window_handle
    page = Page(driver, url)
    check(plays(page), 'the first tab did not play')
    driver.switch_to.new_window('tab')
    second = Page(driver, url)
    check(says(second, 'already playing in another tab'), 'the second tab says "%s"' % second.status())
    check(not second.js('return !!window.Module;'), 'the second tab started a game of its own')
    log('  "%s"' % second.status())
    driver.switch_to.window(first)
    ticks = page.steps()[-1]['tick']
    time.sleep(0.3)
    check(page.steps()[-1]['tick'] > ticks, 'the first tab stopped playing')
    driver.close()
    driver.switch_to.window([h for h in driver.window_handles if h != first][0])

    # The browser lets the closed tab's lock go a moment after the tab is gone.
    def loads_free():
        page = Page(driver, url)
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
