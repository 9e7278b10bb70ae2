// The browser's side of the game's sound output (platform/web/sound_output.cpp).
// Effects and loops are decoded by the browser from the packaged MP3 files and
// played with Web Audio. All of it meets on one bus that runs through the
// game's own limiter (audio/limiter.cpp, built to limiter.wasm and run on the
// audio thread by limiter_worklet.js) and the page's mute on its way out, so
// nothing leaves at full scale. The browser holds the sound back until the
// player's first click, tap or key. Linked with --js-library.
var LibraryWebSound = {
  $WebSound__deps: ['$FS'],
  $WebSound__postset: 'WebSound.install();',
  $WebSound: {
    kPlaybacksPerEffect: 4,
    // Everything sounds through the limiter; where the page cannot run it
    // (no AudioWorklet outside a secure context) a hard ceiling stands in.
    kLimiterModule: 'limiter_worklet.js',
    kLimiterCode: 'limiter.wasm',
    kCeiling: 0.891,
    kCeilingSteps: 1024, // of the hard ceiling's curve from silence to full scale
    kGestures: ['mousedown', 'pointerdown', 'touchend', 'keydown'],

    context: null,
    bus: null,
    level: null,
    muted: false,
    effects: [],
    loops: [],
    playsStarted: 0,

    // The page mutes and unmutes through Module.setMuted, from before the
    // sound opens on.
    install: function() {
      Module['setMuted'] = function(muted) {
        WebSound.muted = !!muted;
        if (WebSound.level) {
          WebSound.level.gain.value = WebSound.muted ? 0 : 1;
        }
      };
    },

    open: function() {
      if (WebSound.context) {
        return true;
      }
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) {
        return false;
      }
      var context = new Context();
      WebSound.context = context;
      WebSound.bus = context.createGain();
      WebSound.level = context.createGain();
      WebSound.level.gain.value = WebSound.muted ? 0 : 1;
      WebSound.level.connect(context.destination);
      WebSound.startLimiter(context);
      WebSound.resumeOnGesture(context);
      return true;
    },

    startLimiter: function(context) {
      if (!context.audioWorklet || typeof fetch != 'function') {
        WebSound.useCeiling(context);
        return;
      }
      Promise.all([
        context.audioWorklet.addModule(WebSound.kLimiterModule),
        fetch(WebSound.kLimiterCode).then(function(response) {
          if (!response.ok) throw new Error(response.statusText);
          return response.arrayBuffer();
        }),
      ]).then(function(loaded) {
        var limiter = new AudioWorkletNode(context, 'limiter', {
          numberOfInputs: 1, numberOfOutputs: 1, outputChannelCount: [2], channelCount: 2,
          channelCountMode: 'explicit', channelInterpretation: 'speakers',
          processorOptions: { code: loaded[1] },
        });
        WebSound.bus.connect(limiter);
        limiter.connect(WebSound.level);
      }).catch(function(error) {
        err('vantorel: the limiter could not start (' + error + '): sound is clipped at its ceiling');
        WebSound.useCeiling(context);
      });
    },

    // Sound passes unchanged up to the ceiling and no further.
    useCeiling: function(context) {
      var ceiling = context.createWaveShaper();
      var points = 2 * WebSound.kCeilingSteps + 1;
      ceiling.curve = new Float32Array(points).map(function(_, i) {
        var sample = i / WebSound.kCeilingSteps - 1;
        return Math.max(-WebSound.kCeiling, Math.min(WebSound.kCeiling, sample));
      });
      WebSound.bus.connect(ceiling);
      ceiling.connect(WebSound.level);
    },

    // The browser lets sound start only in answer to the player.
    resumeOnGesture: function(context) {
      var resume = function() {
        context.resume();
      };
      WebSound.kGestures.forEach(function(type) {
        window.addEventListener(type, resume, true);
      });
      context.addEventListener('statechange', function() {
        if (context.state == 'running') {
          WebSound.kGestures.forEach(function(type) {
            window.removeEventListener(type, resume, true);
          });
        }
      });
    },

    // The decoded sound of a packaged file, handed to `use` once ready; false
    // when there is no such file.
    decode: function(path, use) {
      var bytes;
      try {
        bytes = FS.readFile(path);
      } catch (e) {
        return false;
      }
      WebSound.context.decodeAudioData(bytes.buffer).then(use, function() {
        err('vantorel: ' + path + ' could not be decoded: it stays silent');
      });
      return true;
    },

    loadEffect: function(path) {
      var effect = { buffer: null, playbacks: [] };
      for (var i = 0; i < WebSound.kPlaybacksPerEffect; ++i) {
        effect.playbacks.push({ source: null, order: 0 });
      }
      if (!WebSound.decode(path, function(buffer) { effect.buffer = buffer; })) {
        return 0;
      }
      WebSound.effects.push(effect);
      return WebSound.effects.length;
    },

    // A free playback, or else the one that started longest ago.
    playbackToTake: function(effect) {
      var taken = effect.playbacks[0];
      for (var i = 0; i < effect.playbacks.length; ++i) {
        var playback = effect.playbacks[i];
        if (!playback.source) {
          return i;
        }
        if (playback.order < taken.order) {
          taken = playback;
        }
      }
      return effect.playbacks.indexOf(taken);
    },

    stop: function(source) {
      source.onended = null;
      source.stop();
      source.disconnect();
    },

    playEffect: function(handle) {
      var effect = WebSound.effects[handle - 1];
      if (!effect || !effect.buffer) {
        return -1;
      }
      var index = WebSound.playbackToTake(effect);
      var playback = effect.playbacks[index];
      if (playback.source) {
        WebSound.stop(playback.source);
      }
      var source = WebSound.context.createBufferSource();
      source.buffer = effect.buffer;
      source.connect(WebSound.bus);
      source.onended = function() {
        playback.source = null;
      };
      source.start();
      playback.source = source;
      playback.order = ++WebSound.playsStarted;
      return index;
    },

    playbacksSounding: function(handle) {
      var effect = WebSound.effects[handle - 1];
      if (!effect) {
        return 0;
      }
      return effect.playbacks.filter(function(playback) { return playback.source; }).length;
    },

    // The loop starts once decoded, unless released by then.
    openLoop: function(path) {
      var loop = { source: null, released: false };
      var decoding = WebSound.decode(path, function(buffer) {
        if (loop.released) {
          return;
        }
        var source = WebSound.context.createBufferSource();
        source.buffer = buffer;
        source.loop = true;
        source.connect(WebSound.bus);
        source.start();
        loop.source = source;
      });
      if (!decoding) {
        return 0;
      }
      WebSound.loops.push(loop);
      return WebSound.loops.length;
    },

    releaseLoop: function(handle) {
      var loop = WebSound.loops[handle - 1];
      if (!loop || loop.released) {
        return;
      }
      loop.released = true;
      if (loop.source) {
        WebSound.stop(loop.source);
        loop.source = null;
      }
    },

    isLooping: function(handle) {
      var loop = WebSound.loops[handle - 1];
      return !!(loop && loop.source);
    },

    loopsOpen: function() {
      return WebSound.loops.filter(function(loop) { return !loop.released; }).length;
    },
  },

  webSoundOpen: function() {
    return WebSound.open() ? 1 : 0;
  },
  webSoundLoadEffect: function(path) {
    return WebSound.loadEffect(UTF8ToString(path));
  },
  webSoundPlayEffect: function(effect) {
    return WebSound.playEffect(effect);
  },
  webSoundOpenLoop: function(path) {
    return WebSound.openLoop(UTF8ToString(path));
  },
  webSoundReleaseLoop: function(loop) {
    WebSound.releaseLoop(loop);
  },
  webSoundPlaybacksSounding: function(effect) {
    return WebSound.playbacksSounding(effect);
  },
  webSoundIsLooping: function(loop) {
    return WebSound.isLooping(loop) ? 1 : 0;
  },
  webSoundLoopsOpen: function() {
    return WebSound.loopsOpen();
  },
};

autoAddDeps(LibraryWebSound, '$WebSound');
mergeInto(LibraryManager.library, LibraryWebSound);
