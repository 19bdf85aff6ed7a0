#!/usr/bin/python3
"""A dive left alone in the browser ends as on the desktop: the same last
dive tick, GAME OVER on black after as many milliseconds as the desktop's
steps take (within the steps' jitter), the caption still "Torvenka" and the
music left playing.

    gameover_test.py SITE [PAGECHECK]

PAGECHECK (default build/pagecheck, or $TORVENKA_PAGECHECK) plays the same
dive with the desktop's game and loop on a fake clock and says when it ends.
"""
import os
import statistics
import subprocess
import sys

from web_page import CLIENT_H, CLIENT_W, Page, check, log, run, wait_until

PROJECT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WHITE, BLACK = (255, 255, 255), (0, 0, 0)
OVER_BOX = (43, 92, 103, 17)
DIVE, GAME_OVER = 1, 2


def desktop_ending():
    tool = (sys.argv[2] if len(sys.argv) > 2 else
            os.environ.get('TORVENKA_PAGECHECK', os.path.join(PROJECT, 'build', 'pagecheck')))
    check(os.access(tool, os.X_OK), 'no pagecheck tool at %s' % tool)
    out = subprocess.run([tool, 'left-alone'], check=True, capture_output=True, text=True).stdout
    values = dict(line.split() for line in out.splitlines())
    return int(values['last_dive_tick']), int(values['game_over_ms'])


def test(driver, url):
    last_tick, over_ms = desktop_ending()
    log('on the desktop the dive left alone ends after tick %d, GAME OVER %d ms after the click' % (last_tick, over_ms))

    page = Page(driver, url)
    check(wait_until(15, page.started), 'the game did not start: "%s"' % page.status())
    check(wait_until(5, lambda: page.count(WHITE, (80, 92, 34, 20)) > 0), 'no title screen')
    page.move(90, 100)
    page.click(90, 100)
    page.move(5, 5)

    def over():
        return any(s['phase'] == GAME_OVER for s in page.steps())

    check(wait_until(over_ms / 1000 * 1.5 + 10, over, step=0.2), 'no GAME OVER within %d s' % (over_ms / 1000 * 1.5 + 10))
    steps = page.steps()
    dive = [s for s in steps if s['phase'] == DIVE]
    ending = [s for s in steps if s['phase'] == GAME_OVER][0]
    check(dive[-1]['tick'] == last_tick, 'the last dive tick was %d, on the desktop %d' % (dive[-1]['tick'], last_tick))

    frame = page.frame()
    white = page.count(WHITE, OVER_BOX, frame)
    black = page.count(BLACK, frame=frame)
    lit_in_box = OVER_BOX[2] * OVER_BOX[3] - page.count(BLACK, OVER_BOX, frame)
    check(white >= 150 and CLIENT_W * CLIENT_H - black == lit_in_box, 'the GAME OVER picture is not alone on black')
    check(page.title() == 'Torvenka', 'the caption after the game over is "%s"' % page.title())
    check(not [s for s in page.sound() if s.get('op') == 'stop' and s.get('alias') == 'audio1'],
          'the game over stopped the music')

    # The first dive step runs 30 ms after the click, on either clock.
    took = ending['t'] - dive[0]['t']
    want = over_ms - 30
    gaps = [b['t'] - a['t'] for a, b in zip(dive, dive[1:])]
    gaps.sort()
    log('dive steps: %d, %.2f ms apart on average, median %.1f ms, 99th percentile %.1f ms'
        % (len(dive), statistics.mean(gaps), statistics.median(gaps), gaps[int(len(gaps) * 0.99)]))
    log('from the first dive step to GAME OVER: %.0f ms, on the desktop\'s clock %d ms' % (took, want))
    check(want * 0.97 <= took <= want * 1.06,
          'GAME OVER came %.0f ms after the first step, not about %d ms' % (took, want))


if __name__ == '__main__':
    run(test)
