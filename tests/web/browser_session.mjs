// The browser tests' surroundings: the page's files served on 127.0.0.1 by
// python's static server on a free port, and Debian's chromium, headless,
// driven by playwright-core, with a fresh profile and no network of its own.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

export async function serve(directory) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', directory],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  const port = await new Promise((resolve, reject) => {
    let seen = '';
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const found = /port (\d+)/.exec(seen);
      if (found) resolve(Number(found[1]));
    });
    server.on('exit', (code) => reject(new Error(`http.server ended (${code}) before serving`)));
  });
  return { url: `http://127.0.0.1:${port}/`, stop: () => server.kill() };
}

export async function launchChromium(modulesDir) {
  const require = createRequire(resolve(modulesDir, 'node_modules', 'playwright-core', 'package.json'));
  const { chromium } = require('playwright-core');
  const profile = mkdtempSync(join(tmpdir(), 'playground-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    viewport: { width: 1400, height: 900 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=no-user-gesture-required',
      // A microphone that plays chromium's own test tone, granted without asking.
      '--use-fake-device-for-media-stream', '--use-fake-ui-for-media-stream'],
  });
  return {
    context,
    close: async () => { await context.close(); rmSync(profile, { recursive: true, force: true }); },
  };
}

// A page of the playground at `url`, ready, with every request outside the
// server refused and counted.
export async function openPlayground(context, url, outside) {
  const page = await context.newPage();
  const origin = new URL(url).origin;
  await page.route('**/*', (route) => {
    if (new URL(route.request().url()).origin === origin) return route.continue();
    outside.push(route.request().url());
    return route.abort();
  });
  page.on('pageerror', (error) => { throw new Error(`page error: ${error.message}`); });
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}
