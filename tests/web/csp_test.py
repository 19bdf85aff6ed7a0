"""The page under its Content-Security-Policy: the policy is strict (no
inline script or style, no eval, nothing from another origin), and a visit
that loads the game, keeps the site offline, draws the title, sets the icon
and plays a dive with its sound and its swipes breaks none of it, while what
the policy forbids is refused and reported.
"""
import html.parser
import os
import re

import pytest

from web_page import Page, SiteServer, log, wait_until
from web_page import copy_playing_the_test_build

pytestmark = pytest.mark.engines('chromium')

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

# Every violation the page reports, kept from before its first script runs.
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
        self.policies, self.inline = [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'meta' and (a.get('http-equiv') or '').lower() == 'content-security-policy':
            self.policies.append(a.get('content', ''))
        if tag == 'style':
            self.inline.append('a <style> element')
        if tag == 'script' and not a.get('src'):
            self.inline.append('an inline <script>')
        self.inline += ['%s="%s" on <%s>' % (n, v, tag) for n, v in a.items() if n == 'style' or n.startswith('on')]


def refused(driver):
    """The console's messages of actions the policy blocked."""
    return [m['message'] for m in driver.get_log('browser')
            if 'Content Security Policy' in m['message'] or 'Refused to' in m['message']]


def test_the_policy_is_strict_and_the_site_needs_nothing_it_forbids(site_folder):
    markup = PageMarkup()
    with open(os.path.join(site_folder, 'index.html'), encoding='utf-8') as f:
        markup.feed(f.read())
    assert len(markup.policies) == 1, 'the page has %d policies' % len(markup.policies)
    got = {words[0].lower(): words[1:] for words in (p.split() for p in markup.policies[0].split(';')) if words}
    assert got == POLICY, 'the policy is %s' % markup.policies[0]
    assert not markup.inline, 'the page has %s' % ', '.join(markup.inline)
    for name in ('page.js', 'torvenka.js', 'sw.js'):
        with open(os.path.join(site_folder, name), encoding='utf-8') as f:
            found = re.findall(r'\beval\s*\(|\bFunction\s*\(|set(?:Timeout|Interval)\s*\(\s*["\']', f.read())
        assert not found, '%s evaluates strings as code: %s' % (name, found)


def test_a_visit_breaks_nothing_and_what_is_forbidden_is_refused(browser, site_folder, facts, tmp_path):
    with SiteServer(copy_playing_the_test_build(site_folder, str(tmp_path / 'site')), no_store=True) as server:
        d = browser.d
        d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': LISTEN})
        page = Page(browser, server.url, facts).wait_for_title()
        assert wait_until(30, page.worker_in_charge), 'the service worker did not start'
        assert wait_until(10, lambda: page.js("var l = document.querySelector('link[rel=\"icon\"]');"
                                              "return !!l && /^data:image\\/png;base64,/.test(l.href);")), \
            'the game did not set its icon'
        page.start_dive()
        assert wait_until(10, lambda: page.sounded('dive_theme')), 'the dive\'s music did not start'
        page.swipe(100, 150, 160, 150)
        tick = page.last_step()['tick']
        assert wait_until(10, lambda: page.last_step()['tick'] > tick + 20), 'the dive did not go on'
        violations = page.js('return window.__violations;')
        assert violations == [], 'the page broke its policy: %s' % violations
        messages = refused(d)
        assert messages == [], 'the console says: %s' % messages
        others = page.js("return performance.getEntriesByType('resource').map(function (e) { return e.name; })"
                         ".filter(function (n) { return n.indexOf(arguments[0]) !== 0; });", server.url)
        assert others == [], 'the page asked other origins for %s' % others
        log('no violation, no refusal; every request to %s' % server.url)

        page.js("""
            var s = document.createElement('script');
            s.textContent = 'window.__ran = true;';
            document.body.appendChild(s);
            setTimeout('window.__ran = true;', 0);
            var st = document.createElement('style');
            st.textContent = 'body { background: red; }';
            document.head.appendChild(st);
            new Image().src = 'http://localhost:9/elsewhere.png';""")
        assert wait_until(10, lambda: len(page.js('return window.__violations;')) >= 4), \
            'the forbidden actions were not reported: %s' % page.js('return window.__violations;')
        kinds = sorted(v.split()[0] for v in page.js('return window.__violations;'))
        assert kinds == ['img-src', 'script-src', 'script-src-elem', 'style-src-elem'], 'reported: %s' % kinds
        assert not page.js('return !!window.__ran;'), 'an inline script ran'
        assert page.js('return getComputedStyle(document.body).backgroundColor;') == 'rgb(0, 0, 0)', \
            'an inline style applied'
        assert len(refused(d)) >= 4, 'the console did not say that the forbidden actions were refused'
        log('refused and reported: %s' % ', '.join(kinds))
