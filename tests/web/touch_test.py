"""What the page's own script adds to the pointer, through Chromium's
DevTools protocol, which makes touches and a release that never comes (what
the game does with each gesture is proven headless, in
tests/web_pointer_test.cpp):

- on a phone (390 x 844 at device pixel ratio 3, touch alone): a touch
  whose end came while the canvas had no size leaves touch alive; a tap is
  one click however many mouse events the browser makes up after it; a drag
  is a swipe, and so is a pen's tip dragged; a finger resting on the spear
  strikes and, lifted, leaves the pointer there; a touch the system cancels
  does nothing;
- with a mouse: a left button let go where the page does not hear it is
  the game's once the page learns that the button is up.
"""
import pytest

from web_page import Fingers, Page, as_phone, log, wait_until

pytestmark = pytest.mark.engines('chromium')
def presses(page):
    return [p for p in page.js('return window.torvenkaWatch.presses;') if p['kind'] == 'down']


def test_one_finger_plays(browser, site, facts):
    as_phone(browser, True)
    try:
        page = Page(browser, site.at(), facts)
        assert wait_until(30, page.title_screen), 'no title screen: "%s"' % page.status()
        assert page.js('return matchMedia("(pointer: coarse)").matches && navigator.maxTouchPoints > 0;'), \
            'the browser does not present itself as a touch screen'
        fingers = Fingers(page)

        log('a touch whose end comes while the canvas has no size, then a tap on the title word')
        fingers.touch('touchStart', [(1,) + facts.swipes['tank'][:2]])
        width = page.js("var c = document.getElementById('canvas'), w = c.style.width;"
                        "c.style.width = '0px'; return w;")
        fingers.touch('touchEnd', [])
        page.js("document.getElementById('canvas').style.width = arguments[0];", width)

        log('a tap on the title word starts the dive, as one click')
        page.js('window.mice = 0; ["mousedown", "mouseup", "click"].forEach(function (t) {'
                ' document.addEventListener(t, function () { mice++; }, true); });')
        fingers.tap(*facts.at['start'])
        assert wait_until(10, lambda: page.last_step() is not None), 'the tap did not start the dive'
        assert wait_until(10, lambda: page.js('return mice;') > 0), \
            'the browser made up no mouse events after the tap, so none could be counted twice'
        downs = presses(page)
        assert len(downs) == 1 and downs[0]['button'] == 'left', 'one tap gave the game %d presses: %s' % (
            len(downs), downs)

        log('a tap on the middle card gives the spear; a drag opens a tank, and so does a pen\'s')
        assert wait_until(10, lambda: page.last_step()['deal'] == 1), 'the first deal did not come'
        fingers.tap(*facts.at['card2'])
        assert wait_until(5, lambda: page.last_step()['lane'] == 'white'), 'the tap on the middle card gave no spear'
        tanks = page.last_step()['tanks']
        fingers.drag(*facts.swipes['tank'])
        assert wait_until(5, lambda: page.last_step()['tanks'] == tanks - 1), 'the vertical drag opened no tank'
        x, y0, _, y1 = facts.swipes['tank']
        fingers.pen('mousePressed', x, y0, 1)
        for i in range(1, 5):
            fingers.pen('mouseMoved', x, y0 + (y1 - y0) * i // 4, 1)
        fingers.pen('mouseReleased', x, y1, 0)
        assert wait_until(5, lambda: page.last_step()['tanks'] == tanks - 2), 'the pen\'s tip dragged up opened no tank'

        log('a finger resting on the spear strikes; lifted, the strike goes on')
        fingers.touch('touchStart', [(1,) + facts.at['spear']])
        assert wait_until(5, lambda: page.last_step()['striking']), 'a finger resting on the spear does not strike'
        fingers.touch('touchEnd', [])
        tick = page.last_step()['tick']
        assert wait_until(5, lambda: page.last_step()['tick'] >= tick + 5), 'the dive stands still'
        assert page.last_step()['striking'], 'the strike stopped when the finger lifted'

        log('a touch the system cancels swipes nothing')
        s = page.last_step()
        x, y0, _, y1 = facts.swipes['tank']
        fingers.touch('touchStart', [(1, x, y0)])
        for i in range(1, 5):
            fingers.touch('touchMove', [(1, x, y0 + (y1 - y0) * i // 4)])
        fingers.touch('touchCancel', [])
        fingers.drag(40, 160, 100, 160)
        assert wait_until(5, lambda: page.last_step()['lane'] == 'cyan'), 'after the cancel, a drag did not swing the spear'
        assert page.last_step()['tanks'] == s['tanks'], 'the cancelled touch opened a tank'
    finally:
        as_phone(browser, False)


def test_a_release_the_page_never_hears(page, facts):
    page.start_dive()
    assert wait_until(10, lambda: page.last_step()['deal'] == 1), 'the first deal did not come'
    page.click(*facts.at['card2'])
    assert wait_until(5, lambda: page.last_step()['lane'] == 'white'), 'the middle card gave no spear'

    x, y = page.at(100, 150)
    sx, sy = page.at(*facts.at['spear'])

    def mouse(kind, x, y, **more):
        page.d.execute_cdp_cmd('Input.dispatchMouseEvent', dict(type=kind, x=x, y=y, **more))

    mouse('mouseMoved', x, y)
    mouse('mousePressed', x, y, button='left', buttons=1, clickCount=1)
    mouse('mouseMoved', x, y + 5, button='left', buttons=1)
    # Let go elsewhere: no release reaches the page; the next move it hears
    # has no button down, over the spear.
    mouse('mouseMoved', sx, sy, buttons=0)
    assert wait_until(5, lambda: page.last_step()['striking']), \
        'resting on the spear after the lost release does not strike: the pressed sea still takes every move'
    mouse('mouseMoved', sx - 60, sy - 60, buttons=0)
    assert wait_until(5, lambda: not page.last_step()['striking']), 'moving onto the sea did not stop the strike'
