// The page's side of Torvenka's web front end (linked with --js-library):
// the canvas and the wake-ups the loop asks for. The sound channels are in
// library_audio.js. The C++ side declares these functions in web/page.h.

mergeInto(LibraryManager.library, {
  $TorvenkaPage: {
    scale: 1,
    ctx2d: null,
    image: null,
    // What the page did (kind 'sound': what the sound channels did), for a
    // watcher. The page that ships has none; the test build's
    // library_watch.js puts one here.
    report: function(kind, entry) {},
    // One line on the page for the player; the page defines torvenkaSay.
    say: function(text) {
      if (typeof torvenkaSay === 'function') torvenkaSay(text);
      else console.log(text);
    },
    canvas: function() { return document.getElementById('canvas'); },
    // What the title screen does not need (the sounds, the page's icon)
    // waits until its first frame has been put on the canvas and painted,
    // so that the title comes as soon as the game's code has come.
    painted: false,
    later: [],
    afterFirstFrame: function(fn) {
      if (TorvenkaPage.painted) fn();
      else TorvenkaPage.later.push(fn);
    },
    firstFramePut: function() {
      var P = TorvenkaPage;
      var done = false;
      var go = function() {
        if (done) return;
        done = true;
        P.painted = true;
        P.later.splice(0).forEach(function(fn) { fn(); });
      };
      // After the paint that shows it; a hidden page paints nothing, and
      // goes on after a while all the same.
      requestAnimationFrame(function() { setTimeout(go, 0); });
      setTimeout(go, 250);
    },
    help: function() { return document.getElementById('howto'); },
    // Whether the mouse is on the game, or the game holds its press.
    mouseOnGame: false,
    HELP_GAP: 16,  // CSS pixels between how to play and the canvas beside it
    // How to play goes where the game leaves room (CSS pixels: `below` high
    // under the canvas and the status line, `roomW` wide for a canvas
    // `canvasW` wide in the middle), never over it: under the status line
    // when it fits there whole (one action a line, or else run together),
    // else in the band beside the canvas (a phone on its side), else
    // nowhere. Its box keeps the size it is given here when it folds or
    // opens, so nothing moves the canvas while the game plays. Returns the
    // height it takes under the canvas; beside the canvas it is put by
    // placeHelpBeside once the canvas has its place.
    placeHelp: function(roomW, below, canvasW) {
      var help = TorvenkaPage.help();
      if (!help) return 0;
      var NARROWEST = 120;
      var open = help.open;
      help.open = true;
      help.style.height = help.style.width = help.style.left = help.style.top = '';
      var taken = 0;
      var place = ['below', 'below-run'].find(function(p) {
        help.setAttribute('data-place', p);
        var hs = getComputedStyle(help);
        var height = help.getBoundingClientRect().height;
        taken = height + (parseFloat(hs.marginTop) || 0) + (parseFloat(hs.marginBottom) || 0);
        if (taken > below) return false;
        help.style.height = height + 'px';
        return true;
      });
      if (!place) {
        taken = 0;
        var band = (roomW - canvasW) / 2 - 2 * TorvenkaPage.HELP_GAP;
        if (band >= NARROWEST) {
          help.setAttribute('data-place', 'beside');
          help.style.width = band + 'px';
        } else {
          help.removeAttribute('data-place');
        }
      }
      help.open = open;
      return taken;
    },
    // How to play in the band right of the canvas, level with its top where
    // it is no higher than the canvas, else as near level as the page lets
    // it be; a page lower than how to play (a window zoomed in) gets it in
    // a box of the page's height that scrolls. A page too low even for a
    // few of its lines has it nowhere.
    placeHelpBeside: function() {
      var help = TorvenkaPage.help();
      if (!help || help.getAttribute('data-place') !== 'beside') return;
      var LOWEST = 100;
      var open = help.open;
      help.open = true;
      var r = TorvenkaPage.canvas().getBoundingClientRect();
      var style = getComputedStyle(document.body);
      var roomTop = parseFloat(style.paddingTop) || 0;
      var roomBottom = window.innerHeight - (parseFloat(style.paddingBottom) || 0);
      var height = help.getBoundingClientRect().height;
      if (roomBottom - roomTop < Math.min(height, LOWEST)) {
        help.removeAttribute('data-place');
      } else {
        if (height > roomBottom - roomTop) {
          height = roomBottom - roomTop;
          help.style.height = height + 'px';
        }
        help.style.left = (r.right + TorvenkaPage.HELP_GAP) + 'px';
        help.style.top = Math.max(roomTop, Math.min(r.top, roomBottom - height)) + 'px';
      }
      help.open = open;
    },
  },

  torvenka_utc_time_of_day_ms: function() {
    var d = new Date();
    return ((d.getUTCHours() * 60 + d.getUTCMinutes()) * 60 + d.getUTCSeconds()) * 1000 + d.getUTCMilliseconds();
  },

  torvenka_put_frame__deps: ['$TorvenkaPage'],
  torvenka_put_frame: function(rgba, w, h) {
    var P = TorvenkaPage;
    if (!P.ctx2d) {
      // page.js has made it already, while the page waited for its lock.
      P.ctx2d = P.canvas().getContext('2d', {alpha: false});
      P.image = P.ctx2d.createImageData(w, h);
      P.image.data.set(HEAPU8.subarray(rgba, rgba + w * h * 4));
      P.ctx2d.putImageData(P.image, 0, 0);
      P.firstFramePut();
      return;
    }
    P.image.data.set(HEAPU8.subarray(rgba, rgba + w * h * 4));
    P.ctx2d.putImageData(P.image, 0, 0);
  },

  // The canvas holds the game's own pixels; its size on the page makes each
  // of them an N x N block of device pixels, drawn without smoothing
  // (image-rendering: pixelated in the page's style). N is the largest whole
  // number that fits the visible area left by the page's padding (which
  // keeps clear of a phone's notch and rounded corners) and the status line
  // below; an N asked for with ?scale=N is taken when it fits too. A turned
  // phone or a resized window fits the game again, places how to play again,
  // and shows the about line or hides it.
  torvenka_fit_canvas__deps: ['$TorvenkaPage'],
  torvenka_fit_canvas: function(w, h) {
    var P = TorvenkaPage;
    if (!P.refitting) {
      P.refitting = true;
      var refit = function() { _torvenka_fit_canvas(w, h); };
      window.addEventListener('orientationchange', refit);
      if (window.visualViewport) window.visualViewport.addEventListener('resize', refit);
    }
    var c = P.canvas();
    var dpr = window.devicePixelRatio || 1;
    var style = getComputedStyle(document.body);
    var roomW = window.innerWidth - (parseFloat(style.paddingLeft) || 0) - (parseFloat(style.paddingRight) || 0);
    var roomH = window.innerHeight - (parseFloat(style.paddingTop) || 0) - (parseFloat(style.paddingBottom) || 0);
    var line = document.getElementById('status');
    var lineH = 0, lineStep = 0;
    if (line) {
      line.style.minHeight = '';
      var ls = getComputedStyle(line);
      lineH = line.getBoundingClientRect().height;
      lineStep = parseFloat(ls.lineHeight) || 0;
      roomH -= lineH + (parseFloat(ls.marginTop) || 0) + (parseFloat(ls.marginBottom) || 0);
    }
    var fits = Math.floor(Math.min(roomW * dpr / w, roomH * dpr / h));
    if (!(fits >= 1)) fits = 1;
    var asked = /[?&]scale=(\d+)/.exec(location.search);
    var n = asked ? Math.max(1, Math.min(parseInt(asked[1], 10), fits)) : fits;
    c.style.width = (w * n / dpr) + 'px';
    c.style.height = (h * n / dpr) + 'px';
    P.scale = n;
    // The status line's text comes and goes (the sounds' loading takes two
    // lines on a phone held upright): where the room allows, the line keeps
    // room for two, so that the canvas does not move as the text changes.
    var spare = roomH - h * n / dpr;
    if (line) {
      var extra = Math.max(0, Math.min(2 * lineStep - lineH, spare));
      line.style.minHeight = (lineH + extra) + 'px';
      spare -= extra;
    }
    spare -= P.placeHelp(roomW, spare, w * n / dpr);
    // The about line (the version and the credits) takes the room the game
    // and how to play leave under the status line, or stays hidden: it
    // never makes the game smaller.
    var about = document.getElementById('about');
    if (about) {
      about.hidden = false;
      var as = getComputedStyle(about);
      var aboutH = about.getBoundingClientRect().height + (parseFloat(as.marginTop) || 0) +
                   (parseFloat(as.marginBottom) || 0);
      about.hidden = spare < aboutH;
    }
    P.placeHelpBeside();
  },

  torvenka_set_icon: function(rgba, size) {
    var c = document.createElement('canvas');
    c.width = c.height = size;
    var ctx = c.getContext('2d');
    var image = ctx.createImageData(size, size);
    image.data.set(HEAPU8.subarray(rgba, rgba + size * size * 4));
    ctx.putImageData(image, 0, 0);
    var link = document.querySelector('link[rel="icon"]') || document.createElement('link');
    link.rel = 'icon';
    link.type = 'image/png';
    link.href = c.toDataURL('image/png');
    document.head.appendChild(link);
  },

  torvenka_after_first_frame__deps: ['$TorvenkaPage', 'web_title_shown'],
  torvenka_after_first_frame: function() {
    TorvenkaPage.afterFirstFrame(function() { _web_title_shown(); });
  },

  // The pointer: Pointer Events, so that a mouse, a pen and fingers come the
  // same way. Everything is heard on the whole document, presses made off
  // the canvas too (the game's pointer input keeps them from the game), and
  // a press the game takes captures its pointer, so a drag is followed out
  // of the canvas and out of the window. Each event goes to the game's
  // pointer input (web/pointer_input.h) in game pixels, fractions kept, with
  // the canvas's corner on the screen; it answers whether to capture the
  // pointer, and whether the game holds its press. The codes of the events'
  // and the pointers' kinds, and of the answer's bits, are the game's own,
  // handed over by main.cpp.
  torvenka_listen_pointers__deps: ['$TorvenkaPage', 'web_pointer', 'torvenka_audio_unlock'],
  torvenka_listen_pointers: function(w, h, DOWN, MOVE, UP, CANCEL, MOUSE, PEN, TOUCH, CAPTURE, GAMES) {
    var canvas = TorvenkaPage.canvas();
    var kinds = {pointerdown: DOWN, pointermove: MOVE, pointerup: UP, pointercancel: CANCEL};
    var types = {mouse: MOUSE, pen: PEN, touch: TOUCH};
    function handle(e) {
      var kind = kinds[e.type];
      var onCanvas = e.target === canvas;
      // The player's gesture: the page may make sound from now on.
      if (kind === DOWN || kind === UP) _torvenka_audio_unlock();
      var r = canvas.getBoundingClientRect();
      var x = 0, y = 0;
      if (r.width > 0 && r.height > 0) {
        x = (e.clientX - r.left) * w / r.width;
        y = (e.clientY - r.top) * h / r.height;
      } else if (kind === UP || kind === CANCEL) {
        // A canvas with no size places nothing; a release then ends its
        // press without a click, rather than leaving it held.
        kind = CANCEL;
      } else {
        return;
      }
      // Any other kind of pointer is taken as a mouse.
      var type = Object.prototype.hasOwnProperty.call(types, e.pointerType) ? types[e.pointerType] : MOUSE;
      var answer = _web_pointer(kind, type, e.pointerId, e.isPrimary ? 1 : 0, e.button,
                                e.buttons, x, y, onCanvas ? 1 : 0, Math.round(e.screenX - e.clientX + r.left),
                                Math.round(e.screenY - e.clientY + r.top));
      if (e.pointerType === 'mouse') {
        TorvenkaPage.mouseOnGame = (answer & GAMES) !== 0 || (x >= 0 && y >= 0 && x < w && y < h);
      }
      if (answer & CAPTURE) {
        try { canvas.setPointerCapture(e.pointerId); } catch (err) {}
      }
      // No text selection, no dragging of the canvas, no autoscroll.
      if (kind === DOWN && onCanvas) e.preventDefault();
      // A back or forward button pressed on the game, or while the game
      // holds the pointer's press, is the game's: going back would lose the
      // dive (the page holds a lock, so no browser keeps it to come back to).
      // Chromium goes back on its release, unless the page keeps that event
      // (a pointerup, or the move of a chord) from it. Elsewhere the button
      // is the browser's.
      if ((e.button === 3 || e.button === 4) && (onCanvas || (answer & GAMES))) e.preventDefault();
    }
    ['pointerdown', 'pointermove', 'pointerup', 'pointercancel'].forEach(function(type) {
      document.addEventListener(type, handle);
    });
    document.addEventListener('pointerout', function(e) {
      if (e.pointerType === 'mouse' && !e.relatedTarget) TorvenkaPage.mouseOnGame = false;  // out of the window
    });
    // WebKit lets a page start its sound only at the end of a touch.
    document.addEventListener('touchend', function() { _torvenka_audio_unlock(); });
  },

  // Wake-ups. The C++ side (web/wake_aim.h) says how long a timer to set,
  // and how long a worker's (wake.js) beside it, if any (while a finger is
  // on the screen or has just left it, set as the wake-up is asked for or as
  // the finger comes); whichever comes
  // back first brings the page back, and the other then finds its wake-up
  // taken and does nothing. Chromium holds the page's own timers back for
  // tens of milliseconds as a finger touches the screen or leaves it, but
  // not the worker's messages. From there, messages the page posts to itself
  // bridge what is left to the gate, checking the clock each round, so
  // the loop never steps early.
  $TorvenkaWake: {
    generation: 0,
    armed: 0,    // the generation whose timers are out, 0 when none is
    target: 0,
    channel: null,
    worker: undefined,  // null where the page can have none (a frame with no origin of its own)
    startWorker: function() {
      try {
        var worker = new Worker('wake.js');
        worker.onmessage = function(e) { TorvenkaWake.back(e.data); };
        worker.onerror = function() { TorvenkaWake.worker = null; };
        return worker;
      } catch (e) {
        return null;
      }
    },
    // The worker's timer for the wake-up whose own timer is out.
    workerTimer: function(delay) {
      var W = TorvenkaWake;
      if (delay < 1 || !W.armed) return;
      if (W.worker === undefined) W.worker = W.startWorker();
      if (W.worker) W.worker.postMessage([W.armed, delay]);
    },
    post: function() {
      if (!TorvenkaWake.channel) {
        TorvenkaWake.channel = new MessageChannel();
        TorvenkaWake.channel.port1.onmessage = function(e) { TorvenkaWake.check(e.data); };
      }
      TorvenkaWake.channel.port2.postMessage(TorvenkaWake.generation);
    },
    // A timer of `generation` came back, the page's own or the worker's.
    back: function(generation) {
      var W = TorvenkaWake;
      if (generation !== W.armed) return;
      W.armed = 0;
      _web_timer_back(performance.now());
      W.check(generation);
    },
    check: function(generation) {
      if (generation !== TorvenkaWake.generation) return;
      if (performance.now() >= TorvenkaWake.target) _web_woken();
      else TorvenkaWake.post();
    },
  },
  torvenka_wake_at__deps: ['$TorvenkaWake', 'web_woken', 'web_timer_back'],
  torvenka_wake_at: function(moment, delay, workerDelay) {
    var W = TorvenkaWake;
    var generation = ++W.generation;
    W.target = moment;
    if (delay < 1) {
      W.armed = 0;
      W.post();
      return;
    }
    W.armed = generation;
    setTimeout(function() { W.back(generation); }, delay);
    W.workerTimer(workerDelay);
  },
  torvenka_wake_worker__deps: ['$TorvenkaWake'],
  torvenka_wake_worker: function(delay) {
    TorvenkaWake.workerTimer(delay);
  },
  torvenka_wake_cancel__deps: ['$TorvenkaWake'],
  torvenka_wake_cancel: function() {
    ++TorvenkaWake.generation;
    TorvenkaWake.armed = 0;
  },

  // The screen stays lit while the diver is down (the Screen Wake Lock API,
  // where there is one); the lock is let go at the end of the dive. A page
  // that is hidden loses its lock, so it is asked for again when shown.
  $TorvenkaAwake: {
    wanted: false,
    lock: null,
    asking: false,
    ask: function() {
      var A = TorvenkaAwake;
      if (!A.wanted || A.lock || A.asking || document.hidden) return;
      if (!(navigator.wakeLock && navigator.wakeLock.request)) return;
      A.asking = true;
      navigator.wakeLock.request('screen').then(function(lock) {
        A.asking = false;
        A.lock = lock;
        lock.addEventListener('release', function() { if (A.lock === lock) A.lock = null; });
        if (!A.wanted) A.letGo();
      }, function() { A.asking = false; });
    },
    letGo: function() {
      var A = TorvenkaAwake;
      if (A.lock) {
        var lock = A.lock;
        A.lock = null;
        lock.release().catch(function() {});
      }
    },
  },

  // Going back during the dive. Where the browser tells the page of a back
  // or forward button's press (Chromium), the pointer listener keeps one
  // pressed on the game from the browser; Firefox on Linux goes back without
  // a word to the page. So while the diver is down the page stands on an
  // entry of its own in the tab's history: going back from it stays on the
  // page, and if the mouse was on the game the entry is put back and the
  // dive goes on; otherwise the page goes on back, where the player was
  // going. The page holds that one entry only while the diver is down and
  // gives it back as the dive ends (a page that reloads or comes back on it
  // goes back off it first, page.js), so the tab's history never grows with
  // dives and one press of Back always leaves the game. A page in another
  // site's frame stands on no entry: its entries would join the host's
  // history, and a host that takes the frame away would be left with a dead
  // one.
  $TorvenkaStay__postset: "if (typeof window !== 'undefined') window.addEventListener('popstate', function () { TorvenkaStay.popped(); });",
  $TorvenkaStay: {
    diving: false,
    standing: false,  // on the page's own history entry
    framed: function() {
      try {
        return window.self !== window.top;
      } catch (e) {
        return true;
      }
    },
    stand: function() {
      if (TorvenkaStay.framed()) return;
      try {
        history.pushState({torvenkaDive: true}, '');
        TorvenkaStay.standing = true;
      } catch (e) {}
    },
    // Off the page's own entry, back to the one the page came with.
    giveBack: function() {
      var S = TorvenkaStay;
      if (!S.standing) return;
      S.standing = false;
      history.back();
    },
    popped: function() {
      var S = TorvenkaStay;
      if (!S.standing) {
        // Come onto a dive's entry by going forward (one given back as its
        // dive ended, or left by a page reloaded in a dive): it is the page's
        // only while the diver is down; otherwise the page goes back off it.
        if (history.state && history.state.torvenkaDive) {
          if (S.diving) S.standing = true;
          else history.back();
        }
        return;
      }
      S.standing = false;
      if (S.diving && TorvenkaPage.mouseOnGame) S.stand();
      else history.back();
    },
  },

  // The diver is down (on: the dive begins) or the dive is over (off): the
  // screen is kept lit meanwhile, how to play folds away as it begins, and
  // the page stands on its own history entry.
  torvenka_diving__deps: ['$TorvenkaAwake', '$TorvenkaStay', '$TorvenkaPage'],
  torvenka_diving: function(on) {
    var A = TorvenkaAwake, S = TorvenkaStay;
    if (!A.listening) {
      A.listening = true;
      document.addEventListener('visibilitychange', function() { A.ask(); });
    }
    A.wanted = S.diving = !!on;
    if (A.wanted) A.ask();
    else A.letGo();
    if (on) {
      var help = TorvenkaPage.help();
      if (help) help.open = false;
      if (!S.standing) S.stand();
    } else {
      S.giveBack();
    }
  },
});
