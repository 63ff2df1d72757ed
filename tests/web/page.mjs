// The browser build in Debian's chromium, driven by puppeteer-core, served from 127.0.0.1.
//
//   node page.mjs test DIST [DATA]
//                               passes the opening, starts a game, shoots, and checks from the
//                               canvas that the field is shown and the ball moved; with DATA (the
//                               native ready-to-run folder), that the game's folder in the page
//                               holds its data files byte for byte. Then adds 16 stage sets with
//                               the file button (19 with the examples: the game's message shows
//                               in the page's dialog), quits with F9, and reloads the page: the
//                               sets and zarp.dat come back from the browser's storage.
//   node page.mjs pacing DIST   prints the frame interval over 600 frames of play
//
// CHROMIUM names the browser (default /usr/bin/chromium); ZARP_SCREENSHOT=FILE.png keeps a
// picture of the page after the shot. Exit status 0 when all is well.
import {createServer} from 'node:http';
import {mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {extname, join, normalize} from 'node:path';
import puppeteer from 'puppeteer-core';

const [mode, dist, data] = process.argv.slice(2);
if (!['test', 'pacing'].includes(mode) || !dist) {
  console.error('usage: node page.mjs test|pacing DIST');
  process.exit(2);
}

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
};

// A static server of DIST on 127.0.0.1, as any web host would serve the folder.
function serve(root) {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(root, path === '/' ? 'index.html' : path);
    try {
      if (!file.startsWith(root) || !statSync(file).isFile()) throw new Error('not found');
      response.writeHead(200, {'Content-Type': TYPES[extname(file)] || 'application/octet-stream'});
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function waitFor(what, test, seconds) {
  const until = Date.now() + seconds * 1000;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > until) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

// Holds a key long enough for the game, which looks at the keys once a frame, to see it.
async function tap(page, key, ms = 120) {
  await page.keyboard.down(key);
  await sleep(ms);
  await page.keyboard.up(key);
}

const SCENE = {play: 1, title: 10, opening: 11, stageStart: 0};

// Passes the opening and chooses START GAME (the first item of the title menu).
async function startGame(page, status) {
  await tap(page, 'Space');
  await waitFor('the title', async () => (await status()).scene === SCENE.title, 20);
  await sleep(500);
  await tap(page, 'Space');
  await waitFor('play', async () => (await status()).scene === SCENE.play, 30);
  await sleep(300);
}

async function main() {
  const root = normalize(dist.replace(/\/?$/, '/'));
  const server = await serve(root);
  const profile = mkdtempSync(join(tmpdir(), 'zarp-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const problems = [];
  try {
    const page = await browser.newPage();
    page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
    page.on('console', (m) => { if (m.type() === 'error') problems.push(`console: ${m.text()}`); });
    await page.setViewport({width: 800, height: 600});
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    const status = () => page.evaluate(() => window.zarpStatus && window.zarpStatus());

    // The overlay waits for the player; a click starts the game and its sound.
    await waitFor('the start overlay',
                  () => page.evaluate(() => document.getElementById('overlay-text').textContent
                                               .startsWith('Click')), 60);
    await page.click('#overlay');
    await waitFor('the opening', async () => (await status()).scene === SCENE.opening, 20);
    const audio = await page.evaluate(() => typeof AudioContext === 'function');

    await startGame(page, status);
    if (mode === 'pacing') {
      const start = (await status()).frames.length;
      await waitFor('600 frames', async () => (await status()).frames.length > start + 600, 30);
      const times = (await status()).frames.slice(start, start + 601);
      const gaps = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
      const mean = (times[600] - times[0]) / 600;
      const p95 = gaps[Math.floor(gaps.length * 0.95)];
      const ok = Math.abs(mean - 16) <= 0.3 && p95 < 18;
      console.log(`600 frames of play in headless chromium: mean ${mean.toFixed(2)} ms ` +
                  `(goal 16.0 ± 0.3), 95th percentile ${p95.toFixed(2)} ms (goal under 18), ` +
                  `longest ${gaps[gaps.length - 1].toFixed(2)} ms: ${ok ? 'met' : 'NOT met'}`);
      return ok ? 0 : 1;
    }

    // The canvas as the player sees it, in the field (below the status line).
    const field = () => page.evaluate(() => {
      const canvas = document.getElementById('screen');
      const data = canvas.getContext('2d').getImageData(0, 32, 640, 448).data;
      return Array.from(data.filter((_, i) => i % 4 !== 3));
    });
    const aiming = await field();
    const lit = aiming.filter((v) => v > 0).length / aiming.length;
    await tap(page, 'Space', 60);
    await sleep(400);
    const flying = await field();
    let moved = 0;
    for (let i = 0; i < aiming.length; i += 3) {
      if (aiming[i] !== flying[i] || aiming[i + 1] !== flying[i + 1] ||
          aiming[i + 2] !== flying[i + 2]) ++moved;
    }
    if (process.env.ZARP_SCREENSHOT) await page.screenshot({path: process.env.ZARP_SCREENSHOT});
    const afterShot = await status();
    if (data) {
      // The page unpacks the data as the build packed it: the same bytes as the native files.
      const names = readdirSync(data).filter((n) => /\.(wav|dat|mid|zrp)$/.test(n) && n !== 'zarp.dat');
      const inPage = await page.evaluate((names) => names.map((n) => {
        try {
          return Array.from(FS.readFile('/zarp/' + n)).join(',');
        } catch {
          return 'missing';
        }
      }), names);
      names.forEach((n, i) => {
        if (inPage[i] !== Array.from(readFileSync(join(data, n))).join(',')) {
          problems.push(`${n} differs in the page`);
        }
      });
      console.log(`${names.length} data files compared with the native ones`);
    }
    console.log(`field: ${(lit * 100).toFixed(1)}% of its channels lit; ${moved} pixels changed ` +
                `after the shot; scene ${afterShot.scene}; WebAudio ${audio ? 'present' : 'absent'}`);
    if (lit < 0.2) problems.push('the field is not shown (the canvas is mostly black)');
    if (moved < 50) problems.push('the ball did not move after the shot');
    if (afterShot.scene !== SCENE.play) problems.push(`scene ${afterShot.scene} after the shot`);

    // Sets added with the file button are listed at once: 19 in all, which the game reports.
    const sets = mkdtempSync(join(tmpdir(), 'zarp-sets-'));
    const set = data ? readFileSync(join(data, 'first-steps.zrp')) : Buffer.from('2\r\n');
    const names = Array.from({length: 16}, (_, i) => `added${String(i + 1).padStart(2, '0')}.zrp`);
    names.forEach((n) => writeFileSync(join(sets, n), set));
    await (await page.$('#sets')).uploadFile(...names.map((n) => join(sets, n)));
    const box = await waitFor('the dialog', () => page.evaluate(() => {
      const dialog = document.getElementById('dialog');
      return !dialog.hidden && dialog.querySelector('.text').textContent;
    }), 20);
    // The game's message, in the browser's language.
    if (!box.includes('１９個以上') && !box.includes('19 or more')) {
      problems.push(`unexpected dialog: ${box}`);
    }
    const before = (await status()).frames.length;
    await sleep(300);
    if ((await status()).frames.length !== before) problems.push('the game ran on under the dialog');
    await tap(page, 'Enter');
    // The game goes on. (The shot may have cleared the stage, whose window waits within one
    // frame for a button: Space lets it go on.)
    await waitFor('the game after the dialog', async () => {
      if ((await status()).frames.length > before + 1) return true;
      await tap(page, 'Space');
      await sleep(1000);
      return false;
    }, 30);

    // F9 quits: the game shuts down, writes zarp.dat, and the page offers another game.
    await tap(page, 'F9');
    await waitFor('the end of the game', () => page.evaluate(() =>
        !document.getElementById('overlay').hidden &&
        document.getElementById('overlay-text').textContent.startsWith('Thanks')), 20);
    await page.reload();
    await waitFor('the start overlay again',
                  () => page.evaluate(() => document.getElementById('overlay-text').textContent
                                               .startsWith('Click')), 60);
    const kept = await page.evaluate(() => FS.readdir('/zarp'));
    const missing = names.concat(['zarp.dat']).filter((n) => !kept.includes(n));
    if (missing.length) problems.push(`not kept by the browser: ${missing.join(' ')}`);
    const ranking = await page.evaluate(() => new TextDecoder().decode(FS.readFile('/zarp/zarp.dat')));
    if (!ranking.includes('Sum=')) problems.push('zarp.dat came back without its ranking');
    console.log(`storage: ${names.length} sets and zarp.dat kept across a reload; dialog: ${box}`);
    rmSync(sets, {recursive: true, force: true});

    for (const p of problems) console.log(`FAIL: ${p}`);
    console.log(problems.length ? '0 passed, 1 failed' : '1 passed, 0 failed');
    return problems.length ? 1 : 0;
  } finally {
    await browser.close();
    server.close();
    rmSync(profile, {recursive: true, force: true});
  }
}

main().then((status) => process.exit(status), (e) => {
  console.error(`page.mjs: ${e.stack || e}`);
  process.exit(1);
});
