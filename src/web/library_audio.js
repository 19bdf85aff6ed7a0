// The page's audio on WebAudio (linked with --js-library); the C++ side
// declares these functions in web/page.h. Only what a browser must do is
// here: fetch a file and decode it into a buffer, start a buffer at an
// offset and stop it, suspend and resume the AudioContext, and report back
// to the C++ back end (web/web_audio_back_end.*), which keeps the channels,
// their rules and their results. Nothing sounds before the player's first
// press on the game: browsers start a page's audio only then.

mergeInto(LibraryManager.library, {
  $TorvenkaAudio__deps: ['$TorvenkaPage'],
  $TorvenkaAudio: {
    ctx: null,
    buffers: {},  // decoded files, by the back end's number for them
    voices: {},   // the buffers playing, by the back end's number for them
    unlocked: false,
    paused: false,
    // The one place that writes the sound log the page's watchers read:
    // {t, op, alias, detail, result} for a command, {t, op: 'sounding',
    // alias, url, from, state} when a buffer starts, {t, op: 'hidden' or
    // 'shown', detail: the context's state} when the page hides or shows.
    report: function(entry) { TorvenkaPage.report('sound', entry); },
  },

  // The AudioContext, and the files' fetching, wait until the title's
  // first frame is on the screen (TorvenkaPage.afterFirstFrame): making the
  // context takes tens of milliseconds, and nothing sounds before the
  // player's first press anyway. A browser with no WebAudio plays silent
  // from the start; one whose context cannot be made then finds every
  // file failed.
  torvenka_audio_init__deps: ['$TorvenkaAudio', '$TorvenkaPage'],
  torvenka_audio_init: function() {
    var A = TorvenkaAudio;
    var AC = window.AudioContext || window.webkitAudioContext;
    if (!AC) return 0;
    TorvenkaPage.afterFirstFrame(function() {
      try {
        A.ctx = new AC();
      } catch (e) {
        A.ctx = null;
      }
      if (A.ctx && A.unlocked && !A.paused && A.ctx.state === 'suspended') A.ctx.resume();
    });
    return 1;
  },

  torvenka_audio_fetch__deps: ['$TorvenkaAudio', '$TorvenkaPage', 'web_audio_arrived', 'web_audio_decoded',
                               'web_audio_failed'],
  torvenka_audio_fetch: function(sound, urlP) {
    var A = TorvenkaAudio;
    var url = UTF8ToString(urlP);
    TorvenkaPage.afterFirstFrame(function() {
      fetch(url).then(function(r) {
        if (!r.ok) throw new Error(r.status);
        return r.arrayBuffer();
      }).then(function(bytes) {
        _web_audio_arrived(sound);
        if (!A.ctx) throw new Error('no audio');
        return new Promise(function(ok, fail) { A.ctx.decodeAudioData(bytes, ok, fail); });
      }).then(function(buffer) {
        A.buffers[sound] = buffer;
        _web_audio_decoded(sound, buffer.duration * 1000);
      }, function() {
        _web_audio_failed(sound);
      });
    });
  },

  torvenka_audio_start__deps: ['$TorvenkaAudio', 'web_audio_ended'],
  torvenka_audio_start: function(voice, sound, fromMs) {
    var A = TorvenkaAudio;
    var buffer = A.buffers[sound];
    if (!A.ctx || !buffer) return 0;
    var s;
    try {
      s = A.ctx.createBufferSource();
      s.buffer = buffer;
      s.connect(A.ctx.destination);
      s.start(0, fromMs / 1000);
    } catch (e) {
      return 0;
    }
    s.onended = function() {
      if (A.voices[voice] !== s) return;
      delete A.voices[voice];
      _web_audio_ended(voice);
    };
    A.voices[voice] = s;
    return 1;
  },

  torvenka_audio_halt__deps: ['$TorvenkaAudio'],
  torvenka_audio_halt: function(voice) {
    var A = TorvenkaAudio;
    var s = A.voices[voice];
    if (!s) return;
    delete A.voices[voice];
    try { s.stop(); } catch (e) {}
    s.disconnect();
  },

  torvenka_audio_clock__deps: ['$TorvenkaAudio'],
  torvenka_audio_clock: function() { return TorvenkaAudio.ctx ? TorvenkaAudio.ctx.currentTime * 1000 : 0; },

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
    done.then(function() {
      A.report({t: performance.now(), op: A.paused ? 'hidden' : 'shown', alias: '', detail: A.ctx.state, result: 0});
    });
  },

  torvenka_audio_say__deps: ['$TorvenkaPage'],
  torvenka_audio_say: function(text) { TorvenkaPage.say(UTF8ToString(text)); },

  torvenka_audio_report__deps: ['$TorvenkaAudio'],
  torvenka_audio_report: function(opP, aliasP, detailP, number, result) {
    var A = TorvenkaAudio;
    var op = UTF8ToString(opP), alias = UTF8ToString(aliasP), detail = UTF8ToString(detailP);
    var entry = {t: performance.now(), op: op, alias: alias};
    if (op === 'sounding') {
      entry.url = detail;
      entry.from = number;
      entry.state = A.ctx.state;
    } else {
      entry.detail = isNaN(number) ? detail : number;
      entry.result = result;
    }
    A.report(entry);
  },
});
