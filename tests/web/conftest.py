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
skipped ends with status 77 (ctest's skip). ctest registers every scenario
in each engine it runs in (cmake/web_tests.cmake).
"""
import os
import tempfile

import pytest

import web_browsers
import web_page

ENGINES_MARK = 'engines'
SKIPPED = 77


def pytest_addoption(parser):
    parser.addoption('--engine', default=os.environ.get('TORVENKA_ENGINE', 'chromium'), choices=web_browsers.ENGINES)
    parser.addoption('--site', default=os.path.join(web_page.PROJECT, 'build', 'site'))
    parser.addoption('--pagecheck', default=os.environ.get('TORVENKA_PAGECHECK'))
    parser.addoption('--page-asks', default='')
    parser.addoption('--hand-skips', default='')


def pytest_configure(config):
    config.addinivalue_line('markers', '%s(*names): the browser engines a case runs in' % ENGINES_MARK)


def pytest_collection_modifyitems(config, items):
    engine = config.getoption('--engine')
    for item in items:
        marks = [m for m in item.iter_markers(ENGINES_MARK)]
        if marks and engine not in marks[0].args:
            item.add_marker(pytest.mark.skip(reason='runs in %s only' % ', '.join(marks[0].args)))


_outcomes = []


def pytest_runtest_logreport(report):
    if report.when == 'call' or (report.when == 'setup' and report.outcome != 'passed'):
        _outcomes.append(report.outcome)


def pytest_sessionfinish(session, exitstatus):
    if exitstatus == 0 and _outcomes and all(o == 'skipped' for o in _outcomes):
        session.exitstatus = SKIPPED


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
    p = web_page.Page(browser, site.at(), facts)
    assert web_page.wait_until(30, p.title_screen), 'no title screen: the page says "%s"' % p.status()
    return p


@pytest.fixture
def hand_skips(request):
    """The wishes' ops the hand leaves undone (none, but to show that a
    test sees it)."""
    return [op for op in request.config.getoption('--hand-skips').split(',') if op]
