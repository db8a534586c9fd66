// How often the browser's pixels differ from triangle-render's: every bundled
// example at a few frames, counting differing frame-buffer words.
//   node bench/web/pixel_agreement.mjs SITE_DIR NODE_MODULES_DIR TRIANGLE_RENDER EXAMPLES_DIR [WIDTHxHEIGHT]
// The scripts' sin, cos, pow, exp... come from each build's C library (glibc
// natively, musl in WebAssembly), which may round a result differently in the
// last bit; this measures whether that ever reaches a pixel.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve, launchChromium, openPlayground } from '../../tests/web/browser_session.mjs';

const [siteDir, modulesDir, triangleRender, examplesDir, size = '320x180'] = process.argv.slice(2);
const [width, height] = size.split('x').map(Number);
const FRAMES = [0, 59, 239, 599];
const scratch = mkdtempSync(join(tmpdir(), 'pixel-agreement-'));
const server = await serve(siteDir);
const browser = await launchChromium(modulesDir);
let totalPixels = 0;
let totalDiffering = 0;
try {
  const page = await openPlayground(browser.context, server.url, []);
  await page.fill('#width', String(width));
  await page.fill('#height', String(height));
  await page.locator('#height').blur();
  for (const name of readdirSync(examplesDir).filter((file) => file.endsWith('.preset')).sort()) {
    await page.selectOption('#examples', name);
    await page.waitForFunction((n) => document.getElementById('status').textContent === `Loaded ${n}`, name);
    await page.evaluate(() => { window.playgroundTest.pause(); window.playgroundTest.restart(); });
    const counts = [];
    let drawn = 0;
    for (const k of FRAMES) {
      await page.evaluate((n) => window.playgroundTest.step(n), k + 1 - drawn);
      drawn = k + 1;
      const out = join(scratch, 'frame.bgra');
      execFileSync(triangleRender, ['--quiet', '--size', size, '--frames', String(k + 1), '--out', out, join(examplesDir, name)]);
      const bytes = readFileSync(out);
      const native = new Uint32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
      const page32 = await page.evaluate(() => window.playgroundTest.frameWords());
      let differing = 0;
      for (let p = 0; p < native.length; ++p) if (native[p] !== page32[p]) differing += 1;
      counts.push(`frame ${k}: ${differing}`);
      totalPixels += native.length;
      totalDiffering += differing;
    }
    console.log(`${name.padEnd(24)} ${counts.join(', ')}`);
  }
} finally {
  await browser.close();
  server.stop();
  rmSync(scratch, { recursive: true, force: true });
}
console.log(`${totalDiffering} of ${totalPixels} pixels differ (${FRAMES.length} frames of each example at ${size})`);
