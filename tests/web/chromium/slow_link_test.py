#!/usr/bin/python3
"""The page over a slow link (about 1.6 Mbit/s with 150 ms of latency, the
browser's cache off): the title shows and a start click starts the dive
before the dive theme has come in, the status line says that the sounds are
still loading, the theme then joins the dive at the place it would have
reached had it played from the click (on the audio clock, within 100 ms),
and once every sound is in the status line is clear again.

    slow_link_test.py SITE
"""
import os
import sys

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import Page, check, fail, log, run_chromium, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)
THEME = 'dat/plomvex_s01.ogg'
THEME_FROM_S = 0.014  # the game plays the dive theme from 14 ms
LINK = {'offline': False, 'latency': 150, 'downloadThroughput': 1600 * 1000 // 8,
        'uploadThroughput': 1600 * 1000 // 8}

# Watches the page from outside its own code: the audio clock at every press
# and release, and every buffer the page starts, with the offset it asks for.
PROBE = r"""
(function () {
  var probe = window.torvenkaProbe = {contexts: [], presses: [], starts: []};
  var AC = window.AudioContext;
  if (AC) {
    window.AudioContext = class extends AC {
      constructor(options) { super(options); probe.contexts.push(this); }
    };
  }
  var start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (when, offset) {
    probe.starts.push({t: performance.now(), clock: this.context.currentTime, when: when || 0,
                       offset: offset || 0, duration: this.buffer ? this.buffer.duration : 0});
    return start.apply(this, arguments);
  };
  ['pointerdown', 'pointerup'].forEach(function (type) {
    window.addEventListener(type, function () {
      var c = probe.contexts[0];
      probe.presses.push({t: performance.now(), clock: c ? c.currentTime : null});
    }, true);
  });
})();
"""


def arrived(page, name):
    """When the page had the whole file, on the page's clock; None before."""
    return page.js("var name = arguments[0];"
                   "var e = performance.getEntriesByType('resource').filter(function (r) { return r.name.endsWith(name); });"
                   "return e.length ? e[0].responseEnd : null;", name)


def test(driver, url):
    driver.execute_cdp_cmd('Network.enable', {})
    driver.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': True})
    driver.execute_cdp_cmd('Network.emulateNetworkConditions', LINK)
    driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': PROBE})
    page = Page(driver, url)
    check(wait_until(20, lambda: page.started() and page.count(WHITE, TITLE_BOX) > 0),
          'the title did not show over the slow link: "%s"' % page.status())
    log('the title showed %.0f ms after the navigation' % page.js('return window.torvenkaWatch.firstFrame;'))
    problems = []

    page.move(90, 100)
    page.click(90, 100)
    check(wait_until(3, lambda: len(page.steps()) > 3), 'the start click did not start the dive at once')
    clicked = page.steps()[0]['t']
    log('the dive started %.0f ms after the navigation' % clicked)
    check(arrived(page, THEME) is None, 'the dive theme was in before the dive started: the link is not slow')
    status = page.status()
    log('status line: "%s"' % status)
    if 'loading' not in status.lower():
        problems.append('while the theme was on its way the status line said "%s"' % status)

    def theme_sounding():
        return [s for s in page.sound() if s['op'] == 'sounding' and s.get('url') == THEME]

    check(wait_until(60, theme_sounding), 'the dive theme never sounded: %s' % page.sound())
    came = arrived(page, THEME)
    probe = page.js('return {presses: torvenkaProbe.presses, starts: torvenkaProbe.starts};')
    starts = [s for s in probe['starts'] if 85 < s['duration'] < 95]
    check(starts, 'no start of the dive theme\'s buffer was seen: %s' % probe['starts'])
    begun = starts[0]
    # The play command that asked for the theme, and the audio clock then.
    plays = [s for s in page.sound() if s['op'] == 'play' and s['alias'] == 'audio1']
    check(plays, 'no play of the music channel: %s' % page.sound())
    before = [p for p in probe['presses'] if p['t'] <= plays[0]['t'] and p['clock'] is not None]
    check(before, 'no press was seen before the play: %s' % probe['presses'])
    asked_clock = before[-1]['clock']
    place = THEME_FROM_S + begun['clock'] - asked_clock
    log('the dive theme arrived %.0f ms after the navigation (%.0f ms after the dive started) and joined at '
        '%.3f s; its place by the audio clock was %.3f s' % (came, came - clicked, begun['offset'], place))
    # The audio clock ran with the page: its place is where the page's own
    # clock says the theme would be, give or take the context's start.
    sounded = theme_sounding()[0]['t']
    by_page = THEME_FROM_S + (sounded - plays[0]['t']) / 1000
    check(abs(place - by_page) < 0.3, 'the audio clock did not run with the page: %.3f s by it, %.3f s by the page'
          % (place, by_page))
    if abs(begun['offset'] - place) > 0.1:
        problems.append('the dive theme joined at %.3f s, not at its place, %.3f s' % (begun['offset'], place))

    if not wait_until(60, lambda: 'loading' not in page.status().lower()):
        problems.append('the status line still says "%s" a minute on' % page.status())
    else:
        log('every sound in at %.0f ms; status line: "%s"' % (page.js('return performance.now();'), page.status()))
        if page.status():
            problems.append('with every sound in the status line says "%s"' % page.status())
    if problems:
        fail('; '.join(problems))


if __name__ == '__main__':
    run_chromium(test)
