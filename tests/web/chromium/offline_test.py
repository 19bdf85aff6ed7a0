#!/usr/bin/python3
"""The site kept by its service worker: after a first visit the game starts
and plays, music included, with the server gone; a new build of the site
replaces the kept copy as a whole, never file by file.

    offline_test.py SITE_FOLDER

The test works on a copy of the site, which it serves itself on 127.0.0.1,
stops and starts again on the same port, and rebuilds the way the build
does (cmake/site_worker.cmake) after changing one file.
"""
import functools
import hashlib
import http.server
import os
import sys
import threading
import urllib.request

# The shared helpers are one folder up.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from web_page import Page, QuietHandler, check, fail, keep_worker_list, log, run_chromium_in_folder, wait_until

WHITE = (255, 255, 255)
TITLE_BOX = (80, 92, 34, 20)


class Server:
    """The site's folder on 127.0.0.1, on the same port each time it starts."""

    def __init__(self, folder):
        self.folder, self.port, self.server = folder, 0, None

    def start(self):
        handler = functools.partial(QuietHandler, directory=self.folder)
        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', self.port), handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        return 'http://127.0.0.1:%d/' % self.port

    def stop(self):
        if self.server:
            self.server.shutdown()
            self.server.server_close()
            self.server = None


def site_files(folder):
    """Every file of the site but the worker, with the SHA-256 of its bytes."""
    out = {}
    for root, _, names in os.walk(folder):
        for n in names:
            path = os.path.relpath(os.path.join(root, n), folder).replace(os.sep, '/')
            if path != 'sw.js':
                with open(os.path.join(root, n), 'rb') as f:
                    out[path] = hashlib.sha256(f.read()).hexdigest()
    return out


def kept(page):
    """The site's caches: {cache name: {file: SHA-256 of the kept bytes}}."""
    return page.js("""
        var base = new URL('./', location.href).href;
        function hex(b) { return Array.from(new Uint8Array(b), function (x) { return x.toString(16).padStart(2, '0'); }).join(''); }
        return caches.keys().then(function (names) {
          return Promise.all(names.map(function (name) {
            return caches.open(name).then(function (c) { return c.keys(); }).then(function (requests) {
              return Promise.all(requests.map(function (r) {
                return caches.match(r, {cacheName: name}).then(function (res) { return res.arrayBuffer(); })
                  .then(function (b) { return crypto.subtle.digest('SHA-256', b); })
                  .then(function (d) { return [r.url.slice(base.length), hex(d)]; });
              }));
            }).then(function (entries) { return [name, Object.fromEntries(entries)]; });
          }));
        }).then(Object.fromEntries);""")


def controlled(page):
    return page.js('return !!navigator.serviceWorker.controller;')


def fetched(page, name):
    """The page's own fetch of a file of the site, through its worker."""
    return page.js("return fetch(arguments[0]).then(function (r) { return r.text(); });", name)


def new_worker(page):
    """Asks the browser to look for a new build of the worker; what became
    of it: 'installed' (kept whole, waiting), 'redundant' (dropped)."""
    return page.js("""
        return navigator.serviceWorker.getRegistration().then(function (r) {
          return new Promise(function (done) {
            r.addEventListener('updatefound', function () {
              var w = r.installing;
              w.addEventListener('statechange', function () {
                if (w.state === 'installed' || w.state === 'redundant') done(w.state);
              });
            });
            r.update().catch(function () {});
            setTimeout(function () { done('no new worker'); }, 10000);
          });
        });""")


def plays_with_music(page):
    check(wait_until(15, lambda: page.started() and page.count(WHITE, TITLE_BOX) > 0), 'the title did not come up')
    page.move(90, 100)
    page.click(90, 100)
    check(wait_until(5, lambda: len(page.steps()) > 5), 'a click did not start the dive')
    check(wait_until(5, lambda: any(s['op'] == 'sounding' and s['url'] == 'dat/plomvex_s01.ogg'
                                    for s in page.sound())), 'the dive\'s music did not play: %s' % page.sound())
    # Once the kept sounds are all decoded, the page has nothing to say.
    check(wait_until(10, lambda: page.status() == ''), 'the page says "%s"' % page.status())


def test(driver, folder):
    server = Server(folder)
    url = server.start()
    try:
        log('a first visit keeps the whole site')
        page = Page(driver, url)
        check(wait_until(15, lambda: page.started()), 'the game did not start')
        files = site_files(folder)
        check(wait_until(15, lambda: page.js('return navigator.serviceWorker.getRegistration()'
                                             '.then(function (r) { return !!(r && r.active && r.active.state === "activated"); })')),
              'no service worker took charge of the site')
        copies = kept(page)
        check(len(copies) == 1, 'the site is kept in %d caches: %s' % (len(copies), list(copies)))
        first_name, first = next(iter(copies.items()))
        check(first == files, 'the kept copy is not the site: missing %s, different %s, more %s' % (
            sorted(set(files) - set(first)), sorted(n for n in files if n in first and first[n] != files[n]),
            sorted(set(first) - set(files))))
        log('  %d files in "%s"' % (len(first), first_name))

        server.stop()
        try:
            urllib.request.urlopen(url, timeout=2)
            fail('the server still answers')
        except OSError:
            pass
        log('the server is gone: a reload starts the game, and a click the dive and its music')
        driver.refresh()
        page = Page(driver)
        page.url = url
        check(wait_until(10, lambda: controlled(page)), 'the reloaded page is not the worker\'s')
        plays_with_music(page)
        log('  tick %d, %s' % (page.steps()[-1]['tick'], [s['url'] for s in page.sound() if s['op'] == 'sounding']))

        log('a new build with one file changed, while the page of the old one plays')
        css = os.path.join(folder, 'page.css')
        with open(css) as f:
            old_css = f.read()
        new_css = old_css + '\n/* another build */\n'
        with open(css, 'w') as f:
            f.write(new_css)
        keep_worker_list(folder)
        server.start()
        state = new_worker(page)
        check(state == 'installed', 'the new build\'s worker is %s' % state)
        copies = kept(page)
        check(first_name in copies and len(copies) == 2, 'while the old page plays, the caches are %s' % list(copies))
        second_name = [n for n in copies if n != first_name][0]
        check(copies[second_name] == site_files(folder), 'the new build is not kept whole')
        check(fetched(page, 'page.css') == old_css, 'the open page of the old build got the new build\'s page.css')
        ticks = page.steps()[-1]['tick']
        check(wait_until(2, lambda: page.steps()[-1]['tick'] > ticks), 'the dive stopped')
        log('  the new build waits; the open page still gets the old files')

        log('the next visit, a reload, is the new build, whole')
        driver.refresh()
        page = Page(driver)
        page.url = url
        check(wait_until(15, lambda: page.started()), 'the game did not start on the next visit')
        check(fetched(page, 'page.css') == new_css, 'the next visit did not get the new build\'s page.css')
        copies = kept(page)
        check(list(copies) == [second_name], 'after the next visit the caches are %s' % list(copies))
        check(page.js('return Array.from(document.styleSheets).some(function (s) { return s.href && /page\\.css$/.test(s.href); })'),
              'the page has no style sheet')
        plays_with_music(page)
        log('  one cache, "%s"' % second_name)

        log('a site caught halfway through an upload: the worker lists files the server does not have yet')
        with open(css, 'w') as f:
            f.write(new_css + '/* a third build */\n')
        keep_worker_list(folder)
        with open(css, 'w') as f:
            f.write(new_css)
        state = new_worker(page)
        check(state == 'redundant', 'a worker of a half-uploaded site got %s' % state)
        check(list(kept(page)) == [second_name], 'a half-uploaded site left the caches %s' % list(kept(page)))
        log('  its worker is dropped; the kept copy stays the whole second build')
    finally:
        server.stop()


if __name__ == '__main__':
    run_chromium_in_folder(test, copy=True)
