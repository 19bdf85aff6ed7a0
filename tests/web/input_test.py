"""The pointer in the browser, as on the desktop: the title word lights up
under the pointer and a left click on it starts the dive and its music; a
turned card shows what it holds; a vertical right-button swipe opens a tank,
a horizontal one moves the spear; a right-button release outside the game is
lost, but a right-button swipe made off the canvas while the left button
pressed in the game is held is heard, as the desktop's pointer grab gives
it; no right-button press opens the browser's context menu; and a hidden
page holds the dive and its sound.

What the game does with each gesture is proven headless
(tests/web_pointer_test.cpp, tests/input_test.cpp); here each gesture goes
once through the engine's real input and the page's script.
"""
from web_browsers import down, move, up
from web_page import BLACK, CYAN, LEFT, RIGHT, WHITE, YELLOW, log, wait_until


def hidden_at(page):
    """When the sound was last held for a hidden page."""
    held = [s['t'] for s in page.sound() if s['op'] == 'hidden']
    return held[-1] if held else float('inf')


def test_the_pointer_plays_as_on_the_desktop(engine, browser, page, facts):
    title = facts.around('titleWord')
    spear = facts.around('spearWhite')
    start = facts.at['start']
    # Every context menu the page lets through is counted.
    page.js("window.menus = []; window.addEventListener('contextmenu',"
            " function (e) { menus.push(e.defaultPrevented); });")

    log('hovering the title word turns it yellow; the black around it turns it white again')
    page.move(*start)
    assert wait_until(5, lambda: page.count(YELLOW, title) > 30), 'the title word did not turn yellow'
    page.move(20, 20)
    assert wait_until(5, lambda: page.count(YELLOW, title) == 0 and page.count(WHITE, title) > 30), \
        'the title word did not turn white again over the black'

    log('a right click on the title word starts nothing')
    page.move(*start)
    assert wait_until(5, lambda: page.count(YELLOW, title) > 30), 'the title word did not turn yellow'
    page.swipe(*start, *start, RIGHT)
    page.move(20, 20)
    assert wait_until(5, lambda: page.count(WHITE, title) > 30), 'the moves after the right click were not heard'
    assert page.js('return menus.length;') > 0, 'the right click did not reach the page'
    assert all(page.js('return menus;')), 'a right click let the context menu open: %s' % page.js('return menus;')
    assert not page.steps() and not page.sound(), 'a right click on the title word started the dive'

    log('a left click on the title word starts the dive, its effect and its music')
    page.start_dive()
    assert wait_until(5, lambda: len(page.steps()) > 3), 'no dive steps after the start click'
    assert page.count(BLACK, (0, 0, facts.client[0], 160)) < 1000, 'no sea after the start click'
    assert page.sounded('card'), 'the start effect did not sound: %s' % page.sound()
    assert wait_until(10, lambda: page.sounded('dive_theme')), 'the dive theme did not start: %s' % page.sound()
    # The presses resume the page's audio. Chromium has it running at once;
    # Firefox and WebKit open their sound device first (a third of a second
    # here), and a sound started meanwhile plays once it is open. The tank
    # below, seconds later, finds it running.
    states = [(s['url'], s['state']) for s in page.sound() if s['op'] == 'sounding']
    assert all(st in ('running', 'suspended') for _, st in states), 'the audio is neither running nor resuming: %s' % (
        states,)

    log('the first deal: the middle card, turned, shows the spear card and gives the spear')
    assert wait_until(10, lambda: page.last_step()['deal'] == 1), 'the first deal did not come'
    left, middle = facts.boxes['cardSlot1'], facts.boxes['cardSlot2']

    # The cards are keyed: the sea shows through their corners, so two cards
    # that show the same side differ in a few pixels only.
    def card(frame, box, rise=0):
        x0, y0, w, h = box
        cw = facts.client[0]
        return [frame[y * cw + x] for y in range(y0 - rise, y0 - rise + h) for x in range(x0, x0 + w)]

    def differ(a, b):
        return sum(1 for p, q in zip(a, b) if p != q)

    frame = page.frame()
    assert differ(card(frame, left), card(frame, middle)) < 100, 'the cards of the first deal are not all face down'
    page.click(*facts.at['card2'])
    assert wait_until(5, lambda: page.last_step()['lane'] == 'white'), 'turning the middle card gave no spear'
    turned = page.frame()
    assert differ(card(turned, left), card(turned, middle, rise=10)) > 300, \
        'the turned card did not rise by 10 pixels to show its face'
    assert page.count(WHITE, spear, turned) > 10, 'no white spear after the spear card'

    log('a vertical right-button swipe opens a tank')
    tanks = page.last_step()['tanks']
    page.swipe(100, 170, 100, 140)
    assert wait_until(5, lambda: page.last_step()['tanks'] == tanks - 1), 'the vertical swipe opened no tank'
    assert page.last_step()['oxygen'] >= 78, 'the tank did not refill the oxygen'
    tank = [s['state'] for s in page.sound() if s['op'] == 'sounding' and s['url'] == facts.urls['tank']]
    assert tank, 'the tank made no sound'
    assert tank[-1] == 'running', 'the audio was not running when the tank sounded: %s' % tank[-1]

    log('a right-button swipe released outside the game is lost')
    tanks = page.last_step()['tanks']
    ups = len([p for p in page.js('return window.torvenkaWatch.presses;') if p['kind'] == 'up'])
    left_px, top_px, w, h = page.canvas_rect()
    page.pointer([move(*page.at(100, 170)), down(RIGHT), move(left_px + w / 2, top_px + h + 12), up(RIGHT)])
    # What the page heard of it is in once a later click has come through.
    page.click(20, 20)
    assert wait_until(5, lambda: len([p for p in page.js('return window.torvenkaWatch.presses;')
                                      if p['kind'] == 'up']) > ups), 'the click after the swipe was not heard'
    assert page.last_step()['tanks'] == tanks, 'a right release outside the game opened a tank'

    log('a horizontal right-button swipe moves the spear to the cyan lane')
    page.swipe(40, 160, 100, 160)
    assert wait_until(5, lambda: page.last_step()['lane'] == 'cyan'), 'the horizontal swipe did not move the spear'
    assert wait_until(5, lambda: page.count(CYAN, spear) > 10), 'no cyan spear on the canvas'
    assert page.sounded('spear'), 'the spear made no sound'

    log('during a left drag out of the game, a right-button swipe off the canvas is heard: the spear to red')
    left_px, top_px, w, h = page.canvas_rect()
    below = top_px + h + 10  # the status line under the canvas
    page.pointer([move(*page.at(100, 150)), down(LEFT), move(left_px + w * 0.2, below), down(RIGHT),
                  move(left_px + w * 0.5, below), move(left_px + w * 0.8, below), up(RIGHT), up(LEFT)])
    assert wait_until(5, lambda: page.last_step()['lane'] == 'red'), \
        'the right-button swipe off the canvas during a left drag was not heard'

    log('a hidden page holds the dive and its sound, and gives them back from the same tick')
    browser.hide_page(1.0)
    assert wait_until(5, lambda: hidden_at(page) < float('inf')), 'the page was not told it was hidden'
    assert wait_until(5, lambda: page.last_step()['t'] - hidden_at(page) > 100), 'the dive did not go on once shown'
    steps = page.steps()
    ticks = [s['tick'] for s in steps if s['phase'] == 'dive']
    assert ticks == list(range(1, len(ticks) + 1)), 'the dive skipped or repeated ticks around the hidden time'
    gap = max(b['t'] - a['t'] for a, b in zip(steps, steps[1:]))
    assert gap >= 800, 'the dive went on while hidden: the longest pause between steps was %.0f ms' % gap

    def held():
        return [(s['op'], s['detail']) for s in page.sound() if s['op'] in ('hidden', 'shown')]

    # The audio comes back when the browser has its output running again.
    assert wait_until(5, lambda: held()[-2:] == [('hidden', 'suspended'), ('shown', 'running')]), \
        'the sound was not held: %s' % held()

    menus = page.js('return menus;')
    assert menus and all(menus), 'a right-button press let the context menu open: %s' % menus
    log('%d right-button presses, no context menu' % len(menus))
