"""The page over a slow link (about 1.6 Mbit/s with 150 ms of latency, the
browser's cache off): the title shows and a start click starts the dive
before the dive theme has come in, the status line says that the sounds are
still loading, the theme then joins the dive at the place it would have
reached had it played from the click (on the audio clock, within 100 ms),
and once every sound is in the status line is clear again.

Where the theme joins is a bound on real time (the step that asks for the
theme may come late after the click on a busy machine): a page that misses
it is loaded again, up to three times, each time's figures printed (the
real_time mark, conftest.py).
"""
import pytest

from web_page import Page, wait_until

pytestmark = pytest.mark.engines('chromium')
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
    probe.starts.push({t: performance.now(), clock: this.context.currentTime, offset: offset || 0});
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


def arrived(page, url):
    """When the page had the whole file, on the page's clock; None before."""
    return page.js("var name = '/' + arguments[0], e = performance.getEntriesByType('resource')"
                   ".filter(function (r) { return r.name.endsWith(name); });"
                   "return e.length ? e[0].responseEnd : null;", url)


@pytest.mark.real_time
def test_the_dive_starts_before_its_theme_and_the_theme_joins_at_its_place(browser, site, facts, real_time):
    d = browser.d
    d.execute_cdp_cmd('Network.enable', {})
    d.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': True})
    d.execute_cdp_cmd('Network.emulateNetworkConditions', LINK)
    site.server.before = PROBE
    theme = facts.urls['dive_theme']

    page = Page(browser, site.url, facts)
    assert wait_until(60, page.title_screen), 'the title did not show over the slow link: "%s"' % page.status()
    page.start_dive()
    clicked = page.steps()[0]['t']
    assert arrived(page, theme) is None, 'the dive theme was in before the dive started: the link is not slow'
    status = page.status()
    assert 'Loading the sounds' in status, 'while the theme was on its way the status line said "%s"' % status
    assert wait_until(60, lambda: page.sounded('dive_theme')), 'the dive theme never sounded: %s' % page.sound()
    sound = page.sound()
    sounded = [s for s in sound if s['op'] == 'sounding' and s['url'] == theme][0]
    # The play that asked for the theme on its channel, the press before
    # it and the buffer's start, each with the audio clock then.
    play = [s for s in sound if s['op'] == 'play' and s['alias'] == sounded['alias'] and s['t'] <= sounded['t']][-1]
    probe = page.js('return {presses: torvenkaProbe.presses, starts: torvenkaProbe.starts};')
    begun = [s for s in probe['starts'] if s['t'] <= sounded['t']][-1]
    press = [p for p in probe['presses'] if p['t'] <= play['t'] and p['clock'] is not None][-1]
    place = play['detail'] / 1000 + begun['clock'] - press['clock']
    by_page = play['detail'] / 1000 + (sounded['t'] - play['t']) / 1000
    assert wait_until(60, lambda: 'Loading' not in page.status()), \
        'the status line still says "%s" a minute on' % page.status()
    assert page.status() == '', 'with every sound in the status line says "%s"' % page.status()
    figures = ('the theme arrived %.0f ms after the dive started and joined at %.3f s; its place by the audio '
               'clock %.3f s, by the page\'s %.3f s' % (arrived(page, theme) - clicked, begun['offset'], place,
                                                        by_page))
    # The audio clock runs with the page: its place is where the page's
    # own clock says the theme would be, give or take the context's start.
    real_time('the dive theme over the slow link', abs(place - by_page) < 0.3 and abs(begun['offset'] - place) <= 0.1,
              figures)
