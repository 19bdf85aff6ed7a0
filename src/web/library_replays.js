// Dives watched again, shared and saved (linked with --js-library; the C++
// side is web/replays.h, declared in web/page.h). A dive's link holds the
// whole dive in the address's fragment, which the browser never sends to the
// host; its file is the desktop's, so either plays the other's dives.
// The page's words for it are in the language how to play is shown in.

mergeInto(LibraryManager.library, {
  $TorvenkaReplays__deps: ['$TorvenkaPage', 'web_watch_again', 'web_watch_file', 'malloc', 'free'],
  $TorvenkaReplays: {
    WORDS: {
      en: {waits: 'A shared dive: click the game to watch it.', waitsTouch: 'A shared dive: tap the game to watch it.',
           again: 'Watch again', share: 'Share', save: 'Save', yourself: 'Play yourself',
           copied: 'The link is copied.', notCopied: 'The link could not be copied.',
           notRead: 'The file could not be read.'},
      ja: {waits: '共有されたダイブです。ゲームをクリックで再生。', waitsTouch: '共有されたダイブです。ゲームをタップで再生。',
           again: 'もう一度見る', share: '共有', save: '保存', yourself: '自分で遊ぶ',
           copied: 'リンクをコピーしました。', notCopied: 'リンクをコピーできませんでした。',
           notRead: 'ファイルを読めませんでした。'},
    },
    bytes: null,  // the last dive's file
    link: '',     // and its link
    words: function() {
      var help = TorvenkaPage.help();
      return TorvenkaReplays.WORDS[help && help.lang === 'ja' ? 'ja' : 'en'];
    },
    say: function(text) {
      if (typeof torvenkaSayAboutDives === 'function') torvenkaSayAboutDives(text);
      else TorvenkaPage.say(text);
    },
    // The address without its fragment, and with one.
    address: function(fragment) {
      var here = location.href;
      var hash = here.indexOf('#');
      return (hash < 0 ? here : here.slice(0, hash)) + (fragment === undefined ? '' : '#' + fragment);
    },
    row: function() { return document.getElementById('replays'); },
    // The actions after a dive, as buttons on the line under the status
    // text; `yourself` adds "Play yourself".
    offer: function(yourself) {
      var R = TorvenkaReplays, row = R.row(), w = R.words();
      if (!row) return;
      row.textContent = '';
      var act = function(label, name, what) {
        var b = document.createElement('button');
        b.type = 'button';
        b.textContent = label;
        b.setAttribute('data-act', name);
        b.addEventListener('click', what);
        row.appendChild(b);
      };
      act(w.again, 'again', function() { _web_watch_again(); });
      act(w.share, 'share', R.share);
      act(w.save, 'save', R.save);
      if (yourself) act(w.yourself, 'yourself', function() { location.replace(R.address()); });
      row.hidden = false;
    },
    // The system's share sheet where there is one (phones), else the link
    // copied, with a word that it was.
    share: function() {
      var R = TorvenkaReplays, w = R.words(), link = R.address(R.link);
      var copy = function() {
        var done = function() { R.say(w.copied); }, failed = function() { R.say(w.notCopied); };
        try {
          navigator.clipboard.writeText(link).then(done, failed);
        } catch (e) {
          failed();
        }
      };
      if (typeof navigator.share === 'function') {
        try {
          navigator.share({title: document.title, url: link}).catch(function(e) {
            // Dismissed by the player: nothing to say. Refused: copied instead.
            if (!(e && e.name === 'AbortError')) copy();
          });
          return;
        } catch (e) {}
      }
      copy();
    },
    // The same dive as a file, named for when it was saved.
    save: function() {
      var R = TorvenkaReplays;
      var d = new Date(), two = function(n) { return (n < 10 ? '0' : '') + n; };
      var a = document.createElement('a');
      a.href = URL.createObjectURL(new Blob([R.bytes], {type: 'application/octet-stream'}));
      a.download = 'torvenka-' + d.getFullYear() + two(d.getMonth() + 1) + two(d.getDate()) + '-' +
                   two(d.getHours()) + two(d.getMinutes()) + two(d.getSeconds()) + '.tvk';
      document.body.appendChild(a);
      a.click();
      a.remove();
      setTimeout(function() { URL.revokeObjectURL(a.href); }, 60000);
    },
    // A file dropped or picked: no more than a replay may hold is read.
    open: function(file, most) {
      var R = TorvenkaReplays;
      file.slice(0, most + 1).arrayBuffer().then(function(buffer) {
        var bytes = new Uint8Array(buffer);
        var at = _malloc(Math.max(1, bytes.length));
        HEAPU8.set(bytes, at);
        try {
          _web_watch_file(at, bytes.length);
        } finally {
          _free(at);
        }
      }, function() { R.say(R.words().notRead); });
    },
  },

  torvenka_replay_fragment: function(out, room) {
    var here = location.href;
    var hash = here.indexOf('#');
    if (hash < 0) return -1;
    var text = here.slice(hash + 1);
    if (!out) return text.length;
    text = text.slice(0, room);
    for (var i = 0; i < text.length; i++) HEAPU8[out + i] = text.charCodeAt(i) & 0xff;
    return text.length;
  },

  torvenka_replays_show__deps: ['$TorvenkaReplays'],
  torvenka_replays_show: function(what, bytes, size, link) {
    var R = TorvenkaReplays, row = R.row(), w = R.words();
    if (row) row.hidden = true;
    if (what === 1) {
      R.say(matchMedia('(pointer: coarse)').matches ? w.waitsTouch : w.waits);
    } else if (what === 2) {
      R.say('');
    } else {
      R.bytes = HEAPU8.slice(bytes, bytes + size);
      R.link = UTF8ToString(link);
      R.offer(what === 4);
    }
    TorvenkaPage.report('replays', {what: what, link: R.link});
  },

  torvenka_replays_say__deps: ['$TorvenkaReplays'],
  torvenka_replays_say: function(line) {
    TorvenkaReplays.say(UTF8ToString(line));
    TorvenkaPage.report('replays', {what: 0, line: UTF8ToString(line)});
  },

  // A replay file dropped anywhere on the page, or picked with the file
  // picker (the page's "open" input, index.html).
  torvenka_listen_replays__deps: ['$TorvenkaReplays'],
  torvenka_listen_replays: function(most) {
    var R = TorvenkaReplays;
    document.addEventListener('dragover', function(e) {
      if (e.dataTransfer && Array.prototype.indexOf.call(e.dataTransfer.types, 'Files') >= 0) {
        e.preventDefault();
        e.dataTransfer.dropEffect = 'copy';
      }
    });
    document.addEventListener('drop', function(e) {
      var files = e.dataTransfer && e.dataTransfer.files;
      if (!files || !files.length) return;
      e.preventDefault();
      R.open(files[0], most);
    });
    var picker = document.getElementById('open-replay');
    if (picker) {
      picker.addEventListener('change', function() {
        if (picker.files && picker.files.length) R.open(picker.files[0], most);
        picker.value = '';
      });
    }
    // A shared link pasted into this tab changes only the fragment: the
    // page loads again to play it.
    window.addEventListener('hashchange', function() { location.reload(); });
  },
});
