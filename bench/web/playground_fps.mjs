// Frames per second of the playground's demo in headless chromium:
//   node bench/web/playground_fps.mjs SITE_DIR NODE_MODULES_DIR [WIDTHxHEIGHT]
// Prints the page's own counter while it plays (paced by the browser's
// animation frames) and the engine's rate when frames are drawn back to back.
import { serve, launchChromium, openPlayground } from '../../tests/web/browser_session.mjs';

const [siteDir, modulesDir, size = '1280x720'] = process.argv.slice(2);
const server = await serve(siteDir);
const browser = await launchChromium(modulesDir);
try {
  const page = await openPlayground(browser.context, server.url, []);
  const [width, height] = size.split('x');
  await page.fill('#width', width);
  await page.fill('#height', height);
  await page.locator('#height').blur();
  await page.selectOption('#examples', 'demo.preset');
  await page.waitForFunction(() => document.getElementById('status').textContent === 'Loaded demo.preset');
  await page.waitForTimeout(2000);  // past compilation and the first second of the counter
  const counted = [];
  for (let k = 0; k < 5; ++k) {
    await page.waitForTimeout(1000);
    counted.push(parseInt(await page.$eval('#fps', (node) => node.textContent), 10));
  }
  const rate = (hook) => page.evaluate((name) => {
    window.playgroundTest.pause();
    const frames = 300;
    const start = performance.now();
    window.playgroundTest[name](frames);
    return frames / ((performance.now() - start) / 1000);
  }, hook);
  const shown = await rate('step');
  const drawn = await rate('drawOnly');
  console.log(`demo.preset ${size}, headless chromium: page counter while playing ${counted.join(' ')} fps ` +
    `(median ${counted.sort((a, b) => a - b)[2]}); back to back: ${shown.toFixed(1)} fps drawn and shown, ` +
    `${drawn.toFixed(1)} fps drawn by the engine alone`);
} finally {
  await browser.close();
  server.stop();
}
