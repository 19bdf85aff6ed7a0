#!/usr/bin/python3
"""A left button released where the page does not hear it (over another
window, or while the windows were switched), which the desktop's pointer
grab never lets happen: when the page learns that the button is up, the
game gets the release, so the next moves reach what is under the pointer
(resting on the spear strikes). The DevTools protocol gives the page a
press whose release never comes.

    lost_release_test.py SITE
"""
import os
import sys

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import Page, check, log, run_chromium, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)
SPEAR = (141, 193)


def test(driver, url):
    page = Page(driver, url)
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    check(wait_until(5, lambda: page.count(WHITE, TITLE_BOX) > 0), 'no title screen')
    page.move(90, 100)
    page.click(90, 100)
    check(wait_until(8, lambda: page.last_step() is not None and page.last_step()['deal'] == 1), 'the first deal did not come')
    page.click(96, 100)
    check(wait_until(2, lambda: page.last_step()['lane'] == 'white'), 'the middle card gave no spear')

    log('a left release the page never hears is the game\'s when the page learns the button is up')
    x, y = page.at(100, 150)
    sx, sy = page.at(*SPEAR)
    mouse = lambda kind, x, y, **more: driver.execute_cdp_cmd('Input.dispatchMouseEvent', dict(
        type=kind, x=x, y=y, **more))
    mouse('mouseMoved', x, y)
    mouse('mousePressed', x, y, button='left', buttons=1, clickCount=1)
    mouse('mouseMoved', x, y + 5, button='left', buttons=1)
    # Let go elsewhere: no release reaches the page; the next move it hears
    # has no button down, over the spear.
    mouse('mouseMoved', sx, sy, buttons=0)
    check(wait_until(2, lambda: page.last_step()['striking']),
          'resting on the spear after the lost release does not strike: the pressed sea still takes every move')
    mouse('mouseMoved', sx - 60, sy - 60, buttons=0)
    check(wait_until(2, lambda: not page.last_step()['striking']), 'moving onto the sea did not stop the strike')


if __name__ == '__main__':
    run_chromium(test)
