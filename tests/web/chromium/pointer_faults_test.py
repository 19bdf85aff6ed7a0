#!/usr/bin/python3
"""Two things a browser does to a pointer that the desktop never does, and
what the game makes of them, as on the desktop:

- a left button released where the page does not hear it: when the page
  learns that the button is up, the game gets the release, so the next
  moves reach what is under the pointer (resting on the spear strikes);
- the right button pressed, dragged and let go off the canvas while the
  left button pressed in the game is held: heard, and a swipe, as the
  desktop's pointer grab gives it to the window.

    pointer_faults_test.py SITE
"""
import os
import sys

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import Page, check, log, run_chromium, wait_until
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.mouse_button import MouseButton

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)
SPEAR = (141, 193)


def last(page):
    return page.js('var s = window.torvenkaWatch.steps; return s.length ? s[s.length - 1] : null;')


def test(driver, url):
    page = Page(driver, url)
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    check(wait_until(5, lambda: page.count(WHITE, TITLE_BOX) > 0), 'no title screen')
    page.move(90, 100)
    page.click(90, 100)
    check(wait_until(8, lambda: last(page) is not None and last(page)['deal'] == 1), 'the first deal did not come')
    page.click(96, 100)
    check(wait_until(2, lambda: last(page)['lane'] == 'white'), 'the middle card gave no spear')

    log('the right button pressed, swiped and let go off the canvas during a left drag swings the spear')
    left, top, w, h = page.canvas_rect()
    below = top + h + 10  # the status line under the canvas
    a = ActionBuilder(driver, duration=0)
    a.pointer_action.move_to_location(*page.at(100, 150))
    a.pointer_action.pointer_down(MouseButton.LEFT)
    a.pointer_action.move_to_location(int(left + w * 0.2), int(below))
    a.pointer_action.pointer_down(MouseButton.RIGHT)
    a.pointer_action.move_to_location(int(left + w * 0.5), int(below))
    a.pointer_action.move_to_location(int(left + w * 0.8), int(below))
    a.pointer_action.pointer_up(MouseButton.RIGHT)
    a.pointer_action.pointer_up(MouseButton.LEFT)
    a.perform()
    check(wait_until(2, lambda: last(page)['lane'] == 'cyan'),
          'the right-button swipe off the canvas during a left drag was not heard')

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
    check(wait_until(2, lambda: last(page)['striking']),
          'resting on the spear after the lost release does not strike: the pressed sea still takes every move')
    mouse('mouseMoved', sx - 60, sy - 60, buttons=0)
    check(wait_until(2, lambda: not last(page)['striking']), 'moving onto the sea did not stop the strike')
    log('ok')


if __name__ == '__main__':
    run_chromium(test)
