"""The pointer in the browser, as on the desktop: the title word lights up
under the pointer and a left click on it starts the dive and its music; a
left drag begun off the canvas is not the game's, nor a press made over the
game during it; a turned card shows what it holds; a vertical right-button
swipe opens a tank, a horizontal one moves the spear; a right-button release
outside the game is lost, but a right-button swipe made off the canvas while
the left button pressed in the game is held is heard, as the desktop's
pointer grab gives it; no right-button press opens the browser's context
menu; and a hidden page holds the dive and its sound. The mouse's back and
forward buttons pressed on the game, alone or during a left drag, neither
leave the page nor click; elsewhere on the page they go back as usual.

What the game does with each gesture is proven headless
(tests/web_pointer_test.cpp, tests/input_test.cpp); here each gesture goes
once through the engine's real input and the page's script.
"""
import pytest

import web_browsers
from web_browsers import BACK, FORWARD, down, move, up
from web_page import LEFT, RIGHT, Page, log, wait_until


def presses(page, kind='down'):
    return [p for p in page.js('return window.torvenkaWatch.presses;') if p['kind'] == kind]


def hidden_at(page):
    """When the sound was last held for a hidden page."""
    held = [s['t'] for s in page.sound() if s['op'] == 'hidden']
    return held[-1] if held else float('inf')


def test_the_pointer_plays_as_on_the_desktop(engine, browser, page, facts):
    title = facts.around('titleWord')
    spear = facts.around('spearWhite')
    start = facts.at['start']
    white, yellow, cyan, black = (facts.colours[c] for c in ('white', 'yellow', 'cyan', 'black'))
    # Every context menu the page lets through is counted.
    page.js("window.menus = []; window.addEventListener('contextmenu',"
            " function (e) { menus.push(e.defaultPrevented); });")

    log('hovering the title word turns it yellow; the black around it turns it white again')
    page.move(*start)
    assert wait_until(5, lambda: page.count(yellow, title) > 30), 'the title word did not turn yellow'
    page.move(20, 20)
    assert wait_until(5, lambda: page.count(yellow, title) == 0 and page.count(white, title) > 30), \
        'the title word did not turn white again over the black'

    log('a right click on the title word starts nothing')
    page.move(*start)
    assert wait_until(5, lambda: page.count(yellow, title) > 30), 'the title word did not turn yellow'
    page.swipe(*start, *start, RIGHT)
    page.move(20, 20)
    assert wait_until(5, lambda: page.count(white, title) > 30), 'the moves after the right click were not heard'
    assert page.js('return menus.length;') > 0, 'the right click did not reach the page'
    assert all(page.js('return menus;')), 'a right click let the context menu open: %s' % page.js('return menus;')
    assert not page.steps() and not page.sound(), 'a right click on the title word started the dive'

    log('a left drag begun off the canvas, with a right press and release over the game midway, is not the game\'s')
    heard = len(presses(page))
    left_px, top_px, w, h = page.canvas_rect()
    page.pointer([move(left_px - 20, top_px + h / 2), down(LEFT), move(*page.at(*start)), down(RIGHT),
                  move(*page.at(start[0], start[1] - 8)), up(RIGHT), move(*page.at(*start)), up(LEFT)])

    log('a left click on the title word starts the dive, its effect and its music')
    page.start_dive()
    since = presses(page)[heard:]
    assert [(p['button'], p['x'], p['y']) for p in since] == [('left',) + start], \
        'the drag begun off the canvas pressed the game: it heard %s' % since
    assert wait_until(5, lambda: len(page.steps()) > 3), 'no dive steps after the start click'
    assert page.count(black, (0, 0, facts.client[0], 160)) < 1000, 'no sea after the start click'
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
    assert page.count(white, spear, turned) > 10, 'no white spear after the spear card'

    log('a vertical right-button swipe opens a tank')
    tanks = page.last_step()['tanks']
    page.swipe(*facts.swipes['tank'])
    assert wait_until(5, lambda: page.last_step()['tanks'] == tanks - 1), 'the vertical swipe opened no tank'
    # The oxygen of the first step after the tank, not of the latest: on a
    # busy machine a few steps may have drained it since.
    opened = page.js('var s = window.torvenkaWatch.steps; for (var i = 0; i < s.length; i++) '
                     'if (s[i].tanks === %d) return s[i]; return null;' % (tanks - 1))
    assert opened and opened['oxygen'] >= 78, 'the tank did not refill the oxygen: %s' % opened
    tank = [s['state'] for s in page.sound() if s['op'] == 'sounding' and s['url'] == facts.urls['tank']]
    assert tank, 'the tank made no sound'
    assert tank[-1] == 'running', 'the audio was not running when the tank sounded: %s' % tank[-1]

    log('a right-button swipe released outside the game is lost')
    tanks = page.last_step()['tanks']
    ups = len(presses(page, 'up'))
    left_px, top_px, w, h = page.canvas_rect()
    page.pointer([move(*page.at(*facts.swipes['tank'][:2])), down(RIGHT), move(left_px + w / 2, top_px + h + 12), up(RIGHT)])
    # What the page heard of it is in once a later click has come through.
    page.click(20, 20)
    assert wait_until(5, lambda: len(presses(page, 'up')) > ups), 'the click after the swipe was not heard'
    assert page.last_step()['tanks'] == tanks, 'a right release outside the game opened a tank'

    log('a horizontal right-button swipe moves the spear to the cyan lane')
    page.swipe(40, 160, 100, 160)
    assert wait_until(5, lambda: page.last_step()['lane'] == 'cyan'), 'the horizontal swipe did not move the spear'
    assert wait_until(5, lambda: page.count(cyan, spear) > 10), 'no cyan spear on the canvas'
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
    ticks = [s['tick'] for s in steps if s['phase'] == facts.phases['dive']]
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


@pytest.fixture(scope='module')
def side_buttons(engine, browser):
    """A browser whose BACK and FORWARD are the mouse's real side buttons.
    Chromium's driver and WebKit's X pointer press them as they are; Firefox
    goes back on them before any DOM event, so only a Firefox with a window
    on an X server, pressed by the X server's pointer, has them."""
    if engine != 'firefox':
        yield browser
        return
    b = web_browsers.start(engine, real_side_buttons=True)
    try:
        yield b
    finally:
        b.quit()


def between_pages(b, site, facts, ahead):
    """The game's page on its title screen, a page of its site behind it in
    the tab's history, and one ahead of it if `ahead`."""
    site.without_worker()
    site.server.routes = {'/%s.html' % name: (b'<!doctype html><title>%s</title><p>%s' % (name.encode(), name.encode()),
                                             'text/html') for name in ('before', 'after')}
    b.open(site.url + 'before.html')
    page = Page(b, site.at(), facts)
    if ahead:
        assert wait_until(30, page.started), 'the game did not start: "%s"' % page.status()
        b.open(site.url + 'after.html')
        b.back()
    assert wait_until(30, lambda: b.js('return location.pathname;') == '/' and page.title_screen()), \
        'no title screen: the tab shows %s' % b.js('return location.href;')
    return page


def test_the_side_buttons_on_the_game_stay(side_buttons, site, facts):
    b = side_buttons
    page = between_pages(b, site, facts, ahead=True)
    page.start_dive()
    assert wait_until(10, lambda: page.last_step()['deal'] == 1), 'the first deal did not come'
    page.js('window.sameDocument = true;')
    heard = len(presses(page))
    # Where to press, read once: a page gone back or forward has no canvas.
    card, sea, sea_up = page.at(*facts.at['card2']), page.at(20, 150), page.at(20, 140)

    log('back and forward pressed on the middle card, and both during a left drag on the sea')
    for button in (BACK, FORWARD):
        b.pointer([move(*card), down(button), up(button)])
    b.pointer([move(*sea), down(LEFT), move(*sea_up), down(BACK), up(BACK), move(*sea), down(FORWARD),
               up(FORWARD), up(LEFT)])

    log('a left click on the middle card after them turns it, on the same page')
    b.pointer([move(*card), down(LEFT), up(LEFT)])

    def still_here():
        return b.js('return window.sameDocument === true;')

    assert wait_until(5, lambda: still_here() and page.last_step()['lane'] == 'white'), \
        'the side buttons left the game: the tab shows %s' % b.js('return location.href;')
    lefts = [(p['x'], p['y']) for p in presses(page)[heard:] if p['button'] == 'left']
    assert lefts == [(20, 150), facts.at['card2']], 'the side buttons pressed the left button: %s' % lefts


def test_the_side_buttons_elsewhere_go_back(engine, side_buttons, site, facts):
    if engine == 'webkit':
        pytest.skip('WebKitGTK\'s MiniBrowser goes neither back nor forward on the mouse\'s side buttons')
    b = side_buttons
    page = between_pages(b, site, facts, ahead=False)
    page.start_dive()
    left_px, top_px, w, h = page.canvas_rect()
    x, y = left_px - 20, top_px + h / 2
    # The page learns where the mouse is from its moves, which a browser may
    # hand it a frame late: the press waits until the page has heard it off
    # the game.
    page.js("window.lastMove = [-1, -1]; document.addEventListener('pointermove',"
            " function (e) { lastMove = [e.clientX, e.clientY]; }, true);")
    b.pointer([move(x, y)])
    assert wait_until(5, lambda: max(abs(p - q) for p, q in zip(page.js('return lastMove;'), (int(x), int(y)))) < 2), \
        'the page did not hear the mouse move beside the game'
    log('back pressed on the page beside the game, during the dive')
    b.pointer([down(BACK), up(BACK)])
    assert wait_until(10, lambda: b.js('return location.pathname;') == '/before.html'), \
        'the back button beside the game did not go back: the tab shows %s' % b.js('return location.href;')


def test_back_leaves_in_one_press_after_dives_and_reloads(browser, site, facts):
    """A dive stands on one history entry of its own and gives it back: after
    dives reloaded midway and a dive played to its end, the tab's history is
    no longer than with one dive, going forward onto the entry given back
    does not keep it, and one Back leaves the game."""
    site.without_worker()
    site.server.routes = {'/before.html': (b'<!doctype html><title>before</title><p>before', 'text/html')}
    browser.open(site.url + 'before.html')
    page = Page(browser, site.at(), facts)

    def on_title(fresh):
        try:
            return (not fresh or browser.js('return window.sameDocument !== true;')) and page.title_screen()
        except Exception:  # noqa: BLE001 - the driver's own, while the page is on its way
            return False

    assert wait_until(30, lambda: on_title(False)), 'no title screen: "%s"' % page.status()
    length = browser.js('return history.length;')
    for reload in range(2):
        page.start_dive()
        browser.js('window.sameDocument = true; setTimeout(function () { location.reload(); }, 0);')
        assert wait_until(30, lambda: on_title(True)), 'no title screen after reload %d' % (reload + 1)
        log('dive %d reloaded: history.length %d (%d before the first dive)'
            % (reload + 1, browser.js('return history.length;'), length))
    page.start_dive()
    assert wait_until(60, lambda: page.last_step()['phase'] == facts.phases['gameOver'], step=0.2), 'no GAME OVER'
    assert wait_until(10, lambda: browser.js('return !(history.state && history.state.torvenkaDive);')), \
        'the dive kept its history entry past its end'
    grown = browser.js('return history.length;')
    assert grown <= length + 1, 'after three dives the tab\'s history grew from %d to %d entries' % (length, grown)
    # Forward onto the entry the dive gave back: the page goes back off it.
    browser.js("window.pops = 0; addEventListener('popstate', function () { pops++; }); history.forward();")
    assert wait_until(10, lambda: browser.js('return pops >= 2 && !(history.state && history.state.torvenkaDive);')), \
        'going forward after the dive left the page on the dive\'s entry'
    browser.back()
    assert wait_until(20, lambda: browser.js('return location.pathname;') == '/before.html'), \
        'one Back did not leave the game: the tab shows %s' % browser.js('return location.href;')
    log('after three dives history.length %d (%d before them); one Back left the game' % (grown, length))
