// The page's second timer (library_torvenka.js sets it beside its own):
// a timer on this worker's thread, which answers with the number it was
// given when it comes back. Chromium holds a page's own timers back for a
// while as a finger touches the screen, but not a worker's timers nor the
// messages they send, so a wake-up that would wait for the held timer
// comes from here instead. One timer at a time: a new one replaces it.
var timer = 0;
onmessage = function (e) {
  var generation = e.data[0], delay = e.data[1];
  clearTimeout(timer);
  timer = setTimeout(function () { postMessage(generation); }, delay);
};
