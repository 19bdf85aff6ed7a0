// The page's two sound channels on WebAudio (linked with --js-library); the
// C++ side declares these functions in web/page.h.

mergeInto(LibraryManager.library, {
  // The sound channels. Every file the game names is fetched and decoded
  // once, when the page loads; an alias is a channel that holds one decoded
  // file and plays it once through. The results are the desktop's: 0 done,
  // 1 no audio, 3 alias not open (or already open), 4 file missing or
  // broken, 5 position past the end. Nothing sounds before the player's
  // first press on the game: browsers start a page's audio only then.
  $TorvenkaAudio__deps: ['$TorvenkaPage'],
  $TorvenkaAudio: {
    ctx: undefined,
    sounds: {},
    channels: {},
    missing: [],
    unlocked: false,
    paused: false,
    context: function() {
      var A = TorvenkaAudio;
      if (A.ctx !== undefined) return A.ctx;
      A.ctx = null;
      try {
        var AC = window.AudioContext || window.webkitAudioContext;
        if (AC) A.ctx = new AC();
      } catch (e) {
        A.ctx = null;
      }
      if (!A.ctx) TorvenkaPage.say('This browser gives the page no audio: Torvenka plays silent.');
      return A.ctx;
    },
    // The themes are played from the .ogg renders of the .mid files.
    url: function(file) { return file.replace(/\.mid$/i, '.ogg'); },
    load: function(file) {
      var A = TorvenkaAudio;
      var url = A.url(file);
      if (A.sounds[url]) return A.sounds[url];
      var sound = {url: url, state: 'loading', buffer: null, waiting: []};
      A.sounds[url] = sound;
      var ctx = A.context();
      if (!ctx) {
        sound.state = 'failed';
        return sound;
      }
      fetch(url).then(function(r) {
        if (!r.ok) throw new Error(r.status);
        return r.arrayBuffer();
      }).then(function(bytes) {
        return new Promise(function(ok, fail) { ctx.decodeAudioData(bytes, ok, fail); });
      }).then(function(buffer) {
        sound.buffer = buffer;
        sound.state = 'ready';
        var waiting = sound.waiting;
        sound.waiting = [];
        waiting.forEach(function(ch) {
          if (A.channels[ch.alias] === ch && ch.pendingFrom !== null) {
            var from = ch.pendingFrom;
            ch.pendingFrom = null;
            A.start(ch, from);
          }
        });
      }).catch(function() {
        sound.state = 'failed';
        sound.waiting = [];
        A.missing.push(url);
        TorvenkaPage.say('Not on this site or not playable: ' + A.missing.join(', ') +
                         '. The game plays on without ' + (A.missing.length > 1 ? 'them.' : 'it.'));
      });
      return sound;
    },
    halt: function(ch) {
      ch.pendingFrom = null;
      if (ch.source) {
        var s = ch.source;
        ch.source = null;
        try { s.stop(); } catch (e) {}
        s.disconnect();
      }
    },
    start: function(ch, fromMs) {
      var A = TorvenkaAudio;
      var offset = fromMs / 1000;
      if (offset >= ch.sound.buffer.duration) return 5;
      var s = A.ctx.createBufferSource();
      s.buffer = ch.sound.buffer;
      s.connect(A.ctx.destination);
      s.onended = function() { if (ch.source === s) ch.source = null; };
      s.start(0, offset);
      ch.source = s;
      TorvenkaPage.report('sound', {op: 'sounding', alias: ch.alias, url: ch.sound.url, state: A.ctx.state});
      return 0;
    },
    log: function(op, alias, detail, result) {
      TorvenkaPage.report('sound', {op: op, alias: alias, detail: detail, result: result});
      return result;
    },
  },

  torvenka_audio_preload__deps: ['$TorvenkaAudio'],
  torvenka_audio_preload: function(file) { TorvenkaAudio.load(UTF8ToString(file)); },

  torvenka_audio_unlock__deps: ['$TorvenkaAudio'],
  torvenka_audio_unlock: function() {
    var A = TorvenkaAudio;
    A.unlocked = true;
    if (A.ctx && A.ctx.state === 'suspended' && !A.paused) A.ctx.resume();
  },

  // A hidden page holds its sound where it is, as it holds the dive.
  torvenka_audio_pause__deps: ['$TorvenkaAudio'],
  torvenka_audio_pause: function(paused) {
    var A = TorvenkaAudio;
    A.paused = !!paused;
    if (!A.ctx || !A.unlocked) return;
    var done = A.paused ? A.ctx.suspend() : A.ctx.resume();
    done.then(function() { A.log(A.paused ? 'hidden' : 'shown', '', A.ctx.state, 0); });
  },

  torvenka_audio_open__deps: ['$TorvenkaAudio'],
  torvenka_audio_open: function(fileP, aliasP) {
    var A = TorvenkaAudio;
    var file = UTF8ToString(fileP), alias = UTF8ToString(aliasP);
    if (!A.context()) return A.log('open', alias, file, 1);
    if (A.channels[alias]) return A.log('open', alias, file, 3);
    var kind = /\.mid$/i.test(file) ? 'music' : /\.wav$/i.test(file) ? 'effect' : null;
    if (!kind) return A.log('open', alias, file, 4);
    var sound = A.load(file);
    if (sound.state === 'failed') return A.log('open', alias, file, 4);
    A.channels[alias] = {alias: alias, kind: kind, sound: sound, source: null, pendingFrom: null};
    return A.log('open', alias, file, 0);
  },

  torvenka_audio_play__deps: ['$TorvenkaAudio'],
  torvenka_audio_play: function(aliasP, fromMs) {
    var A = TorvenkaAudio;
    var alias = UTF8ToString(aliasP);
    var ch = A.channels[alias];
    if (!ch) return A.log('play', alias, fromMs, 3);
    A.halt(ch);
    // One music stream, as on the desktop: a piece cuts off any other.
    if (ch.kind === 'music') {
      for (var other in A.channels)
        if (A.channels[other] !== ch && A.channels[other].kind === 'music') A.halt(A.channels[other]);
    }
    if (ch.sound.state === 'ready') return A.log('play', alias, fromMs, A.start(ch, fromMs));
    if (ch.sound.state === 'failed') return A.log('play', alias, fromMs, 4);
    // Still on its way: it starts when it is decoded, unless stopped first.
    ch.pendingFrom = fromMs;
    ch.sound.waiting.push(ch);
    return A.log('play', alias, fromMs, 0);
  },

  torvenka_audio_stop__deps: ['$TorvenkaAudio'],
  torvenka_audio_stop: function(aliasP) {
    var A = TorvenkaAudio;
    var alias = UTF8ToString(aliasP);
    var ch = A.channels[alias];
    if (!ch) return A.log('stop', alias, '', 3);
    A.halt(ch);
    return A.log('stop', alias, '', 0);
  },

  torvenka_audio_close__deps: ['$TorvenkaAudio'],
  torvenka_audio_close: function(aliasP) {
    var A = TorvenkaAudio;
    var alias = UTF8ToString(aliasP);
    var ch = A.channels[alias];
    if (!ch) return A.log('close', alias, '', 3);
    A.halt(ch);
    delete A.channels[alias];
    return A.log('close', alias, '', 0);
  },
});
