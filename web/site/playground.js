// The page: four code boxes, the canvas, the controls, music, keep and share.
import { loadEngine, SECTION_NAMES } from './engine.js';
import { fragmentOf, presetOfFragment } from './preset-link.js';
import { decodeSong, playSong, openMicrophone } from './music-input.js';

const FPS = 60;
const STORAGE_KEY = 'render-triangle-playground-preset';
const $ = (id) => document.getElementById(id);
const boxes = SECTION_NAMES.map((name) => $(`code-${name}`));
const errors = SECTION_NAMES.map((name) => $(`error-${name}`));
const canvas = $('canvas');
const context2d = canvas.getContext('2d');

let engine = null;
let playing = true;
let beatPressed = false;
let music = null;        // {seconds(), stop()} while a song or the microphone plays
let song = null;         // the decoded song, kept to play again
const fpsWindow = [];

const status = (text) => { $('status').textContent = text; };

// The size boxes' values, kept within 1 to 4096.
function frameSize() {
  const side = (id) => Math.min(4096, Math.max(1, Math.round(Number($(id).value)) || 1));
  return { width: side('width'), height: side('height') };
}

function restart() {
  const { width, height } = frameSize();
  canvas.width = width;
  canvas.height = height;
  engine.start(width, height);
  showDiagnostics();
}

function showDiagnostics() {
  SECTION_NAMES.forEach((name, s) => {
    const found = engine.diagnostic(s);
    errors[s].textContent = found ? `line ${found.line}, column ${found.column}: ${found.message}` : '';
  });
}

function draw() {
  // The engine's pixels, not a copy: a view of the module's memory.
  const image = new ImageData(engine.rgba(), engine.width(), engine.height());
  context2d.putImageData(image, 0, 0);
  $('frame-number').textContent = `frame ${engine.framesDrawn() - 1}`;
}

function setPlaying(on) {
  playing = on;
  $('play').textContent = playing ? 'Pause' : 'Play';
  $('play').setAttribute('aria-pressed', String(playing));
}

function renderOne() {
  const musicFrame = music ? Math.floor(music.seconds() * FPS) : engine.framesDrawn();
  const flags = engine.renderFrame(musicFrame, beatPressed);
  beatPressed = false;
  if (flags & 1) showDiagnostics();
  draw();
}

function tick(now) {
  if (playing && engine) {
    renderOne();
    fpsWindow.push(now);
    while (fpsWindow.length && now - fpsWindow[0] > 1000) fpsWindow.shift();
    $('fps').textContent = `${fpsWindow.length} fps`;
  }
  requestAnimationFrame(tick);
}

// Sections from preset file bytes; false (with the reason shown) when they are not a preset.
function loadPresetBytes(bytes, from) {
  const error = engine.readPreset(bytes);
  if (error) {
    status(`${from}: ${error}`);
    return false;
  }
  engine.sections().forEach((text, s) => { boxes[s].value = text; });
  restart();
  remember();
  status(`Loaded ${from}`);
  return true;
}

function presetText() {
  const written = engine.writePreset();
  if (written.error) status(`Cannot write the preset: ${written.error}`);
  return written.text ?? null;
}

function remember() {
  const text = presetText();
  if (text !== null) {
    try { localStorage.setItem(STORAGE_KEY, text); } catch { /* storage may be off */ }
  }
}

async function copyLink() {
  const text = presetText();
  if (text === null) return;
  const fragment = await fragmentOf(text);
  history.replaceState(null, '', fragment);
  try {
    await navigator.clipboard.writeText(location.href);
    status('Link copied');
  } catch {
    status('The link is in the address bar');
  }
}

function savePreset() {
  const text = presetText();
  if (text === null) return;
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
  link.download = 'playground.preset';
  link.click();
  URL.revokeObjectURL(link.href);
}

function stopMusic() {
  if (music) music.stop();
  music = null;
}

async function useSong(bytes, name) {
  stopMusic();
  $('music-status').textContent = `Decoding ${name}…`;
  try {
    song = await decodeSong(bytes);
  } catch (error) {
    $('music-status').textContent = `${name}: cannot decode (${error.message ?? error})`;
    return 0;
  }
  const frames = engine.setSong(song.left, song.right);
  engine.setMusicSource('song');
  $('music-status').textContent = `${name}: ${(song.left.length / 44100).toFixed(1)} s`;
  return frames;
}

async function useMicrophone() {
  stopMusic();
  try {
    music = await openMicrophone((left, right) => engine.pushLive(left, right));
    engine.setMusicSource('live');
    $('music-status').textContent = 'Microphone';
  } catch (error) {
    $('music-status').textContent = `Microphone refused (${error.message ?? error})`;
  }
}

async function loadExamples() {
  const names = await (await fetch('examples/index.json')).json();
  for (const name of names) $('examples').append(new Option(name.replace(/\.preset$/, ''), name));
}

async function fetchExample(name) {
  return new Uint8Array(await (await fetch(`examples/${name}`)).arrayBuffer());
}

async function droppedFile(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (file.type.startsWith('audio/')) {
    await useSong(bytes, file.name);
    if (song) music = playSong(song.buffer);
  } else {
    loadPresetBytes(bytes, file.name);
  }
}

function wireControls() {
  boxes.forEach((box, s) => box.addEventListener('input', () => {
    engine.editSection(s, box.value);
    remember();
  }));
  $('play').addEventListener('click', () => setPlaying(!playing));
  $('step').addEventListener('click', () => { if (!playing) renderOne(); });
  $('beat').addEventListener('click', () => { beatPressed = true; if (!playing) renderOne(); });
  const blend = () => engine.setBlend(Number($('blend').value), Number($('ratio').value));
  $('blend').addEventListener('change', blend);
  $('ratio').addEventListener('input', blend);
  $('width').addEventListener('change', restart);
  $('height').addEventListener('change', restart);
  $('examples').addEventListener('change', async () => {
    const name = $('examples').value;
    if (name) loadPresetBytes(await fetchExample(name), name);
  });
  $('open-preset').addEventListener('change', async () => {
    const file = $('open-preset').files[0];
    if (file) loadPresetBytes(new Uint8Array(await file.arrayBuffer()), file.name);
  });
  $('save-preset').addEventListener('click', savePreset);
  $('copy-link').addEventListener('click', copyLink);
  $('song').addEventListener('change', async () => {
    const file = $('song').files[0];
    if (file) await droppedFile(file);
  });
  $('microphone').addEventListener('click', useMicrophone);
  $('silence').addEventListener('click', () => {
    stopMusic();
    engine.setMusicSource('silence');
    $('music-status').textContent = 'No music';
  });
  document.addEventListener('dragover', (event) => { event.preventDefault(); document.body.classList.add('dropping'); });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    const file = event.dataTransfer.files[0];
    if (file) droppedFile(file);
  });
}

// What the browser tests drive: deterministic frames without the clock.
function testHooks() {
  return {
    // Stops the clock: frames follow frame numbers, also for a song.
    pause() { setPlaying(false); stopMusic(); },
    restart,
    step(count) { for (let k = 0; k < count; ++k) renderOne(); },
    // Frames drawn by the engine alone, not shown (for the benchmark).
    drawOnly(count) { for (let k = 0; k < count; ++k) engine.renderFrame(engine.framesDrawn(), false); },
    frameWords: () => Array.from(engine.frameWords()),
    recompileCounter: () => engine.recompileCounter(),
    async loadSongBytes(bytes) { return useSong(new Uint8Array(bytes), 'test song'); },
    songLog: (frames) => engine.songLog(frames),
  };
}

async function main() {
  engine = await loadEngine();
  wireControls();
  await loadExamples();
  const fromLink = await presetOfFragment(location.hash);
  const stored = (() => { try { return localStorage.getItem(STORAGE_KEY); } catch { return null; } })();
  if (!(fromLink && loadPresetBytes(fromLink, 'the link')) &&
      !(stored && loadPresetBytes(new TextEncoder().encode(stored), 'the last session'))) {
    loadPresetBytes(await fetchExample('demo.preset'), 'demo.preset');
  }
  window.playgroundTest = testHooks();
  document.body.dataset.ready = 'true';
  requestAnimationFrame(tick);
}

main().catch((error) => status(`The playground failed to start: ${error.message ?? error}`));
