// The browser's build measured in Debian's Chromium (headless, software WebGL), through a web
// server on 127.0.0.1:
//   node bench/browser.js load           what a player downloads (raw and gzipped) and how long
//                                        from opening the page to the first menu frame drawn
//   node bench/browser.js run LEVEL N    seconds from opening the page to the end of N frames of
//                                        LEVEL without drawing (bench/speed.sh takes the
//                                        start-up out)
// Needs puppeteer-core on NODE_PATH (scripts/web-test-deps.sh); VANTORIX_SITE names another site
// than build/web/site.
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { launch, serving } = require('../tests/web/chromium.js');

const site = process.env.VANTORIX_SITE || path.join(__dirname, '..', 'build', 'web', 'site');
// The script of the timed runs, served at /bench/.
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantorix-bench-'));
fs.writeFileSync(path.join(work, 'script.txt'), '# nothing: the autopilot plays\n');

async function open(server) {
  const browser = await launch();
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 802 });
  page.on('dialog', dialog => dialog.dismiss());
  // The moments, on the page's clock from its opening, of the first drawing and of the end.
  await page.evaluateOnNewDocument(() => {
    // Each frame the game clears the screen once: the clears counted give its frame rate.
    const clear = WebGLRenderingContext.prototype.clear;
    window.clears = 0;
    WebGLRenderingContext.prototype.clear = function (...args) {
      ++window.clears;
      return clear.apply(this, args);
    };
    const draw = WebGLRenderingContext.prototype.drawElements;
    WebGLRenderingContext.prototype.drawElements = function (...args) {
      if (window.firstDrawAt === undefined) window.firstDrawAt = performance.now();
      return draw.apply(this, args);
    };
    let status;
    Object.defineProperty(window, 'vantorixExit', {
      get: () => status,
      set: value => { status = value; window.exitAt = performance.now(); },
    });
  });
  return { browser, page, origin: `http://127.0.0.1:${server.address().port}/` };
}

const median = values => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function load(server) {
  let raw = 0, packed = 0;
  for (const name of fs.readdirSync(site)) {
    const bytes = fs.readFileSync(path.join(site, name));
    const gzipped = zlib.gzipSync(bytes, { level: 9 }).length;
    raw += bytes.length;
    packed += gzipped;
    console.log(`${name}: ${bytes.length} bytes, ${gzipped} gzipped`);
  }
  console.log(`the site: ${(raw / 1048576).toFixed(2)} MiB, ${(packed / 1048576).toFixed(2)} MiB gzipped`);
  const ready = [], drawn = [], rates = [];
  for (let round = 0; round < 3; ++round) {
    const { browser, page, origin } = await open(server);
    await page.goto(origin);
    await page.waitForSelector('#cover.ready', { timeout: 60000 });
    ready.push(await page.evaluate(() => performance.now()));
    await page.click('#cover');
    await page.waitForFunction(() => window.firstDrawAt !== undefined, { timeout: 60000 });
    drawn.push(await page.evaluate(() => window.firstDrawAt));
    // The menu's frame rate, paced by the browser's frames.
    await new Promise(resolve => setTimeout(resolve, 2000));
    const before = await page.evaluate(() => [window.clears, performance.now()]);
    await new Promise(resolve => setTimeout(resolve, 3000));
    const after = await page.evaluate(() => [window.clears, performance.now()]);
    rates.push(1000 * (after[0] - before[0]) / (after[1] - before[1]));
    await browser.close();
  }
  console.log(`opening the page to CLICK TO PLAY: ${median(ready).toFixed(0)} ms; ` +
              `to the first menu frame, clicked at once: ${median(drawn).toFixed(0)} ms; ` +
              `the menu at ${median(rates).toFixed(1)} frames a second (medians of 3)`);
}

async function run(server, level, frames) {
  const { browser, page, origin } = await open(server);
  const args = ['--script', '/run/script.txt', '--nodraw', '--seed', '5', '--autopilot', '5',
                '--level', level, '--frames', frames];
  await page.goto(origin + '?' + args.map(a => 'arg=' + a).join('&') + '&fetch=bench/script.txt');
  await page.waitForFunction(() => window.exitAt !== undefined, { timeout: 600000 });
  console.log(((await page.evaluate(() => window.exitAt)) / 1000).toFixed(4));
  await browser.close();
}

serving({ '/': site, '/bench/': work }, work, async server => {
  if (process.argv[2] === 'load') await load(server);
  else if (process.argv[2] === 'run') await run(server, process.argv[3], process.argv[4]);
  else throw new Error('usage: node bench/browser.js load | run LEVEL FRAMES');
});
