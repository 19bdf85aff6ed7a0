#!/usr/bin/python3
"""Figures for the game's page in Chromium, Firefox and WebKit, each beside
those of a minimal page (minimal.html: a 194 x 215 picture put on a canvas
as often as the dive steps, the step taken from the game's facts) measured
in the same engine and the same run; and once more in Chromium emulating a
phone, played with touches. Not a test: it prints figures.

    webbench.py SITE_FOLDER [--runs N] [--seconds S] [--engines LIST]

LIST: some of chromium, firefox, webkit and touch (Chromium as a 390 x 844
phone at 3 device pixels a CSS pixel, driven by touch events), parted by
commas; all four by default. An engine that is not installed is left out,
and said so in one line.

The game's page measured is the test build of the page (the site's files,
with torvenka.js and torvenka.wasm from the Emscripten build's page-watched/,
or $TORVENKA_WATCHED_PAGE, and a service worker that lists those), whose
watcher keeps the times of the steps and of the first frame in
window.torvenkaWatch; the page that ships has no watcher.

For each run, each engine and each page, in a fresh browser of that engine
(its own profile, so nothing is cached) driven through the browser tests'
drivers (python/web_browsers.py):
  - navigation to first frame: the page's own clock (performance.now(), 0
    at the navigation) when its first frame was put on the canvas;
  - processor use over S seconds (20) of dive: user + system time (read
    with psutil) of the engine's processes (Chromium: everything under chromedriver;
    Firefox: the browser and everything under it; WebKit: everything under
    WebKitWebDriver), over wall time; of the page's content process (the
    one of its kind that worked most meanwhile: Chromium's renderer, not its
    WebUI; Firefox's web content process; WebKit's WebKitWebProcess) and of
    that process's main thread; split by kind of process; and, apart, the
    sound server and the X server the tests start for Firefox and WebKit.
    The game's dive is started by a click on the title word and kept alive
    by a vertical right-button swipe every 4 s (a tank), as scripts/bench
    does on the desktop, with horizontal ones over the open sea between
    them (without the spear they do nothing), so that the pointer acts every
    second as a player's does; on the phone, by a tap, and one-finger drags
    as long as a player's (about 150 ms) 30 game pixels up and across. The
    minimal page just runs its loop;
  - the cadence of the dive's steps (the minimal page: of its frames) over
    that window: mean, median, 99th percentile and slowest of the intervals;
  - the loop's bridging: the messages it posts itself a step, and the time
    they take a step (from the first message of each run of them to the
    last);
and once, the site's files with their sizes as stored and gzipped (-9), as a
web server that compresses would send them.
"""
import argparse
import gzip
import os
import statistics
import sys
import tempfile
import time

import psutil

HERE = os.path.dirname(os.path.abspath(__file__))
# The page in a browser, shared with the browser tests: python/, the one
# folder of the project's shared Python.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(HERE)), 'python'))

import web_browsers  # noqa: E402
from game_page import (Facts, Finger, Mouse, Page, SiteServer, as_phone, copy_playing_the_test_build,  # noqa: E402
                       keep_worker_list, wait_until)

CASES = ('chromium', 'firefox', 'webkit', 'touch')
NAMES = {'chromium': 'Chromium', 'firefox': 'Firefox', 'webkit': 'WebKit',
         'touch': 'Chromium as a phone, touch play'}


# Put in front of the game page's scripts (in the bench's copy of the site,
# whose service worker then lists it): counts the messages the page posts
# to itself, and the time between the first and the last of each run of
# them. The game's loop bridges what is left before each step when its
# timer comes back early with such messages (src/web/wake_aim.h says where
# the timer is aimed), a few microseconds apart, so that time is what the
# page spent bridging; runs are a step (31 ms) apart. The count costs a
# function call and a clock reading a message.
COUNT_POSTS = '''(function () {
  var post = MessagePort.prototype.postMessage;
  var last = -Infinity;
  window.torvenkaBenchPosts = 0;
  window.torvenkaBenchBridged = 0;
  MessagePort.prototype.postMessage = function () {
    var now = performance.now();
    if (now - last < 2) window.torvenkaBenchBridged += now - last;
    last = now;
    window.torvenkaBenchPosts++;
    return post.apply(this, arguments);
  };
})();
'''


def count_posts(site):
    with open(os.path.join(site, 'bench-posts.js'), 'w') as f:
        f.write(COUNT_POSTS)
    index = os.path.join(site, 'index.html')
    with open(index) as f:
        html = f.read()
    at = html.find('<script')
    if at < 0:
        raise BenchError('the site\'s index.html has no <script>')
    with open(index, 'w') as f:
        f.write(html[:at] + '<script src="bench-posts.js"></script>\n' + html[at:])
    keep_worker_list(site)


class BenchError(Exception):
    pass


def say(*words):
    print('     ' + ' '.join(str(w) for w in words), flush=True)


def engine_of(case):
    return 'chromium' if case == 'touch' else case


def missing(case):
    """Why `case` cannot be measured here (the packages it lacks), or None."""
    return ', '.join(web_browsers.missing(engine_of(case))) or None


# --- processes and threads -------------------------------------------------

def chromium_kind(proc):
    """browser, renderer, webui, gpu-process, or a utility's service
    (audio.mojom.AudioService and the like: audio)."""
    # Chromium rewrites its children's command lines: one string, the
    # arguments parted by spaces.
    args = ' '.join(proc.cmdline()).split()
    kind = next((a.split('=', 1)[1] for a in args if a.startswith('--type=')), 'browser')
    if kind == 'renderer' and ('--top-chrome-webui' in args or '--extension-process' in args):
        kind = 'webui'
    if kind == 'utility':
        kind = next((a.split('=', 1)[1].split('.')[0] for a in args if a.startswith('--utility-sub-type=')), kind)
    return kind


def firefox_kind(proc):
    """browser, or what the child process calls itself (Web Content, RDD
    Process, Socket Process, forkserver...)."""
    if '-contentproc' not in proc.cmdline():
        return 'browser'
    name = proc.name()
    return 'content' if name in ('Web Content', 'Isolated Web Co') else name


def webkit_kind(proc):
    """MiniBrowser (the UI process), WebKitWebProcess, WebKitNetworkProcess..."""
    name = os.path.basename(proc.cmdline()[0])
    return 'content' if name == 'WebKitWebProcess' else name


KIND = {'chromium': chromium_kind, 'firefox': firefox_kind, 'webkit': webkit_kind}
CONTENT = {'chromium': 'renderer', 'firefox': 'content', 'webkit': 'content'}


def cpu_seconds(proc):
    t = proc.cpu_times()
    return t.user + t.system


def main_thread_seconds(proc):
    """Processor time of a process's main thread: its first thread, whose id
    is the process's (Chromium's renderer names it CrRendererMain)."""
    for t in proc.threads():
        if t.id == proc.pid:
            return t.user_time + t.system_time
    return None


def snapshot(engine, procs):
    """{pid: (kind, seconds, main thread's seconds or None)}."""
    out = {}
    for proc in procs:
        try:
            kind = KIND[engine](proc)
            main = main_thread_seconds(proc) if kind == CONTENT[engine] else None
            out[proc.pid] = (kind, cpu_seconds(proc), main)
        except (psutil.Error, IndexError):
            continue
    return out


def helper_seconds(procs):
    t = {}
    for name, proc in procs.items():
        try:
            t[name] = cpu_seconds(proc)
        except psutil.Error:
            pass
    return t


class Window:
    """Processor use of a browser between start() and stop(), in % of a core:
    all its processes, the page's content process and its main thread, by
    kind of process, and of the servers beside it (helpers: {name: process id})."""

    def __init__(self, engine, root, own_root, helpers):
        self.engine = engine
        self.root = psutil.Process(root)
        self.own_root = own_root  # the root is the browser itself, not its driver
        self.helpers = {}
        for name, pid in helpers.items():
            try:
                self.helpers[name] = psutil.Process(pid)
            except psutil.Error:
                pass

    def procs(self):
        return ([self.root] if self.own_root else []) + self.root.children(recursive=True)

    def start(self):
        self.t0 = time.monotonic()
        self.procs0 = snapshot(self.engine, self.procs())
        self.helpers0 = helper_seconds(self.helpers)

    def stop(self):
        procs1 = snapshot(self.engine, self.procs())
        helpers1 = helper_seconds(self.helpers)
        wall = time.monotonic() - self.t0

        def pct(seconds):
            return 100.0 * seconds / wall

        # A process that came and went within the window is not counted; one
        # that came is counted from its start.
        self.kinds = {}
        content = (0, 0)
        for pid, (kind, t, main) in procs1.items():
            k0, t0, main0 = self.procs0.get(pid, (kind, 0, 0))
            self.kinds[kind] = self.kinds.get(kind, 0) + pct(t - t0)
            if main is not None:
                content = max(content, (t - t0, main - (main0 or 0)))
        self.all_cpu = sum(self.kinds.values())
        self.content_cpu, self.main_cpu = pct(content[0]), pct(content[1])
        self.helpers_cpu = {k: pct(t - self.helpers0.get(k, t)) for k, t in helpers1.items()}
        self.processes = len(procs1)
        self.wall = wall


# --- playing ---------------------------------------------------------------

def cadence(times):
    gaps = sorted(b - a for a, b in zip(times, times[1:]))
    if not gaps:
        return None
    return {'mean': statistics.fmean(gaps), 'median': statistics.median(gaps),
            'p99': gaps[int(0.99 * (len(gaps) - 1))], 'max': gaps[-1], 'steps': len(gaps)}


def measure(case, url, seconds, game, facts):
    engine = engine_of(case)
    dive = facts.phases['dive']  # the phase of a dive's steps, as the watchers name it
    browser = web_browsers.start(engine)
    try:
        if case == 'touch':
            as_phone(browser, True)
        page = Page(browser, url, facts)
        if not wait_until(30, page.started, step=0.05):
            raise BenchError('no frame on %s: "%s"' % (url, page.status()))
        first = page.js('return window.torvenkaWatch.firstFrame;')
        if game:
            # On a first visit the page's service worker fetches and checks
            # the whole site (3.5 MB) to keep it for offline play: a one-off
            # cost that is not the dive's, so the window starts after it.
            if not wait_until(30, lambda: page.worker_in_charge() is not False, step=0.1):
                say('(the service worker did not take the page within 30 s)')
        time.sleep(1)
        player = Finger(page) if case == 'touch' else Mouse(page)
        if game:
            player.start()
            time.sleep(0.5)
        if engine == 'firefox':
            root, own_root = browser.proc.pid, True
        else:
            root, own_root = browser.d.service.process.pid, False
        helpers = {}
        if getattr(browser, 'sound', None) is not None and browser.sound.proc is not None:
            helpers['sound server'] = browser.sound.proc.pid
        if getattr(browser, 'xvfb', None) is not None:
            helpers['X server'] = browser.xvfb.x_pid
        window = Window(engine, root, own_root, helpers)
        counts = 'return [performance.now(), window.torvenkaBenchPosts || 0, window.torvenkaBenchBridged || 0];'
        page_t0, posts0, bridged0 = page.js(counts)
        window.start()
        next_act, acts = time.monotonic() + 1, 0
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if game and time.monotonic() >= next_act:
                acts += 1
                if acts % 4 == 0:
                    player.tank()  # the diver breathes on
                else:
                    player.across()
                next_act += 1
            time.sleep(0.05)
        window.stop()
        page_t1, posts1, bridged1 = page.js(counts)
        # The steps' times, and how the dive went meanwhile (the game page's
        # cost follows what is on the screen and what sounds).
        times, last, course = page.js(
            'var w = window.torvenkaWatch, s = w.steps, t = [], a = null, b = null, low = Infinity, foe = 0;'
            'for (var i = 0; i < s.length; i++) {'
            '  if (s[i].phase !== "%s" || s[i].t < arguments[0] || s[i].t > arguments[1]) continue;'
            '  t.push(s[i].t); a = a || s[i]; b = s[i];'
            '  if (s[i].oxygen !== undefined) { low = Math.min(low, s[i].oxygen); if (s[i].enemy) foe++; }'
            '}'
            'return [t, s.length ? s[s.length - 1].phase : "", a && a.life !== undefined ?'
            '  {life: [a.life, b.life], tanks: [a.tanks, b.tanks], ticks: [a.tick, b.tick], lowest: low,'
            '   foe: foe, sounds: (w.sound || []).filter(function (e) {'
            '     return e.t >= a.t && e.t <= b.t; }).length} : null];' % dive, page_t0, page_t1)
        c = cadence(times)
        if c is None:
            raise BenchError('no dive steps in the measured window')
        if game and last != dive:
            say('(the dive ended within the window: the figures cover less than a whole dive)')
        return {'first': first, 'all': window.all_cpu, 'content': window.content_cpu, 'main': window.main_cpu,
                'processes': window.processes, 'kinds': window.kinds, 'helpers': window.helpers_cpu,
                'version': browser.version, 'course': course, 'posts': posts1 - posts0,
                'bridged': bridged1 - bridged0, **c}
    finally:
        browser.quit()


# --- the site's size -------------------------------------------------------

KINDS = ('wasm', 'script', 'html', 'style', 'manifest', 'icons', 'sounds', 'other')


def kind(name):
    ext = os.path.splitext(name)[1]
    return {'.wasm': 'wasm', '.js': 'script', '.html': 'html', '.css': 'style', '.webmanifest': 'manifest',
            '.png': 'icons', '.ogg': 'sounds', '.wav': 'sounds'}.get(ext, 'other')


def site_sizes(folder):
    rows = []
    for base, _, files in os.walk(folder):
        for name in sorted(files):
            path = os.path.join(base, name)
            with open(path, 'rb') as f:
                data = f.read()
            rows.append((os.path.relpath(path, folder), kind(name), len(data), len(gzip.compress(data, 9, mtime=0))))
    return sorted(rows, key=lambda r: (KINDS.index(r[1]), r[0]))


def kb(n):
    return '%.1f kB' % (n / 1000)


def print_sizes(rows):
    print('The site: its files as stored, and gzipped (-9) as a compressing web server sends them')
    for path, _, size, packed in rows:
        print('  %-28s %12s %12s' % (path, kb(size), kb(packed)))
    for k in KINDS:
        part = [r for r in rows if r[1] == k]
        if part:
            print('  %-28s %12s %12s' % ('all ' + k, kb(sum(r[2] for r in part)), kb(sum(r[3] for r in part))))
    print('  %-28s %12s %12s' % ('the whole site', kb(sum(r[2] for r in rows)), kb(sum(r[3] for r in rows))))


# --- the figures -----------------------------------------------------------

TARGET = 1.5


def ratio(a, b):
    return a / b if b > 0 else float('inf')


def print_case(case, g, m):
    def med(rs, key):
        return statistics.median(r[key] for r in rs)

    engine = engine_of(case)
    content = {'chromium': 'renderer', 'firefox': 'content process', 'webkit': 'WebKitWebProcess'}[engine]
    print()
    print('%s %s, %d run%s%s' % (NAMES[case], g[0]['version'], len(g), 's' if len(g) > 1 else '',
                                 ', medians' if len(g) > 1 else ''))
    print('                                              game page    minimal page   game/minimal')
    rows = [('navigation to first frame (ms)', 'first', '%.0f', False),
            ('%s, all processes (%% of a core)' % NAMES[engine], 'all', '%.1f', True),
            ('the page\'s %s (%% of a core)' % content, 'content', '%.1f', True),
            ('  its main thread (%% of a core)', 'main', '%.1f', True),
            ('dive steps, mean (ms)', 'mean', '%.3f', False),
            ('dive steps, median (ms)', 'median', '%.3f', False),
            ('dive steps, 99th percentile (ms)', 'p99', '%.3f', False),
            ('dive steps, slowest (ms)', 'max', '%.3f', False),
            ('intervals measured', 'steps', '%d', False)]
    for label, key, fmt, with_ratio in rows:
        a, b = med(g, key), med(m, key)
        line = '  %-44s %-12s %-14s' % (label.replace('%%', '%'), fmt % a, fmt % b)
        if with_ratio:
            r = ratio(a, b)
            line += ' %.2f (target <= %.1f: %s)' % (r, TARGET, 'met' if r <= TARGET else 'NOT met')
        print(line)
    print('  the loop\'s bridging a step (game page): %.1f messages, %.3f ms' % (
        statistics.median(r['posts'] / max(1, r['steps']) for r in g),
        statistics.median(r['bridged'] / max(1, r['steps']) for r in g)))
    kinds = sorted({k for r in g + m for k in r['kinds']})
    print('  by process, game / minimal (%% of a core): %s' % '; '.join(
        '%s %.1f / %.1f' % (k, statistics.median(r['kinds'].get(k, 0) for r in g),
                            statistics.median(r['kinds'].get(k, 0) for r in m)) for k in kinds))
    helpers = sorted({k for r in g + m for k in r['helpers']})
    if helpers:
        print('  beside the browser, game / minimal (%% of a core): %s' % '; '.join(
            '%s %.1f / %.1f' % (k, statistics.median(r['helpers'].get(k, 0) for r in g),
                                statistics.median(r['helpers'].get(k, 0) for r in m)) for k in helpers))
    if len(g) > 1 or len(m) > 1:
        for name, rs in (('game', g), ('minimal', m)):
            print('  runs, %-8s all %s %%; content %s %%; main thread %s %%; first frame %s ms' % (
                name, ' '.join('%.1f' % r['all'] for r in rs), ' '.join('%.1f' % r['content'] for r in rs),
                ' '.join('%.1f' % r['main'] for r in rs), ' '.join('%.0f' % r['first'] for r in rs)))
    return {key: ratio(med(g, key), med(m, key)) for key in ('all', 'content', 'main')}


# --- the run ---------------------------------------------------------------

def main(argv):
    parser = argparse.ArgumentParser(prog='webbench.py', description=__doc__.split('\n\n')[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('folder', help='the built site (with the build\'s pagecheck beside it)')
    parser.add_argument('--runs', type=int, default=1, help='runs; the figures are their medians (1)')
    parser.add_argument('--seconds', type=float, default=20, help='seconds measured a page (20)')
    parser.add_argument('--engines', default=','.join(CASES),
                        help='some of %s, parted by commas (all)' % ', '.join(CASES))
    args = parser.parse_args(argv)
    runs, seconds, folder = args.runs, args.seconds, args.folder
    cases = [c.strip() for c in args.engines.split(',') if c.strip()]
    wrong = [c for c in cases if c not in CASES]
    if wrong:
        parser.error('no engine %s: some of %s' % (', '.join(wrong), ', '.join(CASES)))
    if not os.path.isfile(os.path.join(folder, 'index.html')):
        parser.error('no index.html in %s' % folder)

    lacking = [(c, missing(c)) for c in cases if missing(c)]
    if lacking:
        say('left out: %s' % '; '.join('%s (missing %s)' % (c, why) for c, why in lacking))
    cases = [c for c in cases if not missing(c)]
    if not cases:
        raise SystemExit('webbench: no engine to measure')

    results = {c: {'game': [], 'minimal': []} for c in cases}
    failures = []
    folder = os.path.abspath(folder)
    # What the bench needs to know of the game (the start click), from the
    # build's pagecheck beside the site's folder.
    facts = Facts(os.environ.get('TORVENKA_PAGECHECK') or os.path.join(os.path.dirname(folder), 'pagecheck'))
    with tempfile.TemporaryDirectory() as tmp:
        tested = copy_playing_the_test_build(folder, os.path.join(tmp, 'site'))
        count_posts(tested)
        with SiteServer(tested, no_store=True) as game, SiteServer(HERE, no_store=True) as minimal:
            # The minimal page's frames come as far apart as the dive's steps.
            pages = {'game': game.url,
                     'minimal': minimal.url + 'minimal.html?every=%d&phase=%s' % (facts.step_ms, facts.phases['dive'])}
            for run in range(runs):
                for case in cases:
                    # The order changes from run to run, so neither page always
                    # runs on a browser that has just been started beside a
                    # closing one.
                    for name in (('minimal', 'game') if run % 2 == 0 else ('game', 'minimal')):
                        say('run %d/%d, %s, %s page, %g s%s...' % (run + 1, runs, case, name, seconds,
                                                                  ' of dive' if name == 'game' else ''))
                        try:
                            r = measure(case, pages[name], seconds, name == 'game', facts)
                        except Exception as e:  # noqa: BLE001 - said, and the others go on
                            failures.append('run %d, %s, %s page: %s' % (run + 1, case, name, e))
                            say('  FAILED: %s' % e)
                            continue
                        say('  first frame %.0f ms, all %.1f %%, content %.1f %%, main thread %.1f %%, '
                            'steps %.3f/%.3f/%.3f ms' % (r['first'], r['all'], r['content'], r['main'],
                                                         r['mean'], r['median'], r['p99']))
                        k = r['course']
                        if k:
                            say('  the dive: ticks %d-%d, life %d -> %d, tanks %d -> %d, lowest oxygen %d, '
                                'a creature on screen %d steps, %d sound events' % (
                                    k['ticks'][0], k['ticks'][1], k['life'][0], k['life'][1], k['tanks'][0],
                                    k['tanks'][1], k['lowest'], k['foe'], k['sounds']))
                            say('  the loop bridged with %.1f messages a step, %.3f ms' % (
                                r['posts'] / max(1, r['steps']), r['bridged'] / max(1, r['steps'])))
                        results[case][name].append(r)

    print()
    print('The page in a browser, %s, %d run%s of %g s (%d cores, %s, load %s)' % (
        time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime()), runs, 's' if runs > 1 else '', seconds,
        os.cpu_count(), os.uname().release, ' '.join('%.2f' % x for x in os.getloadavg())))
    summary = []
    for case in cases:
        g, m = results[case]['game'], results[case]['minimal']
        if g and m:
            summary.append((case, print_case(case, g, m)))
        else:
            print()
            print('%s: no figures (%s)' % (NAMES[case], 'no run of either page' if not g and not m else
                                           'no run of the %s page' % ('game' if not g else 'minimal')))
    if summary:
        print()
        print('Game / minimal (target <= %.1f)        all processes   content process   its main thread' % TARGET)
        for case, r in summary:
            print('  %-36s %-15s %-17s %s' % (NAMES[case], '%.2f' % r['all'], '%.2f' % r['content'],
                                               '%.2f' % r['main']))
        # Touch play beside mouse play: Chromium holds the page's timers back
        # as a finger touches or leaves the screen, which the wake-up's aim
        # must not take for the timers' lateness.
        print()
        print('The loop\'s bridging a step (game page, medians): %s' % '; '.join(
            '%s %.3f ms' % (NAMES[case], statistics.median(x['bridged'] / max(1, x['steps'])
                                                           for x in results[case]['game']))
            for case, _ in summary))
    if failures:
        print()
        print('Failed measurements:')
        for f in failures:
            print('  ' + f)
    print()
    print_sizes(site_sizes(folder))


if __name__ == '__main__':
    main(sys.argv[1:])
