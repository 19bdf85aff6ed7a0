// The test build's watcher (linked with --js-library into page-watched/
// only, beside page_watch.cpp): what the page did, kept in
// window.torvenkaWatch for the browser tests and the bench to read.
//   steps       one entry a step: t (performance.now()), phase (its name in
//               kPhaseNames, core/clock.h, which the tests read from
//               pagecheck facts), tick, life, oxygen, tanks, lane and
//               enemyLane ('none', 'white', 'cyan', 'red'), deal, enemy;
//               striking whether the pointer rests on the spear
//   wishes      what the good diver wishes done, in order: tick (the dive
//               tick after which it was made), op ('click', 'swipe' or
//               'move'), x0, y0, x1, y1 in game pixels
//   presses     every press and release handed to the game: t, kind ('down',
//               'up'), button ('left', 'right', 'middle'), x, y
//   sound       what the sound channels did, each entry stamped with t
//   firstFrame  when the first frame reached the canvas (0 is the navigation)
//   firstFramePlace  where the canvas was then: [left, top, width, height]

mergeInto(LibraryManager.library, {
  $TorvenkaWatch__deps: ['$TorvenkaPage'],
  $TorvenkaWatch__postset: 'TorvenkaWatch.init();',
  $TorvenkaWatch: {
    watch: null,
    init: function() {
      var watch = {steps: [], sound: [], presses: [], wishes: []};
      TorvenkaWatch.watch = watch;
      if (typeof window !== 'undefined') window.torvenkaWatch = watch;
      // The page's one report: the sound channels tell it what they did.
      TorvenkaPage.report = function(kind, entry) {
        entry.t = performance.now();
        if (kind === 'sound') watch.sound.push(entry);
      };
    },
  },

  torvenka_watch_step__deps: ['$TorvenkaWatch'],
  torvenka_watch_step: function(phase, tick, life, oxygen, tanks, lane, deal, enemy, enemyLane, striking) {
    TorvenkaWatch.watch.steps.push({t: performance.now(), phase: UTF8ToString(phase), tick: tick, life: life,
                                    oxygen: oxygen, tanks: tanks, lane: UTF8ToString(lane), deal: deal,
                                    enemy: enemy, enemyLane: UTF8ToString(enemyLane), striking: !!striking});
  },

  torvenka_watch_press__deps: ['$TorvenkaWatch'],
  torvenka_watch_press: function(kind, button, x, y) {
    TorvenkaWatch.watch.presses.push({t: performance.now(), kind: UTF8ToString(kind), button: UTF8ToString(button),
                                      x: x, y: y});
  },

  torvenka_watch_wish__deps: ['$TorvenkaWatch'],
  torvenka_watch_wish: function(tick, op, x0, y0, x1, y1) {
    TorvenkaWatch.watch.wishes.push({tick: tick, op: UTF8ToString(op), x0: x0, y0: y0, x1: x1, y1: y1});
  },

  torvenka_watch_asked: function(name) {
    var m = new RegExp('[?&]' + UTF8ToString(name) + '=(\\d+)').exec(location.search);
    return m ? parseInt(m[1], 10) : 0;
  },

  torvenka_watch_first_frame__deps: ['$TorvenkaWatch', '$TorvenkaPage'],
  torvenka_watch_first_frame: function() {
    TorvenkaWatch.watch.firstFrame = performance.now();
    var r = TorvenkaPage.canvas().getBoundingClientRect();
    TorvenkaWatch.watch.firstFramePlace = [r.left, r.top, r.width, r.height];
  },
});
