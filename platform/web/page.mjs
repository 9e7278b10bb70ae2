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
// The program is given `--replay FILE` for a recording to play back, the file
// put in its memory before main() runs; it shows a line through Module.onOutcome.
// body[data-state] says where the page is: loading, running, no-webgl, failed;
// body[data-replay] what a replay is doing: playing, ended or refused.
//
// A recording comes from the page's address (?replay=URL, on this site), or
// from a file the player chooses or drops, which is kept in the site's storage
// and played by a fresh start of the page (?opened=NAME): the game's state
// starts afresh only with the program.
import { layoutField } from './field_layout.mjs';

const kProgram = 'vantorel.js';
const kProgramCode = 'vantorel.wasm';
const kReplayParameter = 'replay';
const kOpenedParameter = 'opened';
const kReplayFolder = 'replays'; // in the program's memory, beside its data
const kOpenedFolder = '/kept/opened'; // kept by the program's storage (web_storage.js)
const kRecordingSuffix = '.replay';
const kReplayStrip = 28; // CSS pixels above the field for a replay's line
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
const replayStrip = document.getElementById('replay');
const replayLine = document.getElementById('replay-line');
const recordsButton = document.getElementById('records');
const recordsPanel = document.getElementById('records-panel');
const recordsText = document.getElementById('records-text');
const exportButton = document.getElementById('export-records');
const saveGameButton = document.getElementById('save-game');
const openGameButton = document.getElementById('open-game');
const recordingFile = document.getElementById('recording-file');

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
  const above = replayStrip.hidden ? 0 : kReplayStrip;
  const layout = layoutField(window.innerWidth, window.innerHeight - above,
                             window.devicePixelRatio);
  controls.style.top = layout.controls === 'beside' ? `${above}px` : '';
  Object.assign(field.style, {
    left: `${layout.left}px`,
    top: `${layout.top + above}px`,
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

// A file of the player's, saved through the browser's download.
function offerDownload(bytes, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

function showRecords() {
  recordsText.textContent = Module.ccall('vantorel_records_report', 'string');
  exportButton.disabled = !Module.FS.analyzePath(recordsFile()).exists;
  recordsPanel.showModal();
}

function recordsFile() {
  return Module.ccall('vantorel_records_file', 'string');
}

// The records file as kept, in the records' own text format.
function exportRecords() {
  offerDownload(Module.FS.readFile(recordsFile()), 'vantorel-records.txt');
}

// The games played since the page opened, ended where the game stands now.
function saveGame() {
  const path = Module.ccall('vantorel_recording_to_download', 'string');
  if (path) {
    const stamp = new Date().toISOString().slice(0, 19).replace(/[-:]/g, '').replace('T', '-');
    offerDownload(Module.FS.readFile(path), `vantorel-${stamp}${kRecordingSuffix}`);
  }
}

// A name the program's files can take: the file's own, less what a path or
// the page's address would read otherwise.
function fileNameOf(name) {
  const plain = name.replace(/[^\w.+-]+/g, '_').replace(/^\.+/, '');
  return plain || `recording${kRecordingSuffix}`;
}

function addressWith(parameter, value) {
  const address = new URL(window.location.href);
  address.search = '';
  address.hash = '';
  if (parameter) {
    address.searchParams.set(parameter, value);
  }
  return address.href;
}

// A recording the player chose or dropped: kept, then played by a fresh start.
async function openRecording(file) {
  if (!file || typeof window.Module?.keepChanges !== 'function' || !Module.keptFiles.ready) {
    return;
  }
  const name = fileNameOf(file.name);
  const bytes = new Uint8Array(await file.arrayBuffer());
  const FS = Module.FS;
  for (const old of FS.analyzePath(kOpenedFolder).exists ? FS.readdir(kOpenedFolder) : []) {
    if (old !== '.' && old !== '..') {
      FS.unlink(`${kOpenedFolder}/${old}`);
    }
  }
  FS.mkdirTree(kOpenedFolder);
  FS.writeFile(`${kOpenedFolder}/${name}`, bytes);
  Module.keepChanges(() => window.location.assign(addressWith(kOpenedParameter, name)));
}

// What the page's address asks to replay: { name, bytes } to hand the program
// (bytes null for a file kept when it was opened), or a reason it cannot be.
async function recordingAsked() {
  const parameters = new URLSearchParams(window.location.search);
  if (parameters.has(kOpenedParameter)) {
    return { name: fileNameOf(parameters.get(kOpenedParameter)), bytes: null };
  }
  if (!parameters.has(kReplayParameter)) {
    return null;
  }
  const address = new URL(parameters.get(kReplayParameter), window.location.href);
  const name = fileNameOf(decodeURIComponent(address.pathname.split('/').pop()));
  if (address.origin !== window.location.origin) {
    return { name, problem: `cannot replay ${address.href}: it is not on this site` };
  }
  try {
    const response = await fetch(address, { credentials: 'same-origin' });
    if (!response.ok) {
      return { name, problem: `cannot replay ${name}: ${response.status} ${response.statusText}` };
    }
    return { name, bytes: new Uint8Array(await response.arrayBuffer()) };
  } catch (error) {
    return { name, problem: `cannot replay ${name}: ${error.message}` };
  }
}

// The recording goes where the program reads it, before main() runs.
function replayArguments(asked, preRun) {
  if (!asked) {
    return [];
  }
  const path = asked.bytes ? `${kReplayFolder}/${asked.name}` : `${kOpenedFolder}/${asked.name}`;
  if (asked.bytes) {
    preRun.push(() => {
      Module.FS.mkdirTree(kReplayFolder);
      Module.FS.writeFile(path, asked.bytes);
    });
  }
  return ['--replay', path];
}

function showReplay(state, text) {
  document.body.dataset.replay = state;
  replayLine.textContent = text;
  if (replayStrip.hidden) {
    replayStrip.hidden = false;
    fitField();
  }
}

// A recording that cannot be played: the line says why, and the link above
// the field plays the game instead.
function refuse(line) {
  showReplay('refused', line);
  fail(line);
}

// The program speaks before it runs only to refuse what it was given; once
// it runs, of how a replay ended.
function showOutcome(line) {
  if (running) {
    showReplay('ended', line);
  } else {
    refuse(line);
  }
}

// Fetched once, compiled as it downloads where the server says it is
// WebAssembly, and from the downloaded bytes where it does not (a host that
// serves .wasm files as anything else).
async function compileProgram(imports) {
  const response = await fetch(kProgramCode, { credentials: 'same-origin' });
  if (!response.ok) {
    throw new Error(`${kProgramCode}: ${response.status} ${response.statusText}`);
  }
  if (typeof WebAssembly.instantiateStreaming === 'function') {
    try {
      return await WebAssembly.instantiateStreaming(response.clone(), imports);
    } catch (error) {
      if (!(error instanceof TypeError)) {
        throw error;
      }
    }
  }
  return WebAssembly.instantiate(await response.arrayBuffer(), imports);
}

function instantiateProgram(imports, receive) {
  compileProgram(imports).then(
    ({ instance, module }) => receive(instance, module),
    (error) => fail(`Vantorel could not be loaded (${error.message}). Reload the page to try again.`));
  return {};
}

function startProgram(context, asked) {
  const preRun = [];
  window.Module = {
    canvas,
    preinitializedWebGLContext: context,
    arguments: replayArguments(asked, preRun),
    preRun,
    instantiateWasm: instantiateProgram,
    onOutcome: showOutcome,
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    setStatus: showDownload,
    onAbort: (what) => fail(`Vantorel stopped: ${what}`),
    postRun: [() => {
      if (document.body.dataset.replay === 'refused') {
        return;
      }
      running = true;
      showState('running');
      fitField();
      applyMuted(isMuted());
      saveGameButton.hidden = Boolean(asked);
      canvas.focus();
    }],
  };
  const script = document.createElement('script');
  script.src = kProgram;
  script.onerror = () => fail('Vantorel could not be loaded. Reload the page to try again.');
  document.body.appendChild(script);
}

canvas.addEventListener('contextmenu', (event) => event.preventDefault());
recordsButton.addEventListener('click', () => running && showRecords());
exportButton.addEventListener('click', exportRecords);
saveGameButton.addEventListener('click', () => running && saveGame());
openGameButton.addEventListener('click', () => recordingFile.click());
recordingFile.addEventListener('change', () => openRecording(recordingFile.files[0]));
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => {
  event.preventDefault();
  openRecording(event.dataTransfer.files[0]);
});
document.getElementById('play').href = addressWith();
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
const asked = await recordingAsked();
if (!context) {
  showState('no-webgl', 'Vantorel needs WebGL, which this browser does not have or has turned off.');
} else if (asked?.problem) {
  refuse(asked.problem);
} else {
  if (asked) {
    showReplay('playing', `Replaying ${asked.name}`);
  }
  startProgram(context, asked);
}
