// The page around the game: loads vantorel.js (and through it vantorel.wasm
// and vantorel.data), shows the download's progress, fits the field to the
// window, and holds the controls that live outside the field.
//
// What the program may rely on: Module.canvas is the field, and
// Module.preinitializedWebGLContext its WebGL context; the page sets the
// canvas's backing size (CSS size times devicePixelRatio) before the program
// starts, then through Module.setCanvasSize once it runs and on every change,
// which GLUT hands to its reshape callback; the page calls Module.setMuted(muted), if the
// program defines it, when it starts and whenever the player mutes or unmutes.
// body[data-state] says where the page is: loading, running, no-webgl, failed.
import { layoutField } from './field_layout.mjs';

const kProgram = 'vantorel.js';
const kMutedKey = 'vantorel.muted';
const kDownloadProgress = /\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/;
const kFieldContext = { alpha: false, depth: true, stencil: false, antialias: false };

const field = document.getElementById('field');
const canvas = document.getElementById('canvas');
const progress = document.getElementById('progress');
const message = document.getElementById('message');
const controls = document.getElementById('controls');
const fullscreenButton = document.getElementById('fullscreen');
const muteButton = document.getElementById('mute');

let running = false;

function showState(state, text = '') {
  document.body.dataset.state = state;
  message.textContent = text;
}

function fail(text) {
  running = false;
  showState('failed', text);
}

// The field's WebGL context as the program's GLUT window asks for it (RGB,
// double-buffered, with depth), made here to see that there is one, and
// handed to the program, which then need not make it again.
function fieldContext() {
  return canvas.getContext('webgl', kFieldContext) ||
         canvas.getContext('experimental-webgl', kFieldContext);
}

function fitField() {
  const layout = layoutField(window.innerWidth, window.innerHeight, window.devicePixelRatio);
  Object.assign(field.style, {
    left: `${layout.left}px`,
    top: `${layout.top}px`,
    width: `${layout.width}px`,
    height: `${layout.height}px`,
  });
  controls.className = layout.controls;
  if (running) {
    Module.setCanvasSize(layout.deviceWidth, layout.deviceHeight);
  } else {
    canvas.width = layout.deviceWidth;
    canvas.height = layout.deviceHeight;
  }
}

// Moving the window to a screen of another density changes devicePixelRatio
// without a resize.
function watchPixelRatio() {
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
    fitField();
    watchPixelRatio();
  }, { once: true });
}

function isMuted() {
  try {
    return localStorage.getItem(kMutedKey) === 'true';
  } catch {
    return false; // storage refused: sound stays on
  }
}

function applyMuted(muted) {
  muteButton.setAttribute('aria-pressed', String(muted));
  muteButton.title = muted ? 'Unmute' : 'Mute';
  muteButton.setAttribute('aria-label', muteButton.title);
  if (running && typeof Module.setMuted === 'function') {
    Module.setMuted(muted);
  }
}

function toggleMuted() {
  const muted = !isMuted();
  try {
    localStorage.setItem(kMutedKey, String(muted));
  } catch {
    // kept for this visit only
  }
  applyMuted(muted);
  return muted;
}

function toggleFullscreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else {
    document.documentElement.requestFullscreen().catch(() => {});
  }
}

function showDownload(status) {
  const numbers = kDownloadProgress.exec(status);
  if (numbers) {
    progress.max = Number(numbers[2]);
    progress.value = Number(numbers[1]);
  }
}

function startProgram(context) {
  window.Module = {
    canvas,
    preinitializedWebGLContext: context,
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    setStatus: showDownload,
    onAbort: (what) => fail(`Vantorel stopped: ${what}`),
    postRun: [() => {
      running = true;
      showState('running');
      fitField();
      applyMuted(isMuted());
      canvas.focus();
    }],
  };
  const script = document.createElement('script');
  script.src = kProgram;
  script.onerror = () => fail('Vantorel could not be loaded. Reload the page to try again.');
  document.body.appendChild(script);
}

canvas.addEventListener('contextmenu', (event) => event.preventDefault());
muteButton.addEventListener('click', toggleMuted);
fullscreenButton.hidden = !document.fullscreenEnabled;
fullscreenButton.addEventListener('click', toggleFullscreen);
window.addEventListener('resize', fitField);
window.addEventListener('error', () => {
  if (!running) {
    fail('Vantorel could not be loaded. Reload the page to try again.');
  }
});
applyMuted(isMuted());
fitField();
watchPixelRatio();
const context = fieldContext();
if (context) {
  startProgram(context);
} else {
  showState('no-webgl', 'Vantorel needs WebGL, which this browser does not have or has turned off.');
}
