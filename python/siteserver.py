#!/usr/bin/python3
"""Serves a built site folder over HTTP on 127.0.0.1: the server of
scripts/web and of the browser tests and the bench.

    siteserver.py SITE_FOLDER [--port N]

As a library (the tests): SiteServer(folder) serves at once on a free port
(or `port`), and lets a test change what it serves while it runs:

    page      a folder whose torvenka.js and torvenka.wasm are served instead
              of the site's (the test build of the page)
    blocked   paths that answer 404
    before    a script's text, run before the page's own scripts: index.html
              is served with a <script src> for it in front of its first
    headers   headers sent with every answer (a host's policy, say)
    headers_at  {path: headers}: headers sent with the answers to one path
              only (what a host sent once, say, while the worker kept it)
    routes    {path: (bytes, content type)}: pages of the test's own
    no_store  every answer says Cache-Control: no-store (a test sees what the
              server says now, never a copy the browser kept)
"""
import argparse
import functools
import http.server
import os
import sys
import threading
import urllib.parse

# The types the page needs, whatever the machine's mime.types says.
TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript',
    '.wasm': 'application/wasm',
    '.ogg': 'audio/ogg',
    '.wav': 'audio/wav',
    '.css': 'text/css',
    '.png': 'image/png',
    '.webmanifest': 'application/manifest+json',
}
BEFORE_PATH = '/torvenka-test-before.js'


class _Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES)

    def __init__(self, *args, site=None, **kwargs):
        self.site = site
        super().__init__(*args, **kwargs)

    def log_message(self, *args):
        pass

    def end_headers(self):
        path = urllib.parse.urlsplit(self.path).path
        for name, value in list(self.site.headers.items()) + list(self.site.headers_at.get(path, {}).items()):
            self.send_header(name, value)
        if self.site.no_store:
            self.send_header('Cache-Control', 'no-store')
        super().end_headers()

    def _answer(self, body, kind):
        self.send_response(200)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        return body

    def _special(self):
        """The answer to a path the test has a say in, or None."""
        path = urllib.parse.urlsplit(self.path).path
        site = self.site
        if path in site.blocked:
            self.send_error(404)
            return b''
        if path in site.routes:
            return self._answer(*site.routes[path])
        if site.before is not None:
            if path == BEFORE_PATH:
                return self._answer(site.before.encode(), 'text/javascript')
            if path in ('/', '/index.html'):
                with open(os.path.join(site.folder, 'index.html'), 'rb') as f:
                    html = f.read()
                at = html.find(b'<script')
                return self._answer(html[:at] + b'<script src="%s"></script>\n' % BEFORE_PATH.encode() + html[at:],
                                    TYPES['.html'])
        return None

    def translate_path(self, path):
        plain = urllib.parse.urlsplit(path).path
        if self.site.page and plain in ('/torvenka.js', '/torvenka.wasm'):
            return os.path.join(self.site.page, plain[1:])
        return super().translate_path(path)

    # A build rewrites files within the second the browser last fetched them
    # (the service worker, say), which If-Modified-Since cannot tell apart:
    # every answer is the whole file.
    def do_GET(self):
        del self.headers['If-Modified-Since']
        body = self._special()
        if body is None:
            return super().do_GET()
        if body:
            self.wfile.write(body)

    def do_HEAD(self):
        del self.headers['If-Modified-Since']
        if self._special() is None:
            return super().do_HEAD()


class SiteServer:
    """A site folder served on 127.0.0.1 (url), from now until close(); stop()
    and start() again keep the port."""

    def __init__(self, folder, port=0, page=None, no_store=False, host='127.0.0.1'):
        self.folder, self.port, self.page, self.no_store, self.host = folder, port, page, no_store, host
        self.httpd = None
        self.reset()
        self.start()

    def reset(self):
        self.blocked, self.before, self.headers, self.headers_at, self.routes = set(), None, {}, {}, {}

    @property
    def url(self):
        return 'http://%s:%d/' % (self.host, self.port)

    def start(self):
        handler = functools.partial(_Handler, directory=self.folder, site=self)
        self.httpd = http.server.ThreadingHTTPServer((self.host, self.port), handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()
        return self.url

    def stop(self):
        if self.httpd:
            self.httpd.shutdown()
            self.httpd.server_close()
            self.httpd = None

    close = stop

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def main(argv):
    parser = argparse.ArgumentParser(prog='siteserver.py', description='Serves a built site folder on 127.0.0.1.')
    parser.add_argument('folder', help='the built site (with its index.html)')
    parser.add_argument('--port', type=int, default=8000, help='the port (8000)')
    args = parser.parse_args(argv)
    if not os.path.isfile(os.path.join(args.folder, 'index.html')):
        parser.error('no index.html in %s' % args.folder)
    server = SiteServer(os.path.abspath(args.folder), port=args.port)
    print('Serving %s on %s (Ctrl+C stops)' % (args.folder, server.url), flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    server.stop()
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
