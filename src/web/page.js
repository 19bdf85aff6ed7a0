// The page's own script (index.html loads it; no inline script, which the
// page's Content-Security-Policy forbids): checks what the browser can do,
// takes the lock that keeps one tab playing, starts the game (torvenka.js)
// and keeps the site for playing offline (sw.js).

// One line on the page: what the player needs to know when something
// keeps the game from playing, or from playing with sound.
// A line about a dive watched again (a shared one waiting, one that
// cannot be played, a link copied) stands in for the other while it is
// there: the sounds' loading says its word again once it is gone.
var torvenkaLines = {game: '', dives: ''};
function torvenkaShowLine() {
  var line = document.getElementById('say') || document.getElementById('status');
  line.textContent = torvenkaLines.dives || torvenkaLines.game;
}
function torvenkaSay(text) {
  torvenkaLines.game = text;
  torvenkaShowLine();
}
function torvenkaSayAboutDives(text) {
  torvenkaLines.dives = text;
  torvenkaShowLine();
}

// A right-button swipe is the game's, never the browser's menu.
window.addEventListener('contextmenu', function (e) { e.preventDefault(); });

// How to play, in Japanese where the browser prefers it to English (the
// first of the player's languages that the page has); the game places it.
(function () {
  var help = document.getElementById('howto');
  var languages = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language];
  for (var i = 0; i < languages.length; i++) {
    var language = String(languages[i] || '').toLowerCase().split('-')[0];
    if (language === 'en' || language === 'ja') {
      if (help) help.lang = language;
      return;
    }
  }
})();

function torvenkaPlay() {
  if (location.protocol === 'file:') {
    torvenkaSay('Torvenka cannot start from a file on disk: serve this folder from a web server ' +
                '(scripts/web does) and open its address.');
    return;
  }
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    torvenkaSay('This browser cannot run WebAssembly, which Torvenka needs.');
    return;
  }
  // A frame that has no origin of its own (sandboxed without
  // allow-same-origin) fetches even this site's files across origins.
  var opaque = self.origin === 'null';
  var failed = false;
  function fail(what) {
    if (failed) return;
    failed = true;
    torvenkaSay('Torvenka could not start (' + what + '). ' + (opaque ?
      'This frame has no origin of its own: the site must let it fetch its files ' +
      '(Access-Control-Allow-Origin), or the frame be allowed its origin (allow-same-origin).' :
      'Reload the page; if this stays, the site is missing some of its files.'));
  }
  // Whatever goes wrong before the game runs is said on the page.
  function early(what) {
    if (!(window.Module && Module.calledRun)) fail(what);
  }
  window.addEventListener('error', function (e) { early(e.message || 'a script failed'); });
  window.addEventListener('unhandledrejection', function (e) { early(String(e.reason)); });

  // The service worker, where the browser gives this page one (a secure
  // page with an origin of its own); asking about it may throw.
  function workers() {
    try {
      return 'serviceWorker' in navigator ? navigator.serviceWorker : null;
    } catch (e) {
      return null;
    }
  }

  function load() {
    // The manifest comes with the game, not with the page: the browser
    // fetches its icons by itself, and a page that only hands over to a new
    // build (see start) must fetch nothing more through the old build's
    // worker, which the new one waits on before it takes over.
    var manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    document.head.appendChild(manifest);
    window.Module = {
      canvas: document.getElementById('canvas'),
      print: function (t) { console.log(t); },
      printErr: function (t) { console.warn(t); },
      onAbort: function (what) { fail(String(what)); },
      instantiateWasm: function (imports, receive) {
        compiled.then(function (module) {
          return WebAssembly.instantiate(module, imports).then(function (instance) { receive(instance, module); });
        }, function () {
          return fetch(wasm, {credentials: 'same-origin'}).then(function (r) {
            if (!r.ok) throw new Error(wasm + ': ' + r.status);
            return r.arrayBuffer();
          }).then(function (bytes) {
            return WebAssembly.instantiate(bytes, imports);
          }).then(function (result) { receive(result.instance, result.module); });
        }).catch(function (e) { fail(wasm + ' did not load: ' + e); });
        return {};
      },
    };
    var s = document.createElement('script');
    // Fetched with CORS, so that what goes wrong in it is not hidden from
    // this page: in a frame without an origin of its own it is another
    // origin's script, whose failures the browser would otherwise mute.
    s.crossOrigin = 'anonymous';
    s.src = 'torvenka.js';
    s.onerror = function () { fail('torvenka.js did not load'); };
    document.body.appendChild(s);
    // The site kept for offline play, once the page's own files have come:
    // the worker keeps every file of this build; a new build is a new
    // worker, which waits until no page uses the old one (see start).
    var sw = workers();
    if (sw) {
      var keep = function () {
        sw.register('sw.js', {updateViaCache: 'none'}).catch(function (e) {
          console.log('Torvenka could not set up or check its offline copy: ' + e);
        });
      };
      if (document.readyState === 'complete') keep();
      else window.addEventListener('load', keep);
    }
  }

  // A new build of the site may have been kept while a page of the old one
  // was open; it waits, so that no open page gets some files of each. This
  // page holds the lock, so no other page of the site plays: the new build
  // takes over now, and the page comes again from it, before any of the old
  // build's game has loaded.
  function start(soleTab) {
    var sw = workers();
    if (!soleTab || !sw || !sw.controller) {
      load();
      return;
    }
    // Only this copy's own registration: a copy in a folder under another
    // (/a/b/ under /a/) is controlled by the enclosing copy's worker until
    // its own takes over, and must never tell that copy's waiting build to
    // take over the enclosing copy's open pages.
    var scope = new URL('./', location.href).href;
    sw.getRegistration(scope).then(function (reg) {
      if (!reg || reg.scope !== scope || !reg.waiting) {
        load();
        return;
      }
      var reloading = false;
      sw.addEventListener('controllerchange', function () {
        reloading = true;
        // The lock is let go first, so that the page that comes again
        // finds it free.
        unlock().then(function () { location.reload(); });
      });
      reg.waiting.postMessage('take over');
      // Should the new build never take over, the old one plays.
      setTimeout(function () { if (!reloading) load(); }, 5000);
    }).catch(load);
  }

  // The game's code is fetched and compiled as it streams in while the lock
  // is asked for (and torvenka.js fetched, which index.html asks for first
  // thing), rather than after: the title comes that much sooner. Should that fail (a host that
  // gives the file another type than application/wasm), it is fetched once
  // more and compiled whole. Meanwhile the page is laid out and the canvas
  // gets the context the game draws with (library_torvenka.js asks for the
  // same), work that the title's first frame would otherwise wait for.
  var wasm = 'torvenka.wasm';
  var compiled = typeof WebAssembly.compileStreaming === 'function' ?
    WebAssembly.compileStreaming(fetch(wasm, {credentials: 'same-origin'})) : Promise.reject();
  compiled.catch(function () {});
  try {
    document.getElementById('canvas').getContext('2d', {alpha: false});
    getComputedStyle(document.body).getPropertyValue('padding-top');
    document.body.getBoundingClientRect();
  } catch (e) {}

  // One copy per user, as far as a browser lets a page know: the first tab
  // of this copy of the site holds the lock for as long as it is open. The
  // lock is named for the site's folder, the scope of its service worker,
  // so another copy on the same origin (at another path) plays beside it,
  // with its own offline copy. A frame that the browser refuses the lock
  // (one without an origin of its own) plays without the check.
  var begun = false;
  var unlock = function () { return Promise.resolve(); };
  function begin(soleTab) {
    if (begun) return;
    begun = true;
    start(soleTab);
  }
  var locks = null;
  try {
    locks = navigator.locks && navigator.locks.request ? navigator.locks : null;
  } catch (e) {
    locks = null;
  }
  if (!locks) {
    begin(false);
    return;
  }
  var name = 'torvenka ' + new URL('./', location.href).pathname;
  var held;
  // Held until the page goes, or lets it go (see start).
  function play(lock) {
    var letGo;
    var holding = new Promise(function (resolve) { letGo = resolve; });
    unlock = function () {
      letGo();
      return held.catch(function () {});
    };
    begin(true);
    return holding;
  }
  try {
    held = locks.request(name, {ifAvailable: true}, function (lock) {
      if (lock) return play(lock);
      torvenkaSay('Torvenka is already playing in another tab or window of this browser.');
      // The lock is waited for: it comes once that tab is closed, and at
      // once where the holder was this very tab before a reload or a link
      // opened in it (the browser lets a page's lock go a moment after the
      // page is gone, and the page after it may ask first).
      held = locks.request(name, function (lock) {
        torvenkaSay('');
        return play(lock);
      });
      held.catch(function () {});
    });
    held.catch(function () { begin(false); });
  } catch (e) {
    begin(false);
  }
}

// A dive stands on a history entry of its own (library_torvenka.js) and
// gives it back as it ends; a page reloaded during a dive, or come back to
// from a page it went on to, opens on that entry instead. It goes back off
// it to the entry it came with first (the same page, so the browser mostly
// only tells it so with a popstate, else loads it again), and only then
// plays: the tab's history never grows with dives, and one Back leaves.
(function () {
  if (!(history.state && history.state.torvenkaDive)) {
    torvenkaPlay();
    return;
  }
  var played = false;
  function play() {
    if (played) return;
    played = true;
    window.removeEventListener('popstate', play);
    torvenkaPlay();
  }
  window.addEventListener('popstate', play);
  history.back();
  // Should the browser not go back, the page plays where it is.
  setTimeout(play, 2000);
})();
