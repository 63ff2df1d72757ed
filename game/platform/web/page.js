// The page's side of the browser build: the canvas and its scaling, keys, game pads, sound
// effects and music through WebAudio, the dialog, the start overlay, the browser's storage for
// zarp.dat and the player's stage sets. The game calls it through library_zarp.js; nothing here
// calls the game, which asks for what happened (keys, new sets) between its frames.
var ZarpPage = (function () {
  'use strict';
  var page = {};
  var PACK = '/pack/';  // the packed data files, as the build made them
  var SCREEN_W = 640, SCREEN_H = 480;
  var byId = function (id) { return document.getElementById(id); };

  // ---- Waiting -------------------------------------------------------------------------------
  // A timer sleeps most of the way; the last few milliseconds pass in message turns, which the
  // browser does not stretch to 4 ms as it does nested timers. The timer is set to fire as early
  // as timers have been firing late here (a busy machine delays them).
  var channel = new MessageChannel();
  var onMessage = null;
  channel.port1.onmessage = function () { var f = onMessage; onMessage = null; if (f) f(); };
  var early = 2;
  page.sleepUntil = function (due, wakeUp) {
    var check = function () {
      var left = due - performance.now();
      if (left <= 0) {
        wakeUp();
      } else if (left > early + 1) {
        var wake = performance.now() + left - early;
        setTimeout(function () {
          var late = performance.now() - wake;
          early = Math.min(8, Math.max(1.5, early * 0.9 + (late + 1.5) * 0.1));
          check();
        }, left - early);
      } else {
        onMessage = check;
        channel.port2.postMessage(0);
      }
    };
    check();
  };

  // ---- Events for the game -------------------------------------------------------------------
  var events = [];
  page.nextEvent = function () { return events.length ? events.shift() : -1; };
  var EVENT_SETS_CHANGED = 256;

  // ---- Keys ----------------------------------------------------------------------------------
  // Physical keys by their code, as Windows virtual-key codes. The four keys around the
  // apostrophe key are the third keys of the directions.
  var KEYS = {
    ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
    Numpad2: 0x62, Numpad4: 0x64, Numpad6: 0x66, Numpad8: 0x68,
    Space: 0x20, Enter: 0x0D, NumpadEnter: 0x0D, Escape: 0x1B, ShiftLeft: 0x10, ShiftRight: 0x10,
    Semicolon: 0xBB, Backslash: 0xDD, BracketLeft: 0xC0, Slash: 0xBF,
  };
  for (var f = 1; f <= 12; ++f) KEYS['F' + f] = 0x6F + f;
  for (var c = 0; c < 26; ++c) KEYS['Key' + String.fromCharCode(65 + c)] = 65 + c;
  for (var d = 0; d < 10; ++d) KEYS['Digit' + d] = 48 + d;
  // Keys the page takes from the browser, so that it neither scrolls, reloads, searches nor
  // moves the focus: everything the game reads. Other keys (F11, F12, ...) stay the browser's.
  var TAKEN = {};
  ['ArrowLeft', 'ArrowUp', 'ArrowRight', 'ArrowDown', 'Numpad2', 'Numpad4', 'Numpad6', 'Numpad8',
   'Space', 'Enter', 'NumpadEnter', 'Escape', 'ShiftLeft', 'ShiftRight', 'KeyZ', 'KeyX', 'KeyH',
   'F5', 'F6', 'F9', 'Semicolon', 'Backslash', 'BracketLeft', 'Slash'].forEach(function (k) {
    TAKEN[k] = true;
  });
  var held = {};        // codes held now
  var ignoreUntilUp = {};  // the key that dismissed the overlay reaches the game only once released
  page.keyHeld = function (vk) {
    for (var code in held) if (KEYS[code] === vk) return true;
    return false;
  };
  var releaseAll = function () { held = {}; };

  // ---- Game pads -----------------------------------------------------------------------------
  var axis = function (v) {
    return Math.max(0, Math.min(65535, Math.round(((v || 0) + 1) * 32767.5)));
  };
  page.gamepad = function (out) {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    for (var i = 0; i < pads.length; ++i) {
      var pad = pads[i];
      if (!pad || !pad.connected) continue;
      var x = axis(pad.axes[0]), y = axis(pad.axes[1]), buttons = 0;
      var down = function (b) { return pad.buttons[b] && pad.buttons[b].pressed; };
      if (pad.mapping === 'standard') {
        if (down(14)) x = 0;
        if (down(15)) x = 65535;
        if (down(12)) y = 0;
        if (down(13)) y = 65535;
      }
      for (var b = 0; b < 4; ++b) if (down(b)) buttons |= 1 << b;
      HEAP32[out >> 2] = x;
      HEAP32[(out >> 2) + 1] = y;
      HEAP32[(out >> 2) + 2] = buttons;
      return 1;
    }
    return 0;
  };

  // ---- The picture ---------------------------------------------------------------------------
  var canvas = null, context = null;
  page.screenOpen = function () {
    canvas = byId('screen');
    context = canvas && canvas.getContext('2d', {alpha: false});
    fit();
    return !!context;
  };
  page.present = function (rgba) {
    if (!context) return;
    var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, SCREEN_W * SCREEN_H * 4);
    context.putImageData(new ImageData(pixels, SCREEN_W, SCREEN_H), 0, 0);
  };
  // The picture keeps 4:3 and grows by whole steps, nearest pixel; a window smaller than the
  // picture shrinks it to fit.
  var fit = function () {
    var stage = byId('stage'), bar = byId('bar');
    if (!stage) return;
    var full = document.fullscreenElement === stage;
    var w = full ? window.innerWidth : document.documentElement.clientWidth;
    var h = window.innerHeight - (full || !bar ? 0 : bar.offsetHeight);
    var scale = Math.min(w / SCREEN_W, h / SCREEN_H);
    if (scale >= 1) scale = Math.floor(scale);
    scale = Math.max(scale, 0.25);
    stage.style.width = Math.round(SCREEN_W * scale) + 'px';
    stage.style.height = Math.round(SCREEN_H * scale) + 'px';
  };
  var toggleFullScreen = function () {
    var stage = byId('stage');
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().then(function () {
        // Where the browser allows it, Esc then reaches the game instead of leaving full screen.
        if (navigator.keyboard && navigator.keyboard.lock) {
          navigator.keyboard.lock(['Escape', 'F5', 'F6', 'F9']).catch(function () {});
        }
      }).catch(function () {});
    }
  };

  // ---- Dialog --------------------------------------------------------------------------------
  var answer = -1, dialogButtons = null;
  var ANSWER = {ok: 0, yes: 1, no: 2, cancel: 3};
  var LABELS = {ok: 'OK', yes: 'はい', no: 'いいえ', cancel: 'キャンセル'};
  var CHOICES = [['ok'], ['yes', 'no'], ['yes', 'no', 'cancel']];
  var ESCAPE = ['ok', 'no', 'cancel'];
  page.dialogOpen = function (caption, text, buttons, icon) {
    var box = byId('dialog');
    answer = -1;
    box.querySelector('.caption').textContent = caption;
    box.querySelector('.text').textContent = text;
    var row = box.querySelector('.buttons');
    row.textContent = '';
    var choices = CHOICES[buttons] || CHOICES[0];
    dialogButtons = {buttons: buttons, first: choices[0]};
    choices.forEach(function (choice) {
      var button = document.createElement('button');
      button.textContent = LABELS[choice];
      button.onclick = function () { closeDialog(choice); };
      row.appendChild(button);
    });
    box.className = icon === 4 ? 'error' : icon === 3 ? 'warning' : '';
    box.hidden = false;
    releaseAll();
    row.firstChild.focus();
  };
  var closeDialog = function (choice) {
    byId('dialog').hidden = true;
    dialogButtons = null;
    answer = ANSWER[choice];
    if (canvas) canvas.focus();
  };
  page.dialogAnswer = function () { return answer; };

  // ---- Start overlay -------------------------------------------------------------------------
  var waiting = null;
  page.waitForPlayer = function (text, wakeUp) {
    releaseAll();
    byId('overlay-text').textContent = text;
    byId('overlay').hidden = false;
    waiting = wakeUp;
  };
  var start = function () {
    if (!waiting) return;
    // Browsers let a page sound only after the player did something: this is that moment.
    unlockAudio();
    byId('overlay').hidden = true;
    var wakeUp = waiting;
    waiting = null;
    if (canvas) canvas.focus();
    setTimeout(wakeUp, 0);
  };

  // ---- Sound effects -------------------------------------------------------------------------
  var audio = null, effectsOut = null, musicOut = null;
  var unlockAudio = function () {
    var AudioContext = window.AudioContext || window.webkitAudioContext;
    if (!audio && AudioContext) {
      audio = new AudioContext();
      effectsOut = audio.createGain();
      effectsOut.connect(audio.destination);
      musicOut = audio.createGain();
      musicOut.connect(audio.destination);
      decodeRecordings();
    }
    if (audio && audio.state === 'suspended') audio.resume();
  };
  page.audioInit = function () { return !!audio; };
  page.audioTime = function () { return audio ? audio.currentTime : performance.now() / 1000; };
  var voices = [];
  // One PCM buffer once, each side at its gain (the native pan rule, worked out by the game).
  page.voicePlay = function (slot, channels, rate, bits, data, size, left, right) {
    page.voiceStop(slot);
    var bytesPerFrame = channels * bits / 8;
    var frames = Math.floor(size / bytesPerFrame);
    if (frames <= 0) return true;
    var buffer;
    try {
      buffer = audio.createBuffer(channels, frames, rate);
    } catch (e) {
      return false;
    }
    var view = new DataView(HEAPU8.buffer, data, frames * bytesPerFrame);
    for (var ch = 0; ch < channels; ++ch) {
      var out = buffer.getChannelData(ch);
      for (var i = 0, at = ch * bits / 8; i < frames; ++i, at += bytesPerFrame) {
        out[i] = bits === 16 ? view.getInt16(at, true) / 32768 : (view.getUint8(at) - 128) / 128;
      }
    }
    var source = audio.createBufferSource();
    source.buffer = buffer;
    var merger = audio.createChannelMerger(2);
    var sides = [audio.createGain(), audio.createGain()];
    sides[0].gain.value = left;
    sides[1].gain.value = right;
    if (channels === 1) {
      source.connect(sides[0]);
      source.connect(sides[1]);
    } else {
      var splitter = audio.createChannelSplitter(channels);
      source.connect(splitter);
      splitter.connect(sides[0], 0);
      splitter.connect(sides[1], 1);
    }
    sides[0].connect(merger, 0, 0);
    sides[1].connect(merger, 0, 1);
    merger.connect(effectsOut);
    source.start();
    voices[slot] = {source: source, end: audio.currentTime + buffer.duration};
    return true;
  };
  page.voicePlaying = function (slot) {
    var voice = voices[slot];
    return !!voice && audio.currentTime < voice.end;
  };
  page.voiceStop = function (slot) {
    var voice = voices[slot];
    voices[slot] = null;
    if (voice) {
      try { voice.source.stop(); } catch (e) {}
    }
  };
  // A short soft tone with faded ends.
  page.beep = function () {
    var tone = audio.createOscillator(), level = audio.createGain(), t = audio.currentTime;
    tone.frequency.value = 880;
    level.gain.setValueAtTime(0, t);
    level.gain.linearRampToValueAtTime(0.27, t + 0.005);
    level.gain.setValueAtTime(0.27, t + 0.115);
    level.gain.linearRampToValueAtTime(0, t + 0.12);
    tone.connect(level);
    level.connect(effectsOut);
    tone.start(t);
    tone.stop(t + 0.12);
  };

  // ---- Music ---------------------------------------------------------------------------------
  // The recordings made at build time, decoded once; a piece asked for before its recording is
  // decoded starts where it would be by then.
  var recordings = {};
  var decodeRecording = function (name) {
    if (recordings[name]) return recordings[name];
    recordings[name] = new Promise(function (resolve) {
      var bytes;
      try {
        bytes = FS.readFile(PACK + name);
      } catch (e) {
        resolve(null);  // no recording: this piece stays silent
        return;
      }
      audio.decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length),
                            resolve, function () { resolve(null); });
    });
    return recordings[name];
  };
  var decodeRecordings = function () {
    try {
      FS.readdir(PACK + 'music').forEach(function (file) {
        if (/\.opus$/.test(file)) decodeRecording('music/' + file);
      });
    } catch (e) {}
  };
  var playing = null;
  page.musicStart = function (name, offset) {
    page.musicStop();
    if (!audio) return;
    var piece = {beginning: audio.currentTime - offset, source: null};
    playing = piece;
    decodeRecording(name).then(function (buffer) {
      if (playing !== piece || !buffer) return;
      var at = audio.currentTime - piece.beginning;
      if (at >= buffer.duration) return;
      piece.source = audio.createBufferSource();
      piece.source.buffer = buffer;
      piece.source.connect(musicOut);
      piece.source.start(0, Math.max(0, at));
    });
  };
  page.musicStop = function () {
    if (playing && playing.source) {
      try { playing.source.stop(); } catch (e) {}
    }
    playing = null;
  };

  // ---- Files and the browser's storage -------------------------------------------------------
  // zarp.dat and the player's stage sets live in IndexedDB, one record per file name.
  var stored = {};  // read at start-up, before the game runs
  var folder = null;  // the game's folder, once prepared
  var openDb = function () {
    return new Promise(function (resolve, reject) {
      if (!window.indexedDB) return reject(new Error('no IndexedDB'));
      var request = indexedDB.open('zarpane', 1);
      request.onupgradeneeded = function () { request.result.createObjectStore('files'); };
      request.onsuccess = function () { resolve(request.result); };
      request.onerror = function () { reject(request.error); };
    });
  };
  var db = null;
  page.loadStorage = function () {
    return openDb().then(function (opened) {
      db = opened;
      return new Promise(function (resolve) {
        var cursor = db.transaction('files').objectStore('files').openCursor();
        cursor.onsuccess = function () {
          var at = cursor.result;
          if (!at) return resolve();
          stored[at.key] = new Uint8Array(at.value);
          at.continue();
        };
        cursor.onerror = function () { resolve(); };
      });
    }).catch(function (e) {
      notice('The browser keeps nothing for this page (' + e.message + '): the ranking and ' +
             'added stage sets last until the page closes.');
    });
  };
  var put = function (name, bytes) {
    stored[name] = bytes;
    if (!db) return;
    try {
      db.transaction('files', 'readwrite').objectStore('files').put(bytes, name);
    } catch (e) {}
  };
  // A WAV file packed by pack-data: its samples as differences, low bytes then high bytes.
  var unpackDelta = function (packed) {
    var view = new DataView(packed.buffer, packed.byteOffset, packed.length);
    if (packed.length < 12 || view.getUint32(0) !== 0x5A574431) return packed;  // "ZWD1"
    var start = view.getUint32(4, true), length = view.getUint32(8, true);
    var out = new Uint8Array(packed.length - 12);
    var n = length / 2, low = 12 + start, high = low + n, sample = 0;
    out.set(packed.subarray(12, low), 0);
    for (var i = 0; i < n; ++i) {
      sample = (sample + (packed[low + i] | packed[high + i] << 8)) & 0xFFFF;
      out[start + 2 * i] = sample & 0xFF;
      out[start + 2 * i + 1] = sample >> 8;
    }
    out.set(packed.subarray(high + n), start + length);
    return out;
  };
  page.prepareFiles = function (path) {
    FS.mkdirTree(path);
    FS.readdir(PACK).forEach(function (name) {
      if (!FS.isFile(FS.stat(PACK + name).mode)) return;
      var bytes = FS.readFile(PACK + name);
      if (/\.delta$/.test(name)) {
        name = name.replace(/\.delta$/, '');
        bytes = unpackDelta(bytes);
      }
      FS.writeFile(path + name, bytes);
    });
    for (var name in stored) FS.writeFile(path + name, stored[name]);
    folder = path;
  };
  page.storeFile = function (path) {
    try {
      put(path.replace(/.*\//, ''), FS.readFile(path));
    } catch (e) {}
  };
  // A tab may close without the game's shutdown: what the game last wrote is kept now.
  var keepRanking = function () { if (folder) page.storeFile(folder + 'zarp.dat'); };

  // The player's stage sets, dropped on the page or chosen with the button.
  var addSets = function (files) {
    Array.prototype.forEach.call(files, function (file) {
      var name = file.name.replace(/.*[\/\\]/, '');
      if (!/\.zrp$/i.test(name) || name.length > 200) {
        notice(name + ' is not a stage set (.zrp): not added.');
        return;
      }
      if (file.size > (1 << 20)) {
        notice(name + ' is larger than a stage set can be: not added.');
        return;
      }
      var reader = new FileReader();
      reader.onload = function () {
        var bytes = new Uint8Array(reader.result);
        put(name, bytes);
        if (folder) FS.writeFile(folder + name, bytes);
        events.push(EVENT_SETS_CHANGED);
        notice(name + ' added: it is listed under USER\'S STAGE.');
      };
      reader.readAsArrayBuffer(file);
    });
  };
  var noticeTimer = null;
  var notice = function (text) {
    var line = byId('notice');
    if (!line) return;
    line.textContent = text;
    clearTimeout(noticeTimer);
    noticeTimer = setTimeout(function () { line.textContent = ''; }, 8000);
  };

  // ---- Pacing --------------------------------------------------------------------------------
  // The end of each frame and its scene, read by the pacing benchmark and the page's test.
  var frameTimes = [], scene = -1;
  page.frameDone = function (frameScene) {
    scene = frameScene;
    frameTimes.push(performance.now());
    if (frameTimes.length > 8192) frameTimes.splice(0, 4096);
  };
  page.status = function () { return {scene: scene, frames: frameTimes.slice()}; };

  // ---- Wiring --------------------------------------------------------------------------------
  page.attach = function () {
    window.addEventListener('keydown', function (event) {
      if (!byId('overlay').hidden) {
        if (event.ctrlKey || event.altKey || event.metaKey) return;
        if (/^F\d+$/.test(event.code) && !TAKEN[event.code]) return;
        event.preventDefault();
        ignoreUntilUp[event.code] = true;
        start();
        return;
      }
      if (dialogButtons) {
        if (event.code === 'Escape') {
          event.preventDefault();
          closeDialog(ESCAPE[dialogButtons.buttons] || 'ok');
        } else if (event.code === 'Enter' || event.code === 'NumpadEnter') {
          event.preventDefault();
          if (!(document.activeElement && document.activeElement.tagName === 'BUTTON')) {
            closeDialog(dialogButtons.first);
          } else {
            document.activeElement.click();
          }
        }
        return;
      }
      var vk = KEYS[event.code];
      if (vk === undefined || event.ctrlKey || event.altKey || event.metaKey) return;
      if (TAKEN[event.code]) event.preventDefault();
      if (ignoreUntilUp[event.code]) return;
      held[event.code] = true;
      events.push(vk);
    });
    window.addEventListener('keyup', function (event) {
      delete held[event.code];
      delete ignoreUntilUp[event.code];
      if (TAKEN[event.code]) event.preventDefault();
    });
    window.addEventListener('blur', releaseAll);
    document.addEventListener('visibilitychange', function () {
      if (document.visibilityState === 'hidden') {
        releaseAll();
        keepRanking();
      }
    });
    window.addEventListener('pagehide', keepRanking);
    byId('overlay').addEventListener('click', start);
    window.addEventListener('resize', fit);
    document.addEventListener('fullscreenchange', fit);
    byId('full').addEventListener('click', function () { toggleFullScreen(); this.blur(); });
    byId('sets').addEventListener('change', function () { addSets(this.files); this.value = ''; });
    document.addEventListener('dragover', function (event) { event.preventDefault(); });
    document.addEventListener('drop', function (event) {
      event.preventDefault();
      if (event.dataTransfer && event.dataTransfer.files) addSets(event.dataTransfer.files);
    });
    fit();
  };
  return page;
})();

Module['preRun'] = (Module['preRun'] || []).concat(function () {
  ZarpPage.attach();
  addRunDependency('zarp-storage');
  ZarpPage.loadStorage().then(function () { removeRunDependency('zarp-storage'); });
});
window.zarpStatus = ZarpPage.status;
