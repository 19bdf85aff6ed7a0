"""A won dive in the browser: the project's good diver (GoodDiver of
src/headless/bots.h, the one the headless tests play: the spear, the ring
and the tanks from the cards, a tank when the oxygen runs low, the spear
swung to each creature's colour and resting on it) beats the giant squid, the
clear sequence plays, the music stops, and the page's title becomes the
caption "☆☆ クリア ☆☆"; the page then offers the dive to watch again, share
and save.

The test build of the page runs the diver after every dive step and keeps
its wishes; the test's hand carries each out once with the browser's real
pointer (web_page.Hand). In Chromium the whole dive is played, about two
minutes in real time; in Firefox and WebKit, whose pointer input and
caption are what is left to prove there, the dive jumps on its first tick to
the good diver's own headless dive shortly before the giant squid comes
(?from=), and only its end is played.
"""
import pytest

from web_page import Hand, Page, log, offered, wait_until

# Where the other engines take the dive up: with the boss theme playing, the
# last deal still to turn, and nine seconds before the giant squid comes.
LATE_TICK = 3000


# In Chromium the whole dive is played: over two minutes on a quiet machine.
@pytest.mark.timeout(600)
def test_the_good_diver_wins(engine, browser, site, facts, hand_skips):
    late = engine != 'chromium'
    page = Page(browser, site.at('from=%d' % LATE_TICK if late else ''), facts).wait_for_title()
    assert page.title() == facts.captions['title'], 'the page title is "%s" before the dive' % page.title()
    page.start_dive()
    if late:
        assert wait_until(10, lambda: page.last_step()['tick'] >= LATE_TICK), 'the dive did not jump to its end'

    log('the dive%s, played by the good diver' % (' from tick %d' % LATE_TICK if late else ''))
    hand = Hand(page, skip=hand_skips)
    s = hand.play(lambda s: s['phase'] != facts.phases['dive'], 240)
    log('%d wishes of the diver carried out: %s' % (len(hand.log), ', '.join(
        '%s at %d' % (w['op'], w['tick']) for w in hand.log[:12])))
    assert s['phase'] == facts.phases['clear'], \
        'the dive did not end in a clear: tick %d, life %d, lane %s, tanks %d, oxygen %d' % (
        s['tick'], s['life'], s['lane'], s['tanks'], s['oxygen'])
    log('the giant squid beaten at tick %d with life %d left' % (s['tick'], s['life']))

    assert wait_until(20, lambda: page.title() == facts.captions['clear']), \
        'the page title is "%s" after the clear' % page.title()
    sound = page.sound()
    stops = [x for x in sound if x['op'] == 'stop' and x['alias'] == 'audio1']
    boss = [x for x in sound if x.get('url') == facts.urls['boss_theme']]
    assert boss, 'the boss theme never sounded'
    assert stops and stops[-1]['t'] > boss[-1]['t'], 'the clear sequence did not stop the boss theme'
    log('the page title is the caption "%s"' % facts.captions['clear'])
    assert wait_until(20, lambda: offered(page) == ['again', 'share', 'save']), \
        'after the clear the page offers %s' % offered(page)
