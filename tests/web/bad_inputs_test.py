"""What the page says when it cannot play as it should: opened from a file
on disk, in a browser without WebAssembly, without the game's own code, in
a browser without audio, with a sound file missing from the site, and in a
second tab while the first one plays (where another copy of the site, at
another path of the origin, starts beside it). Each gives one line on the
page, or plays on; none leaves a blank page without a word.
"""
import base64
import os
import struct
import subprocess
import zlib

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
    second_tab = browser.tab()
    second = Page(browser, site.at(), facts)
    assert says(second, 'already playing in another tab'), 'the second tab says "%s"' % second.status()
    assert not second.js('return !!window.Module;'), 'the second tab started a game of its own'
    log('"%s"' % second.status())
    browser.switch_to(first)
    ticks = page.last_step()['tick']
    assert wait_until(10, lambda: page.last_step()['tick'] > ticks), 'the first tab stopped playing'

    # Closed, the first tab lets the lock go (a moment later), and the
    # second tab, which waited for it, plays without being reloaded.
    browser.close_tab()
    browser.switch_to(second_tab)
    assert wait_until(30, second.title_screen), \
        'once the first tab was closed, the second did not come to its title: "%s"' % second.status()
    assert plays(second), 'once the first tab was closed, the second did not play'
    log('once the first tab is closed, the second one plays')

    # Reloaded mid-dive, the tab plays again: the page after it waits for
    # the lock its page before lets go.
    again = Page(browser, site.at(), facts)
    assert wait_until(30, again.title_screen), 'reloaded mid-dive, the page says "%s"' % again.status()
    log('reloaded mid-dive, it comes to its title again')

    beta = os.path.join(site.tested, 'beta')
    os.symlink(site.tested, beta)
    site.server.blocked.add('/beta/sw.js')
    try:
        browser.new_tab()
        other = Page(browser, site.url + 'beta/', facts)
        assert wait_until(30, other.title_screen), 'another copy of the site, at /beta/, did not start: "%s"' % (
            other.status())
    finally:
        os.remove(beta)
    log('another copy of the site, at /beta/, starts beside the first')
    browser.close_tab()
    browser.switch_to(second_tab)


# Dives to watch that cannot be played: a link's fragment or a file dropped
# on the page, each one line on the status line, nothing offered, no dive,
# and the title still there. The good one they are made from is a dive the
# desktop's game kept (pagecheck record).
def record_parts(data):
    """A dive's file cut into its header up to the rules, the rules, the
    rest up to the CRC (record_format.h); and the file again from parts."""
    at = 3 + 1 + 1 + data[4]
    return data[:at], data[at:at + 4], data[at + 4:-4]


def sealed(*parts):
    body = b''.join(parts)
    return body + struct.pack('<I', zlib.crc32(body))


def varint(data, at):
    value, shift = 0, 0
    while True:
        b = data[at]
        value |= (b & 0x7F) << shift
        at += 1
        shift += 7
        if not b & 0x80:
            return value, at


def as_link(data):
    return base64.urlsafe_b64encode(data).decode().rstrip('=')


def bad_dives(facts, tmp):
    kept = os.path.join(tmp, 'dive.tvk')
    subprocess.run([facts.tool, 'record', kept], check=True, capture_output=True)
    with open(kept, 'rb') as f:
        good = f.read()
    head, rules, rest = record_parts(good)
    version = head[5:].decode()
    older = head[:5] + ('0' + version[1:]).encode()
    # The steps run at the end, written one step short of the events.
    seed_end = varint(rest, 0)[1]
    steps, after = varint(rest, seed_end)
    fewer = bytearray()
    n = steps - 1
    for i in range(after - seed_end):
        fewer.append((n & 0x7F) | (0x80 if i < after - seed_end - 1 else 0))
        n >>= 7
    altered = bytearray(good)
    altered[len(good) // 2] ^= 0x10
    return [
        ('a link cut short', as_link(good)[:-6], None, 'the replay is damaged: cut short or altered'),
        ('a link altered', as_link(bytes(altered)), None, 'the replay is damaged: cut short or altered'),
        ('a link of another version\'s rules', as_link(sealed(older, bytes(4 - i for i in range(4)), rest)), None,
         'recorded by Torvenka 0%s, which plays differently' % version[1:]),
        ('an empty fragment', '', None, 'the replay is empty'),
        ('a fragment of 1.5 MB', 'A' * 1500000, None, 'the replay is too large to be a dive'),
        ('events past the dive\'s end', as_link(sealed(head, rules, rest[:seed_end] + bytes(fewer) + rest[after:])),
         None, 'the replay\'s events run past the end of its dive'),
        ('a file that is not a replay', None, b'seed 777\n0 move - 90 100\n', 'this is not a Torvenka replay'),
        ('a file cut short', None, good[:-3], 'the replay is damaged: cut short or altered'),
    ]


DROP = """
    var bytes = Uint8Array.from(atob(arguments[0]), function (c) { return c.charCodeAt(0); });
    var files = new DataTransfer();
    files.items.add(new File([bytes], 'dive.tvk'));
    document.getElementById('canvas').dispatchEvent(new DragEvent('drop', {dataTransfer: files, bubbles: true,
                                                                          cancelable: true}));"""


def test_dives_that_cannot_be_played_are_one_line(engine, browser, site, facts, tmp_path):
    site.without_worker()
    for what, fragment, data, line in bad_dives(facts, str(tmp_path)):
        if fragment is not None and len(fragment) > 1000000 and engine == 'firefox':
            log('%s: Firefox takes no address over 1 MB (network.standard-url.max-length)' % what)
            continue
        browser.open('about:blank')
        page = Page(browser, site.at() + ('#' + fragment if fragment is not None else ''), facts)
        assert wait_until(30, page.title_screen), '%s: no title: "%s"' % (what, page.status())
        if data is not None:
            page.js(DROP, base64.b64encode(data).decode())
        assert wait_until(10, lambda: page.status() == line), '%s: the page says "%s"' % (what, page.status())
        page.click(*facts.at['card1'])
        assert page.js("return document.getElementById('replays').hidden;"), '%s: the page offers actions' % what
        assert page.last_step() is None, '%s: a dive began' % what
        log('%s: "%s"' % (what, line))
