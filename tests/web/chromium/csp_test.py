#!/usr/bin/python3
"""The page under its Content-Security-Policy: the policy is strict (no
inline script or style, no eval, nothing from another origin), the game's
scripts need nothing it forbids, and a visit that loads the game, keeps the
site offline, draws the title, sets the icon and plays a dive with its
sound and its swipes breaks none of it: no violation event, no console
message of a refused action.

    csp_test.py SITE
"""
import html.parser
import os
import re
import sys
import time
import urllib.request

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import Page, check, log, run_chromium, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)

# What the policy must say, directive by directive, and nothing more.
POLICY = {
    'default-src': ["'none'"],
    'script-src': ["'self'", "'wasm-unsafe-eval'"],
    'style-src': ["'self'"],
    'img-src': ["'self'", 'data:'],
    'connect-src': ["'self'"],
    'worker-src': ["'self'"],
    'manifest-src': ["'self'"],
    'base-uri': ["'none'"],
    'form-action': ["'none'"],
}

# Every violation the page reports, and what it tried, kept from before its
# first script runs.
LISTEN = """
window.__violations = [];
window.addEventListener('securitypolicyviolation', function (e) {
  window.__violations.push(e.effectiveDirective + ' ' + e.blockedURI + ' ' + (e.sourceFile || '') + ':' + e.lineNumber);
}, true);
"""


class PageMarkup(html.parser.HTMLParser):
    """The page's markup: its policies, and what it runs or styles inline."""

    def __init__(self):
        super().__init__()
        self.policies, self.inline, self.tag = [], [], None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.tag = tag
        if tag == 'meta' and (a.get('http-equiv') or '').lower() == 'content-security-policy':
            self.policies.append(a.get('content', ''))
        if tag == 'style':
            self.inline.append('a <style> element')
        for name in a:
            if name == 'style' or name.startswith('on'):
                self.inline.append('%s="%s" on <%s>' % (name, a[name], tag))
        if tag == 'script' and not a.get('src'):
            self.inline.append('an inline <script>')

    def handle_endtag(self, tag):
        self.tag = None


def directives(policy):
    out = {}
    for part in policy.split(';'):
        words = part.split()
        if words:
            out[words[0].lower()] = words[1:]
    return out


def refused(driver):
    """The console's messages of actions the policy blocked."""
    return [m['message'] for m in driver.get_log('browser')
            if 'Content Security Policy' in m['message'] or 'Refused to' in m['message']]


def test(driver, url):
    log('the policy in the page is strict, and the page has nothing inline')
    with urllib.request.urlopen(url + 'index.html') as r:
        markup = PageMarkup()
        markup.feed(r.read().decode('utf-8'))
    check(len(markup.policies) == 1, 'the page has %d policies' % len(markup.policies))
    got = directives(markup.policies[0])
    check(got == POLICY, 'the policy is %s' % markup.policies[0])
    check(not markup.inline, 'the page has %s' % ', '.join(markup.inline))

    log('no script of the site evaluates strings as code')
    for name in ('page.js', 'torvenka.js', 'sw.js'):
        with urllib.request.urlopen(url + name) as r:
            text = r.read().decode('utf-8')
        found = re.findall(r'\beval\s*\(|\bFunction\s*\(|set(?:Timeout|Interval)\s*\(\s*["\']', text)
        check(not found, '%s has %s' % (name, found))

    log('a visit: the game loads, keeps the site, shows the title and plays')
    driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': LISTEN})
    page = Page(driver, url)
    check(wait_until(15, lambda: page.started() and page.count(WHITE, TITLE_BOX) > 0), 'the title did not come up')
    check(wait_until(15, lambda: page.js('return navigator.serviceWorker.getRegistration()'
                                         '.then(function (r) { return !!(r && r.active); })')),
          'the service worker did not start')
    check(wait_until(5, lambda: page.js("var l = document.querySelector('link[rel=\"icon\"]');"
                                        "return !!l && /^data:image\\/png;base64,/.test(l.href);")),
          'the game did not set its icon')
    page.move(90, 100)
    page.press(90, 100)
    page.release(90, 100)
    check(wait_until(5, lambda: any(s['op'] == 'sounding' and s['url'] == 'dat/plomvex_s01.ogg' for s in page.sound())),
          'the dive and its music did not start')
    page.swipe(100, 150, 160, 150)
    time.sleep(1)
    check(page.steps()[-1]['tick'] > 20, 'the dive did not go on')
    violations = page.js('return window.__violations;')
    check(violations == [], 'the page broke its policy: %s' % violations)
    messages = refused(driver)
    check(messages == [], 'the console says: %s' % messages)
    origin = url.split('/')[0] + '//' + url.split('/')[2]
    others = page.js("return performance.getEntriesByType('resource').map(function (e) { return e.name; })"
                     ".filter(function (n) { return n.indexOf(arguments[0] + '/') !== 0; });".replace(
                         'arguments[0]', "'%s'" % origin))
    check(others == [], 'the page asked other origins for %s' % others)
    log('  no violation, no refusal; every request to %s' % origin)

    log('what the policy forbids is refused, and reported')
    page.js("""
        var s = document.createElement('script');
        s.textContent = 'window.__ran = true;';
        document.body.appendChild(s);
        setTimeout('window.__ran = true;', 0);
        var st = document.createElement('style');
        st.textContent = 'body { background: red; }';
        document.head.appendChild(st);
        new Image().src = 'http://localhost:9/elsewhere.png';""")
    check(wait_until(3, lambda: len(page.js('return window.__violations;')) >= 4), 'the violations were not reported')
    kinds = sorted(v.split()[0] for v in page.js('return window.__violations;'))
    check(kinds == ['img-src', 'script-src', 'script-src-elem', 'style-src-elem'], 'reported: %s' % kinds)
    check(not page.js('return !!window.__ran;'), 'an inline script ran')
    check(page.js('return getComputedStyle(document.body).backgroundColor;') == 'rgb(0, 0, 0)', 'an inline style applied')
    check(len(refused(driver)) >= 4, 'the console did not say so')
    log('  %s' % ', '.join(kinds))


if __name__ == '__main__':
    run_chromium(test, worker=True)
