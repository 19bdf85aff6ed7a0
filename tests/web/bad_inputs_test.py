"""What the page says when it cannot play as it should: opened from a file
on disk, in a browser without WebAssembly, without the game's own code, in
a browser without audio, with a sound file missing from the site, and in a
second tab while the first one plays (where another copy of the site, at
another path of the origin, starts beside it). Each gives one line on the
page, or plays on; none leaves a blank page without a word.
"""
import os
import time

import pytest

from web_page import Page, log, wait_until


@pytest.fixture
def served(browser, site, facts):
    """Opens the page with `before` (a script's text) run before its own and
    the site's paths `blocked` answering 404."""
    def open_page(before=None, blocked=()):
        site.without_worker()
        site.server.before = before
        site.server.blocked |= set(blocked)
        return Page(browser, site.at(), facts)
    yield open_page
    site.without_worker()


def says(page, words):
    return wait_until(20, lambda: words in page.status())


def plays(page):
    """The title comes up, and a start click starts the dive."""
    if not wait_until(30, page.title_screen):
        return False
    page.move(*page.facts.at['start'])
    page.click(*page.facts.at['start'])
    return wait_until(10, lambda: len(page.steps()) > 5)


def test_opened_from_a_file_on_disk(browser, site, facts):
    page = Page(browser, 'file://' + os.path.join(site.folder, 'index.html'), facts)
    assert says(page, 'cannot start from a file'), 'from file:// the page says "%s"' % page.status()
    log('"%s"' % page.status())


def test_a_browser_without_webassembly(served):
    page = served(before='delete window.WebAssembly;')
    assert page.js('return typeof WebAssembly;') == 'undefined', 'the script before the page\'s did not run'
    assert says(page, 'cannot run WebAssembly'), 'without WebAssembly the page says "%s"' % page.status()
    log('"%s"' % page.status())


def test_the_games_code_missing_from_the_site(served):
    page = served(blocked=['/torvenka.wasm'])
    assert says(page, 'could not start'), 'without torvenka.wasm the page says "%s"' % page.status()
    log('"%s"' % page.status())


def test_a_browser_without_audio_plays_silent(served):
    page = served(before='delete window.AudioContext; delete window.webkitAudioContext;')
    assert says(page, 'plays silent'), 'without audio the page says "%s"' % page.status()
    assert plays(page), 'without audio the dive did not start'
    log('"%s"' % page.status())


def test_sound_files_missing_from_the_site(served, facts):
    effect, theme = facts.urls['card'], facts.urls['dive_theme']
    page = served(blocked=['/' + effect, '/' + theme])
    assert says(page, effect) and says(page, theme), 'with two sound files missing the page says "%s"' % page.status()
    assert plays(page), 'with sound files missing the dive did not start'
    sounding = page.sounded(None)
    assert not sounding, 'missing files sounded: %s' % sounding
    log('"%s"' % page.status())


def test_a_second_tab_while_the_first_one_plays(browser, site, facts):
    browser.open('about:blank')
    first = browser.tab()
    page = Page(browser, site.at(), facts)
    assert plays(page), 'the first tab did not play'
    browser.new_tab()
    second = Page(browser, site.at(), facts)
    assert says(second, 'already playing in another tab'), 'the second tab says "%s"' % second.status()
    assert not second.js('return !!window.Module;'), 'the second tab started a game of its own'
    log('"%s"' % second.status())
    beta = os.path.join(site.tested, 'beta')
    os.symlink(site.tested, beta)
    site.server.blocked.add('/beta/sw.js')
    try:
        # (Its title is enough: WebKit's pointer is the X server's, whose
        # presses go to the first tab's window in front.)
        other = Page(browser, site.url + 'beta/', facts)
        assert wait_until(30, other.title_screen), 'another copy of the site, at /beta/, did not start: "%s"' % (
            other.status())
    finally:
        os.remove(beta)
    log('another copy of the site, at /beta/, starts beside the first')
    browser.switch_to(first)
    ticks = page.last_step()['tick']
    assert wait_until(10, lambda: page.last_step()['tick'] > ticks), 'the first tab stopped playing'
    browser.close_tab()
    browser.switch_to([t for t in browser.tabs() if t != first][0])

    # The browser lets the closed tab's lock go a moment after the tab is gone.
    def loads_free():
        p = Page(browser, site.at(), facts)
        return p if wait_until(10, lambda: p.started() or 'already playing' in p.status()) and p.started() else None

    again = None
    end = time.monotonic() + 30
    while again is None and time.monotonic() < end:
        again = loads_free()
    assert again is not None and plays(again), 'once the first tab was closed, a new one did not play'
    log('once the first tab is closed, the next one plays')
