"""pytest's set-up of the browser scenarios (tests/web/*_test.py).

    python3 -m pytest tests/web/SCENARIO_test.py --engine ENGINE [--site FOLDER]

--engine is chromium, firefox or webkit (default $TORVENKA_ENGINE, else
chromium); --site the built site folder (default build/site); --pagecheck
the build's pagecheck tool, where the game's facts come from (default the
one beside the site's folder, or $TORVENKA_PAGECHECK). To see that the
tests catch a fault: --page-asks lag=1 opens every dive page with what the
test build is asked for in its address (a page one millisecond late every
step), --hand-skips swipe leaves the good diver's swipes undone. A scenario that runs
in some engines only says so with `pytestmark = pytest.mark.engines('chromium')`;
elsewhere each of its cases is a skip, and a run in which every case was
skipped ends with status 77 (ctest's skip). A case that holds a bound on
real time is marked `@pytest.mark.real_time` and checks it with the
`real_time` fixture: a missed bound is tried again, up to three tries, each
one's figures printed, and nothing else is ever tried again. Every case has
pytest.ini's time bound. ctest registers what `--list-ctest` prints
(cmake/web_tests.cmake): each scenario in each engine it runs in, and each
real-time case on its own, run with nothing beside it.
"""
import os
import re
import tempfile

import pytest

import web_browsers
import web_page

ENGINES_MARK = 'engines'
REAL_TIME_MARK = 'real_time'
REAL_TIME_TRIES = 3
SKIPPED = 77


def pytest_addoption(parser):
    parser.addoption('--engine', default=os.environ.get('TORVENKA_ENGINE', 'chromium'), choices=web_browsers.ENGINES)
    parser.addoption('--site', default=os.path.join(web_page.PROJECT, 'build', 'site'))
    parser.addoption('--pagecheck', default=os.environ.get('TORVENKA_PAGECHECK'))
    parser.addoption('--page-asks', default='')
    parser.addoption('--hand-skips', default='')
    parser.addoption('--list-ctest', action='store_true',
                     help='print what ctest runs, one line a scenario, engine and case; run nothing')


def pytest_configure(config):
    config.addinivalue_line('markers', '%s(*names): the browser engines a case runs in' % ENGINES_MARK)
    config.addinivalue_line('markers', '%s: the case holds a bound on real time (raises web_page.Late when it '
                                       'misses it), tried up to %d times, with nothing beside it under ctest'
                            % (REAL_TIME_MARK, REAL_TIME_TRIES))


def engines_of(item):
    """The engines a case runs in, from its closest engines mark (a list of
    names is taken as the names); all of them without one."""
    mark = item.get_closest_marker(ENGINES_MARK)
    if mark is None:
        return web_browsers.ENGINES
    names = []
    for arg in mark.args:
        names += list(arg) if isinstance(arg, (list, tuple)) else [arg]
    if not names or mark.kwargs or any(n not in web_browsers.ENGINES for n in names):
        raise pytest.UsageError('%s: engines%s: the engines mark takes some of %s' % (
            item.nodeid, mark.args + (mark.kwargs,) if mark.kwargs else mark.args, ', '.join(web_browsers.ENGINES)))
    return tuple(names)


def pytest_collection_modifyitems(config, items):
    engine = config.getoption('--engine')
    for item in items:
        engines = engines_of(item)
        if engine not in engines:
            item.add_marker(pytest.mark.skip(reason='runs in %s only' % ', '.join(engines)))
        # A missed bound on real time is tried again; nothing else ever is.
        if item.get_closest_marker('flaky') is not None:
            raise pytest.UsageError('%s: a case is tried again only for a bound on real time: mark it %s, not flaky'
                                    % (item.nodeid, REAL_TIME_MARK))
        if item.get_closest_marker(REAL_TIME_MARK) is not None:
            item.add_marker(pytest.mark.flaky(reruns=REAL_TIME_TRIES - 1))


@pytest.hookimpl(tryfirst=True)
def pytest_runtestloop(session):
    """--list-ctest: the tests ctest makes of the scenarios (cmake/web_tests.cmake),
    one a line, their fields parted by tabs: the test's name, the engine,
    `real_time` or `beside`, and pytest's arguments that pick its cases.
    Each scenario is web.<engine>.<scenario> in each engine it has a case
    for, and each case marked real_time is a test of its own,
    web.<engine>.<scenario>.<case>, which ctest runs with nothing beside
    it. Nothing runs."""
    if not session.config.getoption('--list-ctest'):
        return None
    files, tests = {}, {}
    for item in session.items:
        path = str(item.path)
        scenario = os.path.basename(path)[:-len('_test.py')]
        if files.setdefault(scenario, path) != path:
            raise pytest.UsageError('two browser scenarios are named %s: %s and %s (ctest names them '
                                    'web.<engine>.<scenario>)' % (scenario, files[scenario], path))
        for engine in engines_of(item):
            if item.get_closest_marker(REAL_TIME_MARK):
                case = re.sub(r'\W+', '_', item.name[len('test_'):]).strip('_')
                tests['web.%s.%s.%s' % (engine, scenario, case)] = (engine, REAL_TIME_MARK, path + '::' + item.name)
            else:
                tests['web.%s.%s' % (engine, scenario)] = (engine, 'beside', path, '-m', 'not ' + REAL_TIME_MARK)
    for name, fields in sorted(tests.items()):
        print('\t'.join((name,) + fields))
    return True


_outcomes = []


def pytest_runtest_logreport(report):
    if report.when == 'call' or (report.when == 'setup' and report.outcome != 'passed'):
        _outcomes.append(report.outcome)


def pytest_sessionfinish(session, exitstatus):
    if exitstatus == 0 and _outcomes and all(o == 'skipped' for o in _outcomes):
        session.exitstatus = SKIPPED


@pytest.fixture
def real_time(request):
    """A bound on real time: real_time(what, met, figures) prints this
    try's figures and, when the bound was not met, ends the try with
    web_page.Late, which alone is tried again (the real_time mark)."""
    if request.node.get_closest_marker(REAL_TIME_MARK) is None:
        raise AssertionError('%s holds a bound on real time without the %s mark' % (request.node.name, REAL_TIME_MARK))

    def check(what, met, figures):
        tried = getattr(request.node, 'execution_count', 1)  # pytest-rerunfailures counts the tries
        web_page.log('%s, try %d of %d%s: %s' % (what, tried, REAL_TIME_TRIES, '' if met else ' LATE', figures))
        if not met:
            raise web_page.Late(figures)
    return check


@pytest.fixture(scope='session')
def engine(request):
    return request.config.getoption('--engine')


@pytest.fixture(scope='session')
def site_folder(request):
    folder = os.path.abspath(request.config.getoption('--site'))
    assert os.path.isfile(os.path.join(folder, 'index.html')), 'no site in %s (cmake --build build --target site)' % folder
    return folder


@pytest.fixture(scope='session')
def facts(request, site_folder):
    tool = request.config.getoption('--pagecheck') or os.path.join(os.path.dirname(site_folder), 'pagecheck')
    return web_page.Facts(tool)


class Site:
    """The site under test: `url`, its copy that plays the test build of the
    page (no service worker, whose offline copy would carry what one case
    did into the next), served by `server`; `shipped`, the site as it ships;
    `folder`, the built site."""

    def __init__(self, folder, tmp, asks=''):
        self.folder = folder
        self.asks = asks
        self.tested = web_page.copy_playing_the_test_build(folder, os.path.join(tmp, 'site'))
        self.server = web_page.SiteServer(self.tested, no_store=True)
        self.shipped_server = web_page.SiteServer(folder, no_store=True)
        self.url, self.shipped = self.server.url, self.shipped_server.url

    def at(self, query=''):
        """The test build's address, asked for `query` (and what the run
        asks every page for)."""
        parts = [q for q in (query, self.asks) if q]
        return self.url + ('?' + '&'.join(parts) if parts else '')

    def without_worker(self):
        self.server.reset()
        self.server.blocked = {'/sw.js'}

    def close(self):
        self.server.stop()
        self.shipped_server.stop()


@pytest.fixture(scope='session')
def site(request, site_folder):
    with tempfile.TemporaryDirectory() as tmp:
        s = Site(site_folder, tmp, request.config.getoption('--page-asks'))
        s.without_worker()
        s.shipped_server.blocked = {'/sw.js'}
        try:
            yield s
        finally:
            s.close()


@pytest.fixture(scope='module')
def browser(engine):
    """One fresh browser of the engine for a scenario's cases."""
    b = web_browsers.start(engine)
    web_page.log('%s %s is up' % (engine, b.version))
    sound = getattr(b, 'sound', None)
    if sound is not None and sound.why:
        web_page.log('NOTE: %s' % sound.why)
    try:
        yield b
    finally:
        b.quit()


@pytest.fixture
def page(browser, site, facts):
    """The test build of the page, freshly opened, on its title screen."""
    site.without_worker()
    return web_page.Page(browser, site.at(), facts).wait_for_title()


@pytest.fixture
def hand_skips(request):
    """The wishes' ops the hand leaves undone (none, but to show that a
    test sees it)."""
    return [op for op in request.config.getoption('--hand-skips').split(',') if op]
