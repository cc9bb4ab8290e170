// The browser's build of the game, played in Debian's Chromium (headless, software WebGL)
// through a web server on 127.0.0.1, and compared with the Linux game of the native build.
// Usage: node browser_test.js <case>   with VANTORIX_SITE (build/web/site) and VANTORIX_NATIVE
// (a native build with its game and media) set; puppeteer-core on NODE_PATH.
'use strict';
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { launch, serving } = require('./chromium.js');

const site = process.env.VANTORIX_SITE;
const native = process.env.VANTORIX_NATIVE;
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantorix-web-'));
// Pictures of each run, to be looked at: build/web/shots/<site or checked>/<case>/.
const shots = path.join(path.dirname(site), 'shots', path.basename(site), process.argv[2] || '');

// Chromium on a page of its own, whose messages, errors and boxes are kept.
async function browse(server, viewport = { width: 1024, height: 802 }) {
  const browser = await launch({ userDataDir: fs.mkdtempSync(path.join(work, 'profile-')) });
  const page = await browser.newPage();
  await page.setViewport(viewport);
  page.log = [];
  page.dialogs = [];
  page.on('console', message => page.log.push(message.text()));
  page.on('pageerror', error => page.log.push('page error: ' + error.stack));
  page.on('dialog', dialog => {
    page.dialogs.push(dialog.message());
    dialog.dismiss();
  });
  page.origin = `http://127.0.0.1:${server.address().port}/`;
  return { browser, page };
}

const pause = ms => new Promise(resolve => setTimeout(resolve, ms));

// Until the game has ended, its exit status; an error of the page (a trap of the checked game)
// fails at once, with what the page said.
async function ended(page, seconds) {
  for (const deadline = Date.now() + seconds * 1000; Date.now() < deadline; await pause(200)) {
    const status = await page.evaluate(() => window.vantorixExit);
    if (status !== undefined) return status;
    if (page.log.some(line => line.startsWith('page error'))) break;
  }
  throw new Error('the game did not end:\n' + page.log.join('\n'));
}

// The game run by the address's command line, with files of this run's folder fetched to /run/.
async function runscripted(page, args, files, seconds = 120) {
  const query = args.map(a => 'arg=' + encodeURIComponent(a))
    .concat(files.map(f => 'fetch=work/' + f)).join('&');
  await page.goto(page.origin + '?' + query);
  return ended(page, seconds);
}

// A file of the game's memory as bytes.
async function gamefile(page, file) {
  const base64 = await page.evaluate(name => {
    const bytes = FS.readFile(name);
    let text = '';
    for (const byte of bytes) text += String.fromCharCode(byte);
    return btoa(text);
  }, file);
  return Buffer.from(base64, 'base64');
}

// The Linux game in a folder of its own with the media, as in the desktop tests.
function linuxgame(folder, script, args) {
  fs.mkdirSync(folder, { recursive: true });
  if (!fs.existsSync(path.join(folder, 'media'))) fs.symlinkSync(path.join(native, 'media'), path.join(folder, 'media'));
  fs.writeFileSync(path.join(folder, 'script.txt'), script);
  execFileSync(path.join(native, 'vantorix'), ['--script', 'script.txt', ...args],
               { cwd: folder, env: { ...process.env, SDL_AUDIODRIVER: 'dummy' }, stdio: 'pipe', timeout: 120000 });
}

// How far two pictures (PNG files served from /work/) are apart, worked out by the browser:
// the mean difference of a channel (0-255) and the share of pixels off by more than 48.
async function difference(page, a, b) {
  return page.evaluate(async (a, b) => {
    const pixels = async name => {
      const bitmap = await createImageBitmap(await (await fetch(name)).blob(),
                                             { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext('2d');
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height);
    };
    const [one, two] = [await pixels(a), await pixels(b)];
    if (one.width !== two.width || one.height !== two.height) return { size: false };
    let sum = 0, off = 0;
    for (let i = 0; i < one.data.length; i += 4) {
      let most = 0;
      for (let c = 0; c < 3; ++c) {
        const d = Math.abs(one.data[i + c] - two.data[i + c]);
        sum += d;
        most = Math.max(most, d);
      }
      if (most > 48) ++off;
    }
    const count = one.data.length / 4;
    return { size: true, mean: sum / (3 * count), off: off / count };
  }, a, b);
}

// The seeded game every build must play the same, to the trace whose hash they all give.
async function golden(server) {
  fs.writeFileSync(path.join(work, 'script.txt'), '# the autopilot plays figure 1\n');
  const { browser, page } = await browse(server);
  try {
    const status = await runscripted(page, ['--script', '/run/script.txt', '--nodraw', '--seed', '7',
                                            '--autopilot', '5', '--trace', '/run/match.trace', '--custom',
                                            'players=4,ai=12,gravity=2,arena=9', '--frames', '3000'],
                                     ['script.txt']);
    assert.equal(status, 0, page.log.join('\n'));
    const trace = await gamefile(page, '/run/match.trace');
    const hash = require('node:crypto').createHash('sha256').update(trace).digest('hex');
    assert.equal(hash, process.env.VANTORIX_GOLDEN_TRACE);
  } finally {
    await browser.close();
  }
}

// A picture of the page, kept in this run's folder and among the pictures to look at.
async function picture(page, name) {
  await page.screenshot({ path: path.join(work, name) });
  fs.copyFileSync(path.join(work, name), path.join(shots, name));
}

// The share of the page's pixels that differ between two of its pictures.
async function apart(page, a, b) {
  return (await difference(page, 'work/' + a, 'work/' + b)).off;
}

// The page opened as a player opens it, and clicked once it says so.
async function play(page) {
  await page.goto(page.origin);
  await page.waitForSelector('#cover.ready', { timeout: 60000 });
  await page.click('#cover');
}

// The screens of a custom game (its first frame, play at frame 300, the win's tally), drawn
// by the browser and by the Linux game from the same script, and the game ending by itself.
async function custom(server) {
  const script = '122 shot first.png\n421 shot play.png\n430 down 49\n430 down 52\n' +
                 '433 up 49\n433 up 52\n560 shot tally.png\n';
  const args = ['--custom', 'players=2', '--seed', '9', '--frames', '561'];
  linuxgame(path.join(work, 'linux'), script, args);
  fs.writeFileSync(path.join(work, 'custom.txt'), script);
  const { browser, page } = await browse(server);
  try {
    assert.equal(await runscripted(page, ['--script', '/run/custom.txt', ...args], ['custom.txt']), 0,
                 page.log.join('\n'));
    for (const name of ['first.png', 'play.png', 'tally.png']) {
      fs.writeFileSync(path.join(work, name), await gamefile(page, '/libsdl/vantorix/' + name));
      fs.copyFileSync(path.join(work, name), path.join(shots, name));
      const d = await difference(page, 'work/' + name, 'work/linux/' + name);
      console.log(`${name}: mean difference ${d.mean.toFixed(2)}, ${(100 * d.off).toFixed(2)}% of pixels off`);
      assert.ok(d.size, name + ': not the game size');
      assert.ok(d.mean < 2 && d.off < 0.01, name + ' differs from the Linux game\'s');
    }
  } finally {
    await browser.close();
  }
}

// A game recorded by the Linux game plays back in the browser with every state hash of the
// replay matching, and to the same trace frame for frame.
async function replay(server) {
  const steering = 'answer no\n130 down 37\n400 down 38\n700 up 37\n1000 down 39\n' +
                   '1400 up 38\n1800 down 40\n2300 up 39\n3100 tap 27\n';
  linuxgame(work, steering, ['--custom', 'players=4,ai=12,arena=7', '--seed', '23', '--nodraw',
                             '--record', 'game.txt', '--trace', 'played.txt', '--frames', '3200']);
  fs.writeFileSync(path.join(work, 'none.txt'), '# the replay plays itself\n');
  const { browser, page } = await browse(server);
  try {
    const status = await runscripted(page, ['--script', '/run/none.txt', '--replay', '/run/game.txt',
                                            '--nodraw', '--trace', '/run/again.txt'],
                                     ['none.txt', 'game.txt']);
    const frames = text => text.split('\n').filter(line => line && !line.startsWith('level frame'));
    const played = frames(fs.readFileSync(path.join(work, 'played.txt'), 'utf8'));
    const again = frames((await gamefile(page, '/run/again.txt')).toString());
    assert.equal(status, 0, page.log.join('\n'));
    assert.ok(played.length > 2900, played.length + ' frames');
    assert.deepEqual(again, played);
    console.log(`${played.length} frames the same`);
  } finally {
    await browser.close();
  }
}

// The page as a player meets it: the menu's screens by keys, a first custom game won, and its
// prefs and scores still there after a reload, with no first-run question the second time.
async function player(server) {
  const { browser, page } = await browse(server);
  // Held for a few frames, as a player's finger holds it: a match looks at the keys held.
  const key = async (name, ms = 300) => {
    await page.keyboard.press(name, { delay: 80 });
    await pause(ms);
  };
  try {
    await page.goto(page.origin);
    await page.waitForSelector('#cover.ready', { timeout: 60000 });
    await picture(page, 'loaded.png');
    await page.click('#cover');
    await pause(3000);
    assert.deepEqual(page.dialogs, ['Play Fullscreen?']);
    // The click let the page play sound.
    assert.equal(await page.evaluate(() => Module.SDL2.audioContext.state), 'running');
    await picture(page, 'menu.png');
    // Each entry of the menu leads to its own screen, and Escape back to the menu. The title's
    // colour changes as it is shown: it alone may differ from one menu to the next.
    for (const [downs, name] of [[0, 'single.png'], [1, 'multi.png'], [2, 'options.png'],
                                 [3, 'scores.png'], [4, 'help.png']]) {
      for (let i = 0; i < downs; ++i) await key('ArrowDown', 150);
      await key('Enter', 1200);
      await picture(page, name);
      await key('Escape', 1200);
      await picture(page, 'again.png');
      for (let i = 0; i < downs; ++i) await key('ArrowUp', 150);
      assert.ok(await apart(page, name, 'menu.png') > 0.06, name + ' is not a screen of its own');
      assert.ok(await apart(page, 'again.png', 'menu.png') < 0.06, 'no way back from ' + name);
    }
    // MULTIPLAYER's online entries say why they cannot be.
    await key('ArrowDown');
    await key('Enter', 1000);
    for (let i = 0; i < 7; ++i) await key('ArrowDown', 150);
    await key('Enter', 1000);
    assert.match(page.dialogs[1] || '', /online play needs the desktop game/);
    await key('Escape', 1200);
    // SINGLE PLAYER -> PLAY CUSTOM -> PLAY, a win with 1 and 4, Enter, Escape to the menu.
    await key('ArrowUp');
    await key('Enter', 1000);
    await key('ArrowDown');
    await key('Enter', 1000);
    await key('Enter', 2500);
    await page.keyboard.down('1');
    await page.keyboard.down('4');
    await pause(200);
    await page.keyboard.up('1');
    await page.keyboard.up('4');
    await pause(2500);
    await picture(page, 'tally.png');
    await key('Enter', 1500);
    await key('Escape', 3000);
    await picture(page, 'back.png');
    assert.ok(await apart(page, 'back.png', 'menu.png') < 0.06, 'not back in the menu');
    await page.evaluate(() => Module.savesKept());
    const saved = {};
    for (const name of ['prefs.txt', 'scores.txt'])
      saved[name] = (await gamefile(page, '/libsdl/vantorix/' + name)).toString();
    assert.equal(saved['scores.txt'].split('\n').filter(Boolean).length, 120);

    await play(page);
    await pause(2000);
    for (const name of ['prefs.txt', 'scores.txt'])
      assert.equal((await gamefile(page, '/libsdl/vantorix/' + name)).toString(), saved[name], name);
    assert.equal(page.dialogs.length, 2, page.dialogs.join('\n'));

    // The game's replay taken out by the bar under it, then brought back in from the disk and
    // watched to its end.
    const downloads = path.join(work, 'downloads');
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.click('#download');
    const link = await page.waitForSelector('#replays a');
    const name = await link.evaluate(a => a.textContent);
    await link.click();
    const file = path.join(downloads, name);
    for (let i = 0; i < 50 && !fs.existsSync(file); ++i) await pause(100);
    const kept = await gamefile(page, '/libsdl/vantorix/replays/' + name);
    assert.ok(fs.readFileSync(file).equals(kept), 'the download is not the kept replay');
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#watch')]);
    await chooser.accept([file]);
    await page.waitForSelector('#cover.ready', { timeout: 60000 });
    assert.equal(await page.$eval('#message', m => m.textContent), 'CLICK TO WATCH THE REPLAY');
    await page.click('#cover');
    await pause(1500);
    await picture(page, 'watching.png');
    assert.equal(await ended(page, 120), 0, page.log.join('\n'));
    assert.match(await page.$eval('#message', m => m.textContent), /THE GAME HAS ENDED/);
    await page.evaluate(() => Module.savesKept());
    // The copy opened from the disk is gone from the saves.
    assert.deepEqual(await page.evaluate(() => FS.readdir('/libsdl/opened')), ['.', '..']);
    assert.deepEqual(page.log.filter(line => /error|abort/i.test(line)), []);
  } finally {
    await browser.close();
  }
}

// A pad the browser lays out in its standard way drives the menus as on the desktop: the
// D-pad moves, A confirms, B goes back. The pad is the page's own, plugged in by the test.
async function pad(server) {
  const { browser, page } = await browse(server);
  await page.evaluateOnNewDocument(() => {
    const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
    window.testpad = { id: 'Test Pad (STANDARD GAMEPAD)', index: 0, connected: true,
                       mapping: 'standard', timestamp: 1, axes: [0, 0, 0, 0], buttons };
    navigator.getGamepads = () => [window.testpad];
    window.pressbutton = (n, down) => {
      window.testpad.buttons[n] = { pressed: down, touched: down, value: down ? 1 : 0 };
      window.testpad.timestamp += 1;
    };
  });
  const button = async (n, ms = 1200) => {
    await page.evaluate(n => window.pressbutton(n, true), n);
    await pause(120);
    await page.evaluate(n => window.pressbutton(n, false), n);
    await pause(ms);
  };
  try {
    await play(page);
    await pause(2000);
    await page.evaluate(() => {
      const plugged = new Event('gamepadconnected');
      plugged.gamepad = window.testpad;
      window.dispatchEvent(plugged);
    });
    await pause(1000);
    await picture(page, 'menu.png');
    await button(13, 300); // D-pad down: MULTIPLAYER
    await button(0);       // A
    await picture(page, 'multi.png');
    await button(1);       // B
    await picture(page, 'back.png');
    assert.ok(await apart(page, 'multi.png', 'menu.png') > 0.06, 'the pad did not open MULTIPLAYER');
    assert.ok(await apart(page, 'back.png', 'menu.png') < 0.06, 'the pad did not go back');
    // Back on MULTIPLAYER, where the pad left the menu: Enter opens the same screen.
    await page.keyboard.press('Enter', { delay: 80 });
    await pause(1200);
    await picture(page, 'keys.png');
    assert.ok(await apart(page, 'multi.png', 'keys.png') < 0.06, 'the pad went elsewhere than the keys');
    assert.deepEqual(page.log.filter(line => /error|abort/i.test(line)), []);
  } finally {
    await browser.close();
  }
}

// The screens no other case reaches, by a script: the campaign (a level won, one lost, a name
// typed into the scores), OPTIONS with a new resolution (the display opened
// again) and the CONTROLS screen. In the page, each screen's loop waits for the browser, through
// virtual functions and menu callbacks: a screen not made ready for that would stop the game.
async function screens(server) {
  const script = 'answer no\n150 tap 13\n160 tap 13\n170 tap 13\n' +
    '200 down 49\n200 down 52\n203 up 49\n203 up 52\n230 tap 13\n' +
    '290 down 49\n290 down 53\n293 up 49\n293 up 53\n' +
    '310 char 97\n312 char 99\n314 char 101\n430 shot gameover.png\n436 tap 13\n' +
    '450 tap 40\n452 tap 40\n454 tap 40\n456 tap 13\n590 shot scores.png\n600 tap 27\n' +
    '640 tap 38\n650 tap 13\n690 tap 40\n695 tap 37\n700 tap 40\n702 tap 40\n704 tap 40\n' +
    '706 tap 40\n708 tap 40\n710 tap 13\n760 shot controls.png\n770 tap 27\n800 shot options.png\n' +
    '810 tap 27\n900 shot menu.png\n';
  fs.writeFileSync(path.join(work, 'screens.txt'), script);
  const { browser, page } = await browse(server);
  try {
    assert.equal(await runscripted(page, ['--script', '/run/screens.txt', '--seed', '5', '--frames', '901'],
                                   ['screens.txt']), 0, page.log.join('\n'));
    for (const name of ['gameover.png', 'scores.png', 'controls.png', 'options.png', 'menu.png'])
      fs.writeFileSync(path.join(shots, name), await gamefile(page, '/libsdl/vantorix/' + name));
    const lines = async name => (await gamefile(page, '/libsdl/vantorix/' + name)).toString().split(/\r?\n/);
    assert.equal((await lines('scores.txt'))[0], 'ACE');
    assert.equal((await lines('prefs.txt'))[0], '2', 'the resolution chosen: 800 x 600');
    assert.deepEqual(page.log.filter(line => /error|abort/i.test(line)), []);
  } finally {
    await browser.close();
  }
}

const cases = { golden, custom, replay, player, pad, screens };

// The site at /, this run's folder at /work/.
serving({ '/': site, '/work/': work }, work, async server => {
  const test = cases[process.argv[2]];
  if (!test) throw new Error('usage: node browser_test.js ' + Object.keys(cases).join('|'));
  fs.mkdirSync(shots, { recursive: true });
  await test(server);
});
