#!/usr/bin/python3
"""Figures for the game's page in Chromium, each beside those of a minimal
page (minimal.html: a 194 x 215 picture put on a canvas 32 times a second)
measured in the same run. Not a test: it prints figures.

    webbench.py SITE_FOLDER [--runs N] [--seconds S]

The game's page measured is the test build of the page (the site's files,
with torvenka.js and torvenka.wasm from the Emscripten build's page-watched/,
or $TORVENKA_WATCHED_PAGE), whose watcher keeps the times of the steps and of
the first frame in window.torvenkaWatch; the page that ships has no watcher.

For each run and each page, in a fresh headless Chromium (its own profile,
so nothing is cached) driven through chromedriver:
  - navigation to first frame: the page's own clock (performance.now(), 0
    at the navigation) when its first frame was put on the canvas;
  - processor use over S seconds (20) of dive: user + system time from /proc
    of every process under chromedriver (the browser, its renderers, GPU and
    utility processes), over wall time; and of the page's main thread, the
    main thread of the renderer (not Chromium's own WebUI) that worked most
    meanwhile, and Chromium's figure split by kind of process. The game's
    dive is started by a click on the title word and kept alive by a
    vertical right-button swipe every 4 s (a tank), as scripts/bench does on
    the desktop; the minimal page just runs its loop;
  - the cadence of the dive's steps (the minimal page: of its frames) over
    that window: mean, median and 99th percentile of the intervals;
and once, the site's files with their sizes as stored and gzipped (-9), as a
web server that compresses would send them.
"""
import gzip
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PROJECT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(PROJECT, 'tests', 'web'))

from web_browsers import ChromiumBrowser  # noqa: E402
from web_page import Page, served, wait_until, watched_page  # noqa: E402

CLK_TCK = os.sysconf('SC_CLK_TCK')
DIVE = 'dive'


def say(*words):
    print('     ' + ' '.join(str(w) for w in words), flush=True)


# --- processes and threads -------------------------------------------------

def stat_fields(path):
    """The fields of a /proc stat file after the command name (field 3 on)."""
    with open(path) as f:
        text = f.read()
    return text[text.rfind(')') + 2:].split()


def ticks(path):
    rest = stat_fields(path)
    return int(rest[11]) + int(rest[12])  # utime + stime


def tree(root):
    """The process ids under `root` (not root itself)."""
    children = {}
    for name in os.listdir('/proc'):
        if name.isdigit():
            try:
                ppid = int(stat_fields('/proc/%s/stat' % name)[1])
            except (OSError, IndexError, ValueError):
                continue
            children.setdefault(ppid, []).append(int(name))
    found, todo = [], [root]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def main_threads(pid):
    """{(pid, tid): ticks} of the main thread of `pid` if it is a renderer
    that shows a page (not the browser's own WebUI). Chromium names that
    thread "CrRendererMain" on some builds; Debian's leaves it the process's
    first thread (its id is the process id), named like the process."""
    try:
        # Chromium rewrites its children's command lines: one string, the
        # arguments parted by spaces.
        with open('/proc/%d/cmdline' % pid, 'rb') as f:
            args = f.read().replace(b'\0', b' ').split()
        if b'--type=renderer' not in args or b'--top-chrome-webui' in args or b'--extension-process' in args:
            return {}
        main = pid
        for tid in os.listdir('/proc/%d/task' % pid):
            with open('/proc/%d/task/%s/comm' % (pid, tid)) as f:
                if f.read().strip() == 'CrRendererMain':
                    main = int(tid)
        return {(pid, main): ticks('/proc/%d/task/%d/stat' % (pid, main))}
    except OSError:
        return {}


def process_kind(pid):
    """What a Chromium process is for: browser, renderer, gpu-process, or a
    utility's service (audio.mojom.AudioService and the like)."""
    try:
        with open('/proc/%d/cmdline' % pid, 'rb') as f:
            args = f.read().replace(b'\0', b' ').decode(errors='replace').split()
    except OSError:
        return '?'
    kind = next((a.split('=', 1)[1] for a in args if a.startswith('--type=')), 'browser')
    if kind == 'utility':
        kind = next((a.split('=', 1)[1].split('.')[0] for a in args if a.startswith('--utility-sub-type=')), kind)
    return kind


def snapshot(root):
    procs, threads = {}, {}
    for pid in tree(root):
        try:
            procs[pid] = ticks('/proc/%d/stat' % pid)
        except OSError:
            continue
        threads.update(main_threads(pid))
    return procs, threads


class Window:
    """Processor use of Chromium between start() and stop(), in %."""

    def __init__(self, root):
        self.root = root

    def start(self):
        self.t0 = time.monotonic()
        self.procs0, self.threads0 = snapshot(self.root)

    def stop(self):
        procs1, threads1 = snapshot(self.root)
        wall = time.monotonic() - self.t0
        # A process that came and went within the window is not counted; one
        # that came is counted from its start.
        used = sum(t - self.procs0.get(pid, 0) for pid, t in procs1.items())
        self.kinds = {}
        for pid, t in procs1.items():
            k = process_kind(pid)
            self.kinds[k] = self.kinds.get(k, 0) + 100.0 * (t - self.procs0.get(pid, 0)) / CLK_TCK / wall
        main = max((t - self.threads0.get(key, 0) for key, t in threads1.items()), default=0)
        self.all_cpu = 100.0 * used / CLK_TCK / wall
        self.main_cpu = 100.0 * main / CLK_TCK / wall
        self.processes = len(procs1)
        self.wall = wall


# --- the pages -------------------------------------------------------------

def cadence(steps, t0, t1):
    times = [s['t'] for s in steps if s['phase'] == DIVE and t0 <= s['t'] <= t1]
    gaps = sorted(b - a for a, b in zip(times, times[1:]))
    if not gaps:
        return None
    return {'mean': statistics.fmean(gaps), 'median': statistics.median(gaps),
            'p99': gaps[int(0.99 * (len(gaps) - 1))], 'max': gaps[-1], 'steps': len(gaps)}


def measure(url, seconds, game):
    browser = ChromiumBrowser()
    try:
        page = Page(browser, url)
        if not wait_until(20, lambda: page.js('return !!(window.torvenkaWatch && '
                                              'window.torvenkaWatch.firstFrame !== undefined);'), step=0.05):
            raise SystemExit('webbench: no frame on %s: "%s"' % (url, page.js(
                "var s = document.getElementById('status'); return s ? s.textContent : '';")))
        first = page.js('return window.torvenkaWatch.firstFrame;')
        time.sleep(1)
        if game:
            page.move(90, 100)
            page.click(90, 100)
            page.move(5, 5)
            if not wait_until(10, lambda: page.js('var s = window.torvenkaWatch.steps;'
                                                  'return s.length > 0 && s[s.length - 1].phase === "%s";' % DIVE)):
                raise SystemExit('webbench: the click on the title did not start a dive')
            time.sleep(0.5)
        window = Window(browser.d.service.process.pid)
        page_t0 = page.js('return performance.now();')
        window.start()
        next_tank = time.monotonic() + 4
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if game and time.monotonic() >= next_tank:
                page.swipe(100, 170, 100, 130)  # a tank: the diver breathes on
                next_tank += 4
            time.sleep(0.05)
        window.stop()
        page_t1 = page.js('return performance.now();')
        steps = page.steps()
        c = cadence(steps, page_t0, page_t1)
        if c is None:
            raise SystemExit('webbench: no dive steps in the measured window')
        if game and steps[-1]['phase'] != DIVE:
            say('(the dive ended within the window: the figures cover less than a whole dive)')
        return {'first': first, 'all': window.all_cpu, 'main': window.main_cpu,
                'processes': window.processes, 'kinds': window.kinds, **c}
    finally:
        browser.quit()


# --- the site's size -------------------------------------------------------

def kind(name):
    ext = os.path.splitext(name)[1]
    return {'.wasm': 'wasm', '.js': 'script', '.html': 'html', '.ogg': 'sounds', '.wav': 'sounds'}.get(ext, 'other')


def site_sizes(folder):
    rows = []
    for base, _, files in os.walk(folder):
        for name in sorted(files):
            path = os.path.join(base, name)
            with open(path, 'rb') as f:
                data = f.read()
            rows.append((os.path.relpath(path, folder), kind(name), len(data), len(gzip.compress(data, 9, mtime=0))))
    return sorted(rows, key=lambda r: (('wasm', 'script', 'html', 'sounds', 'other').index(r[1]), r[0]))


def kb(n):
    return '%.1f kB' % (n / 1000)


def print_sizes(rows):
    print('The site: its files as stored, and gzipped (-9) as a compressing web server sends them')
    for path, _, size, packed in rows:
        print('  %-28s %12s %12s' % (path, kb(size), kb(packed)))
    for k in ('wasm', 'script', 'html', 'sounds', 'other'):
        part = [r for r in rows if r[1] == k]
        if part:
            print('  %-28s %12s %12s' % ('all ' + k, kb(sum(r[2] for r in part)), kb(sum(r[3] for r in part))))
    print('  %-28s %12s %12s' % ('the whole site', kb(sum(r[2] for r in rows)), kb(sum(r[3] for r in rows))))


# --- the run ---------------------------------------------------------------

def main(argv):
    args = list(argv)
    runs, seconds = 1, 20
    folder = None
    while args:
        a = args.pop(0)
        if a == '--runs':
            runs = int(args.pop(0))
        elif a == '--seconds':
            seconds = float(args.pop(0))
        elif folder is None:
            folder = a
        else:
            raise SystemExit(__doc__)
    if not folder or not os.path.isfile(os.path.join(folder, 'index.html')):
        raise SystemExit('webbench: no site folder with an index.html given\n' + __doc__)

    results = {'game': [], 'minimal': []}
    folder = os.path.abspath(folder)
    with served(folder, watched_page(folder)) as game, served(HERE) as minimal:
        pages = {'game': game.url, 'minimal': minimal.url + 'minimal.html'}
        for run in range(runs):
            # The order changes from run to run, so neither page always runs
            # on a browser that has just been started beside a closing one.
            for name in (('minimal', 'game') if run % 2 == 0 else ('game', 'minimal')):
                say('run %d/%d, %s page, %g s%s...' % (run + 1, runs, name, seconds,
                                                       ' of dive' if name == 'game' else ''))
                r = measure(pages[name], seconds, name == 'game')
                say('  first frame %.0f ms, Chromium %.1f %%, main thread %.1f %%, steps %.3f/%.3f/%.3f ms'
                    % (r['first'], r['all'], r['main'], r['mean'], r['median'], r['p99']))
                results[name].append(r)

    def med(name, key):
        return statistics.median(r[key] for r in results[name])

    g, m = results['game'], results['minimal']
    print()
    print('The page in Chromium %s, %s, %d run%s%s (%d cores, %s)' % (
        chromium_version(), time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime()), runs, 's' if runs > 1 else '',
        ', medians' if runs > 1 else '', os.cpu_count(), os.uname().release))
    print('                                          game page    minimal page   game/minimal')
    rows = [('navigation to first frame (ms)', 'first', '%.0f', False),
            ('Chromium, all processes (%% of a core)', 'all', '%.1f', True),
            ('the page\'s main thread (%% of a core)', 'main', '%.1f', True),
            ('dive steps, mean (ms)', 'mean', '%.3f', False),
            ('dive steps, median (ms)', 'median', '%.3f', False),
            ('dive steps, 99th percentile (ms)', 'p99', '%.3f', False),
            ('dive steps, slowest (ms)', 'max', '%.3f', False),
            ('intervals measured', 'steps', '%d', False)]
    for label, key, fmt, ratio in rows:
        a, b = med('game', key), med('minimal', key)
        line = '  %-40s %-12s %-14s' % (label.replace('%%', '%'), fmt % a, fmt % b)
        if ratio:
            r = a / b if b > 0 else float('inf')
            line += ' %.2f (target <= 1.5: %s)' % (r, 'met' if r <= 1.5 else 'NOT met')
        print(line)
    kinds = sorted({k for r in g + m for k in r['kinds']})
    print('  Chromium by process (%% of a core): %s' % '; '.join(
        '%s %.1f / %.1f' % (k, statistics.median(r['kinds'].get(k, 0) for r in g),
                            statistics.median(r['kinds'].get(k, 0) for r in m)) for k in kinds))
    if runs > 1:
        for name, rs in (('game', g), ('minimal', m)):
            print('  runs, %-8s Chromium %s %%; main thread %s %%; first frame %s ms' % (
                name, ' '.join('%.1f' % r['all'] for r in rs), ' '.join('%.1f' % r['main'] for r in rs),
                ' '.join('%.0f' % r['first'] for r in rs)))
    print()
    print_sizes(site_sizes(folder))


def chromium_version():
    try:
        out = subprocess.run([os.environ.get('CHROMIUM', '/usr/bin/chromium'), '--version'],
                             capture_output=True, text=True, timeout=20).stdout.split()
        return next((w for w in out if w[:1].isdigit()), '?')
    except (OSError, subprocess.SubprocessError):
        return '?'


if __name__ == '__main__':
    main(sys.argv[1:])
