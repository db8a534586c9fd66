// The playground in a real browser, against the native previewer:
//   node playground_test.mjs SITE_DIR NODE_MODULES_DIR TRIANGLE_RENDER EXAMPLES_DIR OUT_DIR
// Same pixels as triangle-render frame for frame, the 21-frame edit rule, a
// broken section's diagnostic, a shared link and the last session restored,
// and a song's beats and levels as triangle-render --log-frames has them.
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { serve, launchChromium, openPlayground } from './browser_session.mjs';
import { clickTrackWav } from './test_song.mjs';

const [siteDir, modulesDir, triangleRender, examplesDir, outDir] = process.argv.slice(2);
rmSync(outDir, { recursive: true, force: true });
mkdirSync(outDir, { recursive: true });

let failures = 0;
function check(condition, what) {
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
  if (!condition) failures += 1;
}

// triangle-render's frame k (0-based) as 32-bit words.
function nativeFrame(presetPath, width, height, k) {
  const out = join(outDir, 'native.bgra');
  execFileSync(triangleRender, ['--quiet', '--size', `${width}x${height}`, '--frames', String(k + 1), '--out', out, presetPath]);
  const bytes = readFileSync(out);
  return new Uint32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
}

async function choosePreset(page, name, width, height) {
  await page.fill('#width', String(width));
  await page.fill('#height', String(height));
  await page.locator('#height').blur();  // a number box commits its value when it loses focus
  await page.selectOption('#examples', name);
  await page.waitForFunction((n) => document.getElementById('status').textContent === `Loaded ${n}`, name);
  await page.evaluate(() => { window.playgroundTest.pause(); window.playgroundTest.restart(); });
}

async function loadText(page, text) {
  await page.setInputFiles('#open-preset', { name: 'test.preset', mimeType: 'text/plain', buffer: Buffer.from(text) });
  await page.waitForFunction(() => document.getElementById('status').textContent === 'Loaded test.preset');
  await page.evaluate(() => { window.playgroundTest.pause(); window.playgroundTest.restart(); });
}

const step = (page, count) => page.evaluate((n) => window.playgroundTest.step(n), count);
const words = (page) => page.evaluate(() => window.playgroundTest.frameWords());
// The canvas's pixels as 0x00RRGGBB words, read back from the canvas itself.
const canvasWords = (page) => page.evaluate(() => {
  const canvas = document.getElementById('canvas');
  const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  const out = new Array(data.length / 4);
  for (let p = 0; p < out.length; ++p) out[p] = (data[4 * p] << 16) | (data[4 * p + 1] << 8) | data[4 * p + 2];
  return out;
});
const centre = async (page) => {
  const all = await canvasWords(page);
  const { width, height } = await page.evaluate(() => ({ width: canvas.width, height: canvas.height }));
  return all[(height >> 1) * width + (width >> 1)];
};

function differingPixels(a, b) {
  let count = 0;
  for (let p = 0; p < a.length; ++p) if (a[p] !== b[p]) count += 1;
  return count;
}

// Every bundled example: the page's frame k is triangle-render's, word for
// word in the engine and colour for colour on the canvas.
async function samePixels(page) {
  const cases = readdirSync(examplesDir).filter((name) => name.endsWith('.preset')).sort()
    .map((name) => ({ name, width: 160, height: 90, k: 45 }));
  cases.push({ name: 'demo.preset', width: 320, height: 180, k: 100 });
  for (const { name, width, height, k } of cases) {
    await choosePreset(page, name, width, height);
    await step(page, k + 1);
    const native = nativeFrame(join(examplesDir, name), width, height, k);
    const engine = await words(page);
    const canvas = await canvasWords(page);
    const wordsDiffer = differingPixels(native, engine);
    const colourDiffer = differingPixels(Array.from(native, (w) => w & 0xFFFFFF), canvas);
    check(native.length === width * height && wordsDiffer === 0 && colourDiffer === 0,
      `${name} frame ${k} at ${width}x${height}: ${wordsDiffer} words and ${colourDiffer} canvas pixels differ from triangle-render`);
  }
}

// One triangle over the whole frame in grey level c.
const WHITE_TRIANGLE = '[frame]\nn = 1;\nc = 1;\n[triangle]\nx1 = -3; y1 = -3; x2 = 5; y2 = -3; x3 = -3; y3 = 5;\n' +
  'red1 = c; green1 = c; blue1 = c;\n';

// Typing runs the old scripts for 20 more frames and the new ones from the 21st.
async function editRule(page) {
  await loadText(page, WHITE_TRIANGLE);
  await step(page, 3);
  const before = await centre(page);
  await page.focus('#code-frame');
  await page.keyboard.press('End');
  await page.keyboard.press('Control+End');
  await page.keyboard.type('\nc = 0.5;', { delay: 5 });
  await step(page, 20);
  const during = await centre(page);
  await step(page, 1);
  const after = await centre(page);
  check(before === 0xFFFFFF && during === 0xFFFFFF && after === 0x808080,
    `edit: white before (${before.toString(16)}), still white 20 frames after the last key (${during.toString(16)}), grey on the 21st (${after.toString(16)})`);
}

// A section that does not compile: its message under its box, the others run.
async function brokenSection(page) {
  await loadText(page, WHITE_TRIANGLE);
  await page.fill('#code-beat', 'k = 1;\nq = (2 +');
  await step(page, 21);
  const messages = await page.$$eval('.error', (nodes) => nodes.map((node) => node.textContent));
  check(messages[0] === '' && messages[1] === '' && messages[3] === '' && /^line 2, column \d+: \S/.test(messages[2]),
    `broken beat section: diagnostics ${JSON.stringify(messages)}`);
  check(await centre(page) === 0xFFFFFF, 'broken beat section: the frame and triangle sections still draw');
}

// A song heard by a preset: the page's frame k is triangle-render --audio's.
async function samePixelsWithMusic(page) {
  const song = join(outDir, 'clicks-float.wav');
  // triangle-render decodes 5 s beyond its last frame: past the song's 8 s
  // its analysis sees the whole song, as the page's does.
  const [name, width, height, k] = ['music-burst.preset', 160, 90, 200];
  await choosePreset(page, name, width, height);
  await page.setInputFiles('#song', song);
  await page.waitForFunction(() => document.getElementById('music-status').textContent.startsWith('clicks-float.wav:'));
  await page.evaluate(() => { window.playgroundTest.pause(); window.playgroundTest.restart(); });
  await step(page, k + 1);
  const out = join(outDir, 'native-music.bgra');
  execFileSync(triangleRender, ['--quiet', '--size', `${width}x${height}`, '--frames', String(k + 1), '--audio', song,
    '--out', out, join(examplesDir, name)]);
  const bytes = readFileSync(out);
  const native = new Uint32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
  const differ = differingPixels(native, await words(page));
  check(differ === 0, `${name} hearing ${song.split('/').pop()}, frame ${k} at ${width}x${height}: ${differ} words differ from triangle-render --audio`);
  await page.click('#silence');
}

// A link carries the preset; a reload brings back the last one typed.
async function keepAndShare(context, url, outside) {
  const page = await openPlayground(context, url, outside);
  await choosePreset(page, 'spinning-ring.preset', 160, 90);
  await page.focus('#code-init');
  await page.keyboard.type('// shared by link\n');
  const sections = await page.$$eval('textarea', (nodes) => nodes.map((node) => node.value));
  await page.click('#copy-link');
  await page.waitForFunction(() => location.hash.startsWith('#preset='));
  const link = page.url();
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  await page.evaluate(() => { history.replaceState(null, '', location.pathname); localStorage.setItem('render-triangle-playground-preset', '[frame]\nn = 0\n'); });
  const opened = await openPlayground(context, link, outside);
  const fromLink = await opened.$$eval('textarea', (nodes) => nodes.map((node) => node.value));
  check(JSON.stringify(fromLink) === JSON.stringify(sections), 'a copied link opens the same four sections');
  await opened.fill('#code-beat', 'beat_typed = 1');
  const restored = await openPlayground(context, url, outside);
  const afterReload = await restored.$$eval('textarea', (nodes) => nodes.map((node) => node.value));
  check(afterReload[2] === 'beat_typed = 1' && afterReload[0] === sections[0], 'a reload restores the last preset typed');
  await Promise.all([page.close(), opened.close(), restored.close()]);
}

// The page's analysis of a song it decodes itself against triangle-render's
// log of the same file. From 32-bit float samples both read the same numbers,
// so the logs agree line for line; from 16-bit samples chromium scales
// positive samples by 1/32767 where FFmpeg scales all by 1/32768, so levels
// may differ in the last printed digit, but the beats are the same.
const SONGS = [
  { name: 'clicks-float.wav', asFloat: true, sameLog: true },
  { name: 'clicks-16bit.wav', asFloat: false, sameLog: false },
];

async function songBeats(page) {
  const beatsOf = (log) => log.trim().split('\n').map(JSON.parse).filter((line) => line.beat).map((line) => line.frame);
  for (const { name, asFloat, sameLog } of SONGS) {
    const song = join(outDir, name);
    writeFileSync(song, clickTrackWav({ bpm: 120, seconds: 8, firstBeat: 0.25, asFloat }));
    const logFile = join(outDir, `${name}.native.jsonl`);
    execFileSync(triangleRender, ['--quiet', '--size', '32x18', '--audio', song, '--log-frames', logFile,
      join(examplesDir, 'beat-burst.preset')]);
    const native = readFileSync(logFile, 'utf8');
    const frames = native.trim().split('\n').length;
    await page.setInputFiles('#song', song);
    await page.waitForFunction((n) => document.getElementById('music-status').textContent.startsWith(`${n}:`), name);
    const browser = await page.evaluate((n) => window.playgroundTest.songLog(n), frames);
    writeFileSync(join(outDir, `${name}.browser.jsonl`), browser);
    const beats = beatsOf(native);
    // Clicks at 0.25 s and every 0.5 s after: frames 15, 45, 75 ... at 60 a second.
    const expected = Array.from({ length: 16 }, (_, k) => 15 + 30 * k);
    check(beats.filter((frame) => expected.some((at) => Math.abs(at - frame) <= 2)).length >= 14,
      `${name}: triangle-render's log has the clicks as beats (${beats.join(' ')})`);
    check(JSON.stringify(beatsOf(browser)) === JSON.stringify(beats), `${name}: the page finds the same beat frames (${beatsOf(browser).join(' ')})`);
    if (sameLog) check(browser === native, `${name}: the page's log of ${frames} frames (beats, levels, tempo) is triangle-render's, line for line`);
  }
  await page.click('#silence');
}

// The microphone (chromium's test tone) reaches the scripts: the triangle
// lights up once the scripts see the waveform move.
async function microphone(page) {
  await loadText(page, '[frame]\nn = 1;\nheard = max(heard, abs(wave(0.5)) > 0);\n[triangle]\n' +
    'x1 = -3; y1 = -3; x2 = 5; y2 = -3; x3 = -3; y3 = 5;\nred1 = heard; green1 = heard; blue1 = heard;\n');
  await step(page, 2);
  const silent = await centre(page);
  await page.click('#microphone');
  await page.waitForFunction(() => document.getElementById('music-status').textContent === 'Microphone');
  await page.waitForTimeout(1500);
  await step(page, 2);
  const hearing = await centre(page);
  check(silent === 0 && hearing === 0xFFFFFF,
    `microphone: dark before (${silent.toString(16)}), lit once the scripts hear it (${hearing.toString(16)})`);
  await page.click('#silence');
}

// Every control has a name, and the keyboard alone plays, pauses and steps.
async function keyboardAlone(page) {
  const unnamed = await page.$$eval('button, input, select, textarea', (nodes) => nodes
    .filter((node) => !(node.labels && node.labels.length) && !node.getAttribute('aria-label') && !node.textContent.trim())
    .map((node) => node.id));
  check(unnamed.length === 0, `every control has a label (unlabelled: ${unnamed.join(' ')})`);
  await page.evaluate(() => window.playgroundTest.pause());
  await page.focus('#code-triangle');
  const visited = [];
  for (let k = 0; k < 3; ++k) {
    await page.keyboard.press('Tab');
    visited.push(await page.evaluate(() => document.activeElement.id));
  }
  const frameBefore = await page.$eval('#frame-number', (node) => node.textContent);
  await page.keyboard.press('Shift+Tab');   // back to Step
  await page.keyboard.press('Enter');
  const frameAfter = await page.$eval('#frame-number', (node) => node.textContent);
  await page.keyboard.press('Shift+Tab');   // Play
  await page.keyboard.press('Space');
  const playing = await page.$eval('#play', (node) => node.getAttribute('aria-pressed'));
  await page.keyboard.press('Space');
  check(visited.join(' ') === 'play step beat' && frameAfter !== frameBefore && playing === 'true',
    `keyboard: Tab from the Triangle box visits ${visited.join(', ')}; Enter on Step draws (${frameBefore} to ${frameAfter}); Space on Play plays (${playing})`);
}

// The picture of the page in the README (docs/playground.png).
async function screenshot(context, url, outside) {
  const page = await openPlayground(context, url, outside);
  await page.setViewportSize({ width: 1380, height: 690 });
  await choosePreset(page, 'demo.preset', 640, 360);
  await page.evaluate(() => { window.playgroundTest.step(40); });
  await page.click('#beat');
  await page.evaluate(() => { window.playgroundTest.step(12); });
  await page.screenshot({ path: join(outDir, 'playground.png') });
  await page.close();
}

const server = await serve(siteDir);
const browser = await launchChromium(modulesDir);
const outside = [];
try {
  const page = await openPlayground(browser.context, server.url, outside);
  await samePixels(page);
  await editRule(page);
  await brokenSection(page);
  await songBeats(page);
  await samePixelsWithMusic(page);
  await keyboardAlone(page);
  await microphone(page);
  await screenshot(browser.context, server.url, outside);
  await keepAndShare(browser.context, server.url, outside);
  check(outside.length === 0, `no requests beyond the page's own files (${outside.join(' ')})`);
} finally {
  await browser.close();
  server.stop();
}
console.log(failures === 0 ? 'All browser checks passed' : `${failures} browser check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
