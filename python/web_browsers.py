"""The three browsers of the browser tests, behind one interface.

    chromium  Debian's Chromium, headless, through chromedriver (selenium)
    firefox   Debian's Firefox ESR, headless, through WebDriver BiDi: a small
              client here, over Debian's python3-websocket; for the mouse's
              real back and forward buttons, with a window on an X server
              and the X server's pointer (FirefoxOnX)
    webkit    WebKitGTK's MiniBrowser through WebKitWebDriver (selenium),
              on the X server of $DISPLAY, or on a private one (tests/with_x)

Every browser offers the same calls: open(url), back(), js(body, *args) (a
function body: `return` what you want, the arguments as arguments[i]),
js_async(body, *args) (the last argument is the callback to call with the
result), title(), screenshot_png(), pointer(items) (real pointer input: a
list of move/down/up items, page coordinates in CSS pixels), new_tab(),
switch_to(tab), close_tab(), tab(), hide_page(seconds),
set_device_pixel_ratio(r) and quit().
"""

import base64
import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time

ENGINES = ('chromium', 'firefox', 'webkit')
LEFT, MIDDLE, RIGHT = 0, 1, 2
BACK, FORWARD = 3, 4  # the mouse's side buttons

# What each engine needs, the one list of it: the build asks which engines
# are ready (`web_browsers.py ready`), scripts/deps.sh which Debian packages
# to install (`web_browsers.py packages`), the bench which engine it leaves
# out and why. A program is (environment variable that may name it, the
# names or paths to look for, the package that brings it).
MINIBROWSER_PLACES = ('/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
                      '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.0/MiniBrowser',
                      '/usr/lib/aarch64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
                      '/usr/lib/x86_64-linux-gnu/webkitgtk-6.0/MiniBrowser')
PULSEAUDIO = (None, ('pulseaudio',), 'pulseaudio')  # Firefox and WebKit play only on a sound device
NEEDS = {
    'chromium': {'programs': [('CHROMIUM', ('chromium', 'chromium-browser'), 'chromium'),
                              ('CHROMEDRIVER', ('chromedriver',), 'chromium-driver')],
                 'modules': [('selenium', 'python3-selenium')]},
    # Firefox's side buttons are pressed by the X server's pointer (FirefoxOnX).
    'firefox': {'programs': [('FIREFOX', ('firefox-esr', 'firefox'), 'firefox-esr'), PULSEAUDIO,
                             (None, ('Xvfb',), 'xvfb'), (None, ('xdotool',), 'xdotool')],
                'modules': [('websocket', 'python3-websocket')]},
    'webkit': {'programs': [('WEBKITWEBDRIVER', ('WebKitWebDriver',), 'webkit2gtk-driver'),
                            ('MINIBROWSER', MINIBROWSER_PLACES, 'webkit2gtk-driver'),
                            (None, ('Xvfb',), 'xvfb'), (None, ('xdotool',), 'xdotool'), PULSEAUDIO],
               'modules': [('selenium', 'python3-selenium')]},
}
# What every scenario needs, whatever the engine: pytest, with its plugins
# that bound each case's time and try a bound on real time again (pytest.ini).
COMMON_MODULES = [('pytest', 'python3-pytest'), ('pytest_timeout', 'python3-pytest-timeout'),
                  ('pytest_rerunfailures', 'python3-pytest-rerunfailures'), ('PIL', 'python3-pil')]


def program(variable, names):
    """The path of a program named by `variable` in the environment or found
    under one of `names` (a name on the PATH or a path), or None."""
    given = os.environ.get(variable) if variable else None
    for name in ([given] if given else names):
        found = shutil.which(name) if os.sep not in name else (name if os.access(name, os.X_OK) else None)
        if found:
            return found
    return None


def _has_module(name):
    import importlib.util
    return importlib.util.find_spec(name) is not None


def missing(engine):
    """What this machine lacks to run `engine`, as Debian packages to
    install (empty when it is ready)."""
    needs = NEEDS[engine]
    lacks = [package for variable, names, package in needs['programs'] if not program(variable, names)]
    lacks += [package for module, package in needs['modules'] + COMMON_MODULES if not _has_module(module)]
    return sorted(set(lacks))


def packages():
    """Every Debian package the browser tests need, in every engine."""
    out = {package for needs in NEEDS.values() for _, _, package in needs['programs']}
    out |= {package for needs in NEEDS.values() for _, package in needs['modules']}
    return sorted(out | {package for _, package in COMMON_MODULES})


class BrowserError(Exception):
    pass


# Pointer actions, the same shape in WebDriver classic and BiDi.
def move(x, y):
    return {'type': 'pointerMove', 'x': int(x), 'y': int(y), 'duration': 0}


def down(button=LEFT):
    return {'type': 'pointerDown', 'button': button}


def up(button=LEFT):
    return {'type': 'pointerUp', 'button': button}


def _pointer_sequence(items):
    return [{'type': 'pointer', 'id': 'mouse', 'parameters': {'pointerType': 'mouse'}, 'actions': list(items)}]


def _version(command):
    try:
        out = subprocess.run(command, capture_output=True, text=True, timeout=30).stdout
    except (OSError, subprocess.SubprocessError):
        return '?'
    m = re.search(r'\d+(\.\d+)+\S*', out)
    return m.group(0) if m else '?'


def _end(proc):
    """Ends a process of ours: asked first, killed if it will not go."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def hide_behind_tab(browser, seconds):
    first = browser.tab()
    browser.new_tab()
    browser.open('about:blank')
    time.sleep(seconds)
    browser.close_tab()
    browser.switch_to(first)


# --- WebDriver classic, through selenium (Chromium, WebKit) ----------------

class SeleniumBrowser:
    def __init__(self, driver, engine, version):
        self.d = driver
        self.engine = engine
        self.version = version

    def open(self, url):
        self.d.get(url)

    def back(self):
        self.d.back()

    def js(self, body, *args):
        return self.d.execute_script(body, *args)

    def js_async(self, body, *args):
        return self.d.execute_async_script(body, *args)

    def title(self):
        return self.d.title

    def screenshot_png(self):
        return self.d.get_screenshot_as_png()

    def pointer(self, items):
        from selenium.webdriver.remote.command import Command
        self.d.execute(Command.W3C_ACTIONS, {'actions': _pointer_sequence(items)})

    def tab(self):
        return self.d.current_window_handle

    def new_tab(self):
        self.d.switch_to.new_window('tab')
        return self.d.current_window_handle

    def switch_to(self, tab):
        self.d.switch_to.window(tab)

    def close_tab(self):
        self.d.close()

    def tabs(self):
        return list(self.d.window_handles)

    def hide_page(self, seconds):
        """Hides the page for `seconds`: another tab in front of it."""
        hide_behind_tab(self, seconds)

    def set_device_pixel_ratio(self, ratio):
        """Makes the page see `ratio` device pixels a CSS pixel (None: the
        screen's own again); False when this browser cannot."""
        return False

    def quit(self):
        try:
            self.d.quit()
        except Exception:  # noqa: BLE001 - the browser may be gone already
            pass


class ChromiumBrowser(SeleniumBrowser):
    def __init__(self, width=900, height=1000):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        binary = program('CHROMIUM', ('chromium', 'chromium-browser')) or '/usr/bin/chromium'
        options = webdriver.ChromeOptions()
        options.binary_location = binary
        for arg in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu',
                    '--window-size=%d,%d' % (width, height), '--no-first-run', '--mute-audio',
                    '--disable-background-networking', '--disable-component-update', '--disable-sync',
                    '--disable-default-apps', '--disable-extensions'):
            options.add_argument(arg)
        service = Service(program('CHROMEDRIVER', ('chromedriver',)) or '/usr/bin/chromedriver')
        super().__init__(webdriver.Chrome(service=service, options=options), 'chromium',
                         _version([binary, '--version']))

    def set_device_pixel_ratio(self, ratio):
        if ratio is None:
            self.d.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})
        else:
            self.d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                                   {'width': 0, 'height': 0, 'deviceScaleFactor': ratio, 'mobile': False})
        return True


WITH_X = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'tests', 'with_x')


def _x_display():
    """The X server for a browser that needs one: $DISPLAY, or a private one
    of tests/with_x (returned, to be ended by closing its input, with the X
    server's process id as x_pid)."""
    if os.environ.get('DISPLAY'):
        return os.environ['DISPLAY'], None
    proc = subprocess.Popen([WITH_X], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    words = proc.stdout.readline().split()
    if len(words) != 2 or not words[0].startswith(':'):
        proc.stdin.close()
        proc.wait()
        raise BrowserError('could not start a private X server (tests/with_x)')
    proc.x_pid = int(words[1])
    return words[0], proc


def _stop_x_server(proc):
    """Ends a private X server of _x_display (None: $DISPLAY's, not ours)."""
    if proc:
        proc.stdin.close()
        proc.wait()


class SoundServer:
    """A PulseAudio of the browser's own with a null sink: Firefox and WebKit
    run a page's audio only on a sound device, which a CI machine has not.
    (Chromium plays into nothing by itself.) env: what the browser needs to
    find it; empty, and a reason said, when pulseaudio is missing."""

    def __init__(self):
        self.proc = None
        self.env = {}
        self.dir = tempfile.mkdtemp(prefix='torvenka-pulse-')
        pulseaudio = shutil.which('pulseaudio')
        if not pulseaudio:
            self.why = 'no pulseaudio: the page will find no audio device'
            return
        socket_path = os.path.join(self.dir, 'native')
        env = dict(os.environ, PULSE_RUNTIME_PATH=self.dir, HOME=self.dir)
        self.proc = subprocess.Popen(
            [pulseaudio, '-n', '--daemonize=no', '--exit-idle-time=-1', '--use-pid-file=no', '--disallow-exit',
             '-L', 'module-null-sink sink_name=quiet',
             '-L', 'module-native-protocol-unix auth-anonymous=1 socket=%s' % socket_path],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        end = time.monotonic() + 10
        while time.monotonic() < end and not os.path.exists(socket_path) and self.proc.poll() is None:
            time.sleep(0.05)
        if not os.path.exists(socket_path):
            self.stop()
            self.why = 'the private pulseaudio did not start: the page will find no audio device'
            return
        self.why = None
        self.env = {'PULSE_SERVER': 'unix:' + socket_path, 'PULSE_RUNTIME_PATH': self.dir}

    def stop(self):
        if self.proc:
            _end(self.proc)
        self.proc = None
        shutil.rmtree(self.dir, ignore_errors=True)


def minibrowser():
    path = program('MINIBROWSER', MINIBROWSER_PLACES)
    if not path:
        raise BrowserError('no MiniBrowser (webkit2gtk-driver brings it) in %s' % ', '.join(MINIBROWSER_PLACES))
    return path


class XPointer:
    """The X server's own pointer over a browser's window, moved and pressed
    by xdotool: for WebKit, whose driver's pointer actions report the release
    of the right button as a release of the left one, and for Firefox's back
    and forward buttons, which it acts on before any DOM event (its driver's
    buttons 3 and 4 reach only the page). The browser's window is at the
    screen's corner, its page below the toolbar. Needs `display`, js() and
    `origin` (None until read)."""
    X_BUTTONS = {LEFT: '1', MIDDLE: '2', RIGHT: '3', BACK: '8', FORWARD: '9'}

    def _page_origin(self):
        if self.origin is None:
            x, y, dpr = self.js('return typeof mozInnerScreenX === "number" ? [mozInnerScreenX, mozInnerScreenY,'
                                ' devicePixelRatio] : [screenX + outerWidth - innerWidth,'
                                ' screenY + outerHeight - innerHeight, devicePixelRatio];')
            self.origin = (x, y, dpr)
        return self.origin

    # Counts the presses and releases the page has been given (in the
    # capture phase, before the page's own handlers see them): pointer
    # events, the first press and the last release of a pointer, and a
    # move that changes a button (a chord).
    SEEN = ("if (window.torvenkaTestPresses === undefined) { window.torvenkaTestPresses = 0;"
            " ['pointerdown', 'pointerup', 'pointermove'].forEach(function (k) { window.addEventListener(k,"
            " function (e) { if (e.type !== 'pointermove' || e.button >= 0) window.torvenkaTestPresses++; },"
            " true); }); }"
            " return window.torvenkaTestPresses;")

    def pointer(self, items):
        ox, oy, dpr = self._page_origin()
        command = ['xdotool']
        presses = 0
        for item in items:
            if item['type'] == 'pointerMove':
                command += ['mousemove', str(round(ox + item['x'] * dpr)), str(round(oy + item['y'] * dpr))]
            elif item['type'] == 'pointerDown':
                command += ['mousedown', self.X_BUTTONS[item['button']]]
                presses += item['button'] not in (BACK, FORWARD)
            elif item['type'] == 'pointerUp':
                command += ['mouseup', self.X_BUTTONS[item['button']]]
                presses += item['button'] not in (BACK, FORWARD)
        before = self.js(self.SEEN)
        done = subprocess.run(command, env=dict(os.environ, DISPLAY=self.display), capture_output=True, text=True)
        if done.returncode != 0:
            raise BrowserError('xdotool: %s' % done.stderr.strip())
        # The X server has the events; like WebDriver's actions, return once
        # the page has been given the presses and releases (of the buttons
        # every engine gives the page: Firefox keeps the side ones).
        end = time.monotonic() + 2
        while self.js(self.SEEN) < before + presses and time.monotonic() < end:
            time.sleep(0.002)

    # Another tab's page lies elsewhere on the screen.
    def new_tab(self):
        self.origin = None
        return super().new_tab()

    def switch_to(self, tab):
        self.origin = None
        super().switch_to(tab)


class WebKitBrowser(XPointer, SeleniumBrowser):
    # A running MiniBrowser keeps the scale it started with: a page at
    # another devicePixelRatio needs a browser of its own (GDK_SCALE).
    def __init__(self, width=900, height=1000, device_pixel_ratio=1):
        from selenium import webdriver
        from selenium.webdriver.webkitgtk.options import Options
        display, self.xvfb = _x_display()
        self.sound = SoundServer()
        # The tests' X server has no GPU: WebKit's accelerated compositing
        # would go through software GL and take most of a core for the
        # canvas alone (about 80 % against 13 % without, for the bench's
        # minimal page), and the page's timers with it.
        env = dict(os.environ, DISPLAY=display, GDK_BACKEND='x11', GDK_SCALE=str(device_pixel_ratio),
                   WEBKIT_DISABLE_COMPOSITING_MODE='1', **self.sound.env)
        binary = minibrowser()
        options = Options()
        options.binary_location = binary
        options.add_argument('--automation')
        # selenium 4.8 starts WebKitWebDriver itself, with this process's
        # environment: the X server and the sound server go there.
        saved = dict(os.environ)
        os.environ.update(env)
        try:
            driver = webdriver.WebKitGTK(executable_path=program('WEBKITWEBDRIVER', ('WebKitWebDriver',)) or '/usr/bin/WebKitWebDriver',
                                         options=options)
        except Exception:
            self._stop_x()
            raise
        finally:
            os.environ.clear()
            os.environ.update(saved)
        self.display = display
        self.origin = None
        super().__init__(driver, 'webkit', _version([binary, '--version']))
        if self.version == '?':
            self.version = (driver.capabilities.get('browserVersion') or '?')
        # The X pointer reaches only what is on the screen: the window fits it.
        screen = subprocess.run(['xdotool', 'getdisplaygeometry'], env=dict(os.environ, DISPLAY=display),
                                capture_output=True, text=True).stdout.split()
        if len(screen) == 2:
            width, height = min(width, int(screen[0])), min(height, int(screen[1]))
        driver.set_window_rect(0, 0, width, height)

    def hide_page(self, seconds):
        """Hides the page for `seconds`. A MiniBrowser window in front does
        not hide the one behind from its page; a window taken off the screen
        (unmapped, as a minimised one is) does."""
        env = dict(os.environ, DISPLAY=self.display)
        found = subprocess.run(['xdotool', 'search', '--onlyvisible', '--class', 'MiniBrowser'], env=env,
                               capture_output=True, text=True).stdout.split()
        if not found:
            raise BrowserError('no MiniBrowser window on %s' % self.display)
        for w in found:
            subprocess.run(['xdotool', 'windowunmap', w], env=env, check=True)
        time.sleep(seconds)
        for w in found:
            subprocess.run(['xdotool', 'windowmap', w], env=env, check=True)

    def _stop_x(self):
        self.sound.stop()
        _stop_x_server(self.xvfb)
        self.xvfb = None

    def quit(self):
        super().quit()
        self._stop_x()


# --- WebDriver BiDi (Firefox) --------------------------------------------
# Debian has no geckodriver: Firefox is driven over WebDriver BiDi, a few
# commands over a WebSocket (Debian's python3-websocket).

# What keeps Firefox quiet: no first-run or welcome pages, no updates, no
# telemetry or studies, nothing fetched from outside (this machine may have
# no network: whatever tried would only fail, but it must not slow a test).
FIREFOX_PREFS = {
    'browser.shell.checkDefaultBrowser': False,
    'browser.startup.page': 0,
    'browser.startup.homepage': 'about:blank',
    'browser.startup.homepage_override.mstone': 'ignore',
    'startup.homepage_welcome_url': 'about:blank',
    'startup.homepage_welcome_url.additional': '',
    'browser.aboutwelcome.enabled': False,
    'trailhead.firstrun.didSeeAboutWelcome': True,
    'browser.newtabpage.enabled': False,
    'browser.newtab.preload': False,
    'browser.tabs.warnOnClose': False,
    'browser.tabs.warnOnCloseOtherTabs': False,
    'browser.warnOnQuit': False,
    'browser.sessionstore.resume_from_crash': False,
    'browser.uitour.enabled': False,
    'app.update.auto': False,
    'app.update.checkInstallTime': False,
    'app.update.disabledForTesting': True,
    'app.normandy.enabled': False,
    'app.normandy.api_url': '',
    'app.shield.optoutstudies.enabled': False,
    'datareporting.policy.dataSubmissionEnabled': False,
    'datareporting.healthreport.uploadEnabled': False,
    'toolkit.telemetry.enabled': False,
    'toolkit.telemetry.unified': False,
    'toolkit.telemetry.archive.enabled': False,
    'toolkit.telemetry.server': 'http://127.0.0.1:9/',
    'toolkit.telemetry.reportingpolicy.firstRun': False,
    'browser.ping-centre.telemetry': False,
    'extensions.update.enabled': False,
    'extensions.getAddons.cache.enabled': False,
    'extensions.blocklist.enabled': False,
    'extensions.systemAddon.update.enabled': False,
    'browser.search.update': False,
    'browser.safebrowsing.malware.enabled': False,
    'browser.safebrowsing.phishing.enabled': False,
    'browser.safebrowsing.downloads.enabled': False,
    'browser.safebrowsing.blockedURIs.enabled': False,
    'browser.safebrowsing.provider.mozilla.updateURL': '',
    'services.settings.server': 'http://127.0.0.1:9/',
    'network.captive-portal-service.enabled': False,
    'network.connectivity-service.enabled': False,
    'network.dns.disablePrefetch': True,
    'network.prefetch-next': False,
    'network.http.speculative-parallel-limit': 0,
    'network.proxy.type': 0,
    'browser.contentblocking.report.monitor.enabled': False,
    'messaging-system.rsexperimentloader.enabled': False,
    'media.gmp-manager.url': 'http://127.0.0.1:9/',
    'media.gmp-gmpopenh264.enabled': False,
    'media.autoplay.default': 0,
    'media.volume_scale': '0.0',
    'signon.rememberSignons': False,
    'dom.disable_beforeunload': True,
}


class FirefoxBrowser:
    """Firefox, headless; or with a window on the X server `display`."""

    def __init__(self, width=900, height=1000, display=None):
        binary = program('FIREFOX', ('firefox-esr', 'firefox')) or '/usr/bin/firefox-esr'
        self.engine = 'firefox'
        self.version = _version([binary, '--version'])
        self.profile = tempfile.mkdtemp(prefix='torvenka-firefox-')
        with open(os.path.join(self.profile, 'user.js'), 'w') as f:
            for k, v in FIREFOX_PREFS.items():
                f.write('user_pref(%s, %s);\n' % (json.dumps(k), json.dumps(v)))
        self.sound = SoundServer()
        env = dict(os.environ, MOZ_HEADLESS_WIDTH=str(width), MOZ_HEADLESS_HEIGHT=str(height),
                   MOZ_CRASHREPORTER_DISABLE='1', **self.sound.env)
        env.pop('DISPLAY', None)
        window = ['--headless']
        if display:
            env['DISPLAY'] = display
            window = ['--width', str(width), '--height', str(height)]
        self.proc = subprocess.Popen([binary] + window + ['--remote-debugging-port=0', '--no-remote',
                                                          '--profile', self.profile, 'about:blank'],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env, text=True)
        found = {}
        ready = threading.Event()

        def read_errors():
            for line in self.proc.stderr:
                m = re.search(r'WebDriver BiDi listening on (ws://\S+)', line)
                if m and not ready.is_set():
                    found['url'] = m.group(1)
                    ready.set()
            ready.set()

        threading.Thread(target=read_errors, daemon=True).start()
        if not ready.wait(60) or 'url' not in found:
            self._stop()
            raise BrowserError('Firefox said no "WebDriver BiDi listening on ..." within 60 s')
        import websocket
        # Firefox refuses a WebSocket that names an origin.
        self.ws = websocket.create_connection(found['url'].rstrip('/') + '/session', timeout=60,
                                              suppress_origin=True)
        self.next_id = 0
        self.command('session.new', {'capabilities': {}})
        tree = self.command('browsingContext.getTree', {})
        self.context = tree['contexts'][0]['context']

    def command(self, method, params):
        self.next_id += 1
        me = self.next_id
        self.ws.send(json.dumps({'id': me, 'method': method, 'params': params}))
        while True:
            try:
                reply = json.loads(self.ws.recv())
            except Exception as e:  # noqa: BLE001 - the socket's own errors
                raise BrowserError('%s: the browser\'s WebSocket: %s' % (method, e))
            if reply.get('id') != me:
                continue  # an event: none is asked for
            if reply.get('type') == 'error':
                raise BrowserError('%s: %s: %s' % (method, reply.get('error'), reply.get('message')))
            return reply['result']

    # What a script returns, as Python values.
    def _value(self, v):
        kind = v.get('type')
        if kind in ('undefined', 'null'):
            return None
        if kind == 'number':
            x = v['value']
            return {'NaN': float('nan'), 'Infinity': float('inf'), '-Infinity': float('-inf'),
                    '-0': -0.0}.get(x, x) if isinstance(x, str) else x
        if kind in ('string', 'boolean'):
            return v['value']
        if kind == 'bigint':
            return int(v['value'])
        if kind in ('array', 'set'):
            return [self._value(x) for x in v.get('value', [])]
        if kind in ('object', 'map'):
            return {(k if isinstance(k, str) else self._value(k)): self._value(x) for k, x in v.get('value', [])}
        return v

    def _argument(self, a):
        if a is None:
            return {'type': 'null'}
        if isinstance(a, bool):
            return {'type': 'boolean', 'value': a}
        if isinstance(a, (int, float)):
            return {'type': 'number', 'value': a}
        if isinstance(a, str):
            return {'type': 'string', 'value': a}
        if isinstance(a, (list, tuple)):
            return {'type': 'array', 'value': [self._argument(x) for x in a]}
        if isinstance(a, dict):
            return {'type': 'object', 'value': [[k, self._argument(x)] for k, x in a.items()]}
        raise BrowserError('cannot hand %r to a script' % (a,))

    def _call(self, declaration, args):
        result = self.command('script.callFunction', {
            'functionDeclaration': declaration, 'arguments': [self._argument(a) for a in args],
            'target': {'context': self.context}, 'awaitPromise': True, 'resultOwnership': 'none',
            'serializationOptions': {'maxObjectDepth': 8}})
        if result.get('type') == 'exception':
            details = result.get('exceptionDetails', {})
            raise BrowserError('the script threw: %s' % details.get('text', details))
        return self._value(result['result'])

    def js(self, body, *args):
        return self._call('function () {\n%s\n}' % body, args)

    def js_async(self, body, *args):
        return self._call('function () { var args = Array.prototype.slice.call(arguments);'
                          ' return new Promise(function (done) { args.push(done);'
                          ' (function () {\n%s\n}).apply(null, args); }); }' % body, args)

    def open(self, url):
        self.command('browsingContext.navigate', {'context': self.context, 'url': url, 'wait': 'complete'})

    def back(self):
        self.command('browsingContext.traverseHistory', {'context': self.context, 'delta': -1})

    def title(self):
        return self.js('return document.title;')

    def screenshot_png(self):
        return base64.b64decode(self.command('browsingContext.captureScreenshot', {'context': self.context})['data'])

    def pointer(self, items):
        self.command('input.performActions', {'context': self.context, 'actions': _pointer_sequence(items)})

    def tab(self):
        return self.context

    def tabs(self):
        return [c['context'] for c in self.command('browsingContext.getTree', {'maxDepth': 0})['contexts']]

    def new_tab(self):
        self.context = self.command('browsingContext.create', {'type': 'tab'})['context']
        self.command('browsingContext.activate', {'context': self.context})
        return self.context

    def switch_to(self, tab):
        self.context = tab
        self.command('browsingContext.activate', {'context': tab})

    def close_tab(self):
        self.command('browsingContext.close', {'context': self.context})

    def hide_page(self, seconds):
        hide_behind_tab(self, seconds)

    def set_device_pixel_ratio(self, ratio):
        self.command('browsingContext.setViewport', {'context': self.context, 'devicePixelRatio': ratio})
        return True

    def _stop(self):
        _end(self.proc)
        shutil.rmtree(self.profile, ignore_errors=True)
        self.sound.stop()

    def quit(self):
        try:
            self.command('session.end', {})
        except (BrowserError, OSError):
            pass
        try:
            self.ws.close()
        except Exception:  # noqa: BLE001 - the browser may be gone already
            pass
        self._stop()


class FirefoxOnX(XPointer, FirefoxBrowser):
    """Firefox with a window on a private X server, its pointer the X
    server's: the only way to press its back and forward buttons."""

    def __init__(self, width=900, height=1000):
        self.display, self.xvfb = _x_display()
        self.origin = None
        try:
            super().__init__(width, height, display=self.display)
        except Exception:
            _stop_x_server(self.xvfb)
            raise

    def quit(self):
        super().quit()
        _stop_x_server(self.xvfb)


def start(engine, real_side_buttons=False, **size):
    """A fresh browser of `engine` (its own profile), with a 900 x 1000 window
    (webkit: device_pixel_ratio=N for a screen of N device pixels a CSS pixel).
    real_side_buttons: the pointer's BACK and FORWARD are the buttons as the
    browser itself acts on them (Firefox then has a window on an X server)."""
    if engine == 'chromium':
        return ChromiumBrowser(**size)
    if engine == 'firefox':
        return FirefoxOnX(**size) if real_side_buttons else FirefoxBrowser(**size)
    if engine == 'webkit':
        return WebKitBrowser(**size)
    raise BrowserError('no engine "%s"' % engine)


if __name__ == '__main__':
    import sys
    if sys.argv[1:] == ['packages']:
        print(' '.join(packages()))
    elif sys.argv[1:] == ['ready']:
        # One line an engine: "chromium" when it is ready, else the engine and
        # the packages it lacks.
        for e in ENGINES:
            print(' '.join([e] + missing(e)))
    else:
        sys.exit('usage: web_browsers.py packages | ready')
