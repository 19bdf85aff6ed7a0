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
  },

  torvenka_utc_time_of_day_ms: function() {
    var d = new Date();
    return ((d.getUTCHours() * 60 + d.getUTCMinutes()) * 60 + d.getUTCSeconds()) * 1000 + d.getUTCMilliseconds();
  },

  torvenka_put_frame__deps: ['$TorvenkaPage'],
  torvenka_put_frame: function(rgba, w, h) {
    var P = TorvenkaPage;
    if (!P.ctx2d) {
      P.ctx2d = P.canvas().getContext('2d', {alpha: false});
      P.image = P.ctx2d.createImageData(w, h);
    }
    P.image.data.set(HEAPU8.subarray(rgba, rgba + w * h * 4));
    P.ctx2d.putImageData(P.image, 0, 0);
  },

  // The canvas holds the game's own pixels; its size on the page makes each
  // of them an N x N block of device pixels, drawn without smoothing
  // (image-rendering: pixelated in the page's style).
  torvenka_fit_canvas__deps: ['$TorvenkaPage'],
  torvenka_fit_canvas: function(w, h) {
    var c = TorvenkaPage.canvas();
    var dpr = window.devicePixelRatio || 1;
    var asked = /[?&]scale=(\d+)/.exec(location.search);
    var n = asked ? parseInt(asked[1], 10) : 0;
    if (!(n >= 1)) {
      var line = document.getElementById('status');
      var room = line ? line.getBoundingClientRect().height + 8 : 0;
      n = Math.floor(Math.min(window.innerWidth * dpr / w, (window.innerHeight - room) * dpr / h));
      if (!(n >= 1)) n = 1;
    }
    c.style.width = (w * n / dpr) + 'px';
    c.style.height = (h * n / dpr) + 'px';
    TorvenkaPage.scale = n;
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

  torvenka_canvas_rect__deps: ['$TorvenkaPage'],
  torvenka_canvas_rect: function(out) {
    var r = TorvenkaPage.canvas().getBoundingClientRect();
    HEAPF64[out >> 3] = r.left;
    HEAPF64[(out >> 3) + 1] = r.top;
    HEAPF64[(out >> 3) + 2] = r.width;
    HEAPF64[(out >> 3) + 3] = r.height;
  },

  // Wake-ups. A timer takes the page to the gate; browsers count its delay
  // in whole milliseconds, rounded down, so it mostly comes back a fraction
  // of a millisecond early, and messages the page posts to itself (each
  // round a few microseconds) bridge the rest. Timers alone would not do:
  // Chromium makes a short timer that is set again and again wait 4 ms.
  $TorvenkaWake: {
    generation: 0,
    target: 0,
    channel: null,
    post: function() {
      if (!TorvenkaWake.channel) {
        TorvenkaWake.channel = new MessageChannel();
        TorvenkaWake.channel.port1.onmessage = function(e) { TorvenkaWake.check(e.data); };
      }
      TorvenkaWake.channel.port2.postMessage(TorvenkaWake.generation);
    },
    check: function(generation) {
      if (generation !== TorvenkaWake.generation) return;
      if (performance.now() >= TorvenkaWake.target) _web_turns();
      else TorvenkaWake.post();
    },
  },
  torvenka_wake_at__deps: ['$TorvenkaWake', 'web_turns'],
  torvenka_wake_at: function(moment) {
    var W = TorvenkaWake;
    var generation = ++W.generation;
    W.target = moment;
    var delay = moment - performance.now();
    if (delay >= 1) setTimeout(function() { W.check(generation); }, delay);
    else W.post();
  },
  torvenka_wake_cancel__deps: ['$TorvenkaWake'],
  torvenka_wake_cancel: function() { ++TorvenkaWake.generation; },
});
