// The page around the game: it loads the game and its media with a bar, starts it on a click
// (which also lets the browser play its sound), keeps the canvas at 4:3 in the window, keeps
// the saves in the browser's IndexedDB, and lets the player take replays out and bring one in.
//
// The address may carry a command line for a run of the game, as the desktop game takes one:
//   ?arg=--script&arg=/run/tour.txt&fetch=tour.txt
// Each fetch= names a file of this site (a plain relative path), copied to /run/ before the
// game starts. Such a run starts at once, and keeps its saves in memory only: a link shared by
// anyone must not be able to touch the player's own saves.
'use strict';

const page = {
  params: new URLSearchParams(location.search),
  canvas: document.getElementById('canvas'),
  cover: document.getElementById('cover'),
  fill: document.getElementById('fill'),
  message: document.getElementById('message'),
  saves: '/libsdl',          // SDL's folder of per-user data in the browser
  opened: '/libsdl/opened',  // a replay from the player's disk, while it is watched
  syncing: null,             // the write-back to IndexedDB under way
  again: false,              // a save came while it ran
  clickable: false,          // the game waits for the click to play
  started: false,            // the click to play was offered
};
page.runArgs = page.params.getAll('arg');
page.scripted = page.runArgs.length > 0;
page.watching = !page.scripted && page.params.has('watch');

// A file's name as the game's messages may show it: plain letters, digits, '.', '-' and '_'.
function plainName(name) {
  return (name || 'replay.txt').replace(/[^\w.-]/g, '_').replace(/^\.+/, '_').slice(0, 100);
}
page.watched = page.opened + '/' + plainName(page.params.get('watch'));

function say(text) {
  page.message.textContent = text;
}

// The canvas as large as the window allows at the game's 4:3; SDL follows its size.
function fit() {
  const stage = page.canvas.parentElement;
  const width = Math.min(stage.clientWidth, Math.floor(stage.clientHeight * 4 / 3));
  page.canvas.style.width = width + 'px';
  page.canvas.style.height = Math.floor(width * 3 / 4) + 'px';
}
fit();
window.addEventListener('resize', fit);

// Arrows, Page Up and Down, Home and End belong to the game, never to scrolling the page.
// (Space must stay: held back, it would not reach the game as a typed character. The page
// has nothing to scroll by it.)
const gameKeys = new Set(['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp',
                          'PageDown', 'Home', 'End']);
window.addEventListener('keydown', event => {
  if (gameKeys.has(event.key) && !event.target.closest('button, input')) event.preventDefault();
});

// The saves come from IndexedDB before the game starts.
function mountSaves() {
  FS.mkdir(page.saves);
  if (page.scripted) return;
  FS.mount(IDBFS, {}, page.saves);
  addRunDependency('saves');
  FS.syncfs(true, error => {
    if (error) console.error('vantorix: the saves kept in this browser could not be read: ' + error);
    removeRunDependency('saves');
  });
}

// Called by the game after every save: written back to IndexedDB, one write-back at a time.
function keepSaves() {
  if (page.scripted) return;
  if (page.syncing) {
    page.again = true;
    return;
  }
  page.syncing = new Promise(resolve => {
    FS.syncfs(false, error => {
      if (error) console.error('vantorix: the saves could not be kept in this browser: ' + error);
      page.syncing = null;
      resolve();
      if (page.again) {
        page.again = false;
        keepSaves();
      }
    });
  });
}

// Resolves once every save made so far is in IndexedDB.
async function savesKept() {
  while (page.syncing) await page.syncing;
}

// The site's files named by fetch=, into /run/.
function fetchFiles() {
  FS.mkdir('/run');
  for (const name of page.params.getAll('fetch')) {
    if (!/^[\w.-]+(\/[\w.-]+)*$/.test(name) || name.split('/').includes('..')) {
      console.error('vantorix: not a file of this site: ' + name);
      continue;
    }
    addRunDependency('fetch ' + name);
    fetch(name)
      .then(response => {
        if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
        return response.arrayBuffer();
      })
      .then(bytes => FS.writeFile('/run/' + name.split('/').pop(), new Uint8Array(bytes)))
      .catch(error => console.error('vantorix: could not fetch ' + name + ': ' + error))
      .finally(() => removeRunDependency('fetch ' + name));
  }
}

// The media are read from /vantorix/media, and the game may not write there: it keeps its
// saves in its folder of per-user data, as an installed game does.
function enterGameFolder() {
  FS.chdir('/vantorix');
  FS.chmod('/vantorix', 0o555);
}

// The player starts the game by a click, which is also what lets the browser play sound.
function waitForClick() {
  if (page.scripted) return;
  addRunDependency('click');
  page.clickable = true;
}

function start() {
  if (!page.cover.classList.contains('ready')) return;
  page.cover.classList.remove('ready');
  page.cover.hidden = true;
  page.canvas.focus();
  removeRunDependency('click');
}
page.cover.addEventListener('click', start);

function ended(text) {
  page.cover.hidden = false;
  document.getElementById('bar').hidden = true;
  say(text + '\nCLICK TO PLAY AGAIN');
  page.cover.onclick = () => location.assign(location.pathname);
}

// The game ends by exit(), which throws ExitStatus to unwind it; from inside one of its waits
// for the browser, that reaches the page, after onExit has run. It is the game's end, not an
// error.
const exiting = thrown => typeof ExitStatus !== 'undefined' && thrown instanceof ExitStatus;
window.addEventListener('error', event => {
  if (exiting(event.error)) event.preventDefault();
});
window.addEventListener('unhandledrejection', event => {
  if (exiting(event.reason)) event.preventDefault();
});

var Module = {
  canvas: page.canvas,
  arguments: page.watching ? ['--replay', page.watched] : page.runArgs,
  preRun: [enterGameFolder, mountSaves, fetchFiles, waitForClick],
  keepSaves,
  savesKept,
  print: text => console.log(text),
  printErr: text => console.error(text),
  // "Downloading data... (loaded/total)" while the media package comes.
  setStatus(text) {
    const progress = /\((\d+)\/(\d+)\)/.exec(text);
    if (progress) page.fill.style.width = (100 * progress[1] / progress[2]) + '%';
  },
  monitorRunDependencies(left) {
    // Offered once the click is all the game waits for (before that, one thing left may be
    // the game's own code still loading).
    if (left === 1 && page.clickable && !page.started) {
      page.started = true;
      page.fill.style.width = '100%';
      page.cover.classList.add('ready');
      say(page.watching ? 'CLICK TO WATCH THE REPLAY' : 'CLICK TO PLAY');
    }
  },
  onExit(status) {
    window.vantorixExit = status;
    if (page.watching) {
      FS.unlink(page.watched);
      keepSaves();
    }
    savesKept().then(() => ended(status === 0 ? 'THE GAME HAS ENDED' :
                                                'THE GAME ENDED WITH A PROBLEM (' + status + ')'));
  },
  onAbort(what) {
    window.vantorixExit = 'abort';
    ended('THE GAME STOPPED: ' + what);
  },
};
if (page.scripted) page.cover.hidden = true;

// A replay from the player's disk is watched by the game started anew to watch it, as the
// desktop game watches one named on its command line.
const picker = document.getElementById('file');
document.getElementById('watch').addEventListener('click', () => picker.click());
picker.addEventListener('change', async () => {
  const file = picker.files[0];
  if (!file) return;
  if (file.size > 64 * 1024 * 1024) {
    alert('That file is larger than any replay (64 MiB).');
    return;
  }
  const name = plainName(file.name);
  if (!FS.analyzePath(page.opened).exists) FS.mkdir(page.opened);
  FS.writeFile(page.opened + '/' + name, new Uint8Array(await file.arrayBuffer()));
  keepSaves();
  await savesKept();
  location.assign(location.pathname + '?watch=' + encodeURIComponent(name));
});

// The kept replays, newest first, each a download.
const list = document.getElementById('replays');
document.getElementById('download').addEventListener('click', () => {
  if (!list.hidden) {
    list.hidden = true;
    return;
  }
  const folder = page.saves + '/vantorix/replays';
  let names = [];
  try {
    names = FS.readdir(folder).filter(name => name.endsWith('.txt')).sort().reverse();
  } catch (error) {
    names = [];
  }
  list.replaceChildren();
  if (names.length === 0) list.textContent = 'No replays yet: each game played is kept as one.';
  for (const name of names) {
    const link = document.createElement('a');
    link.href = '#';
    link.textContent = name;
    link.addEventListener('click', event => {
      event.preventDefault();
      const bytes = FS.readFile(folder + '/' + name);
      const url = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
      const save = document.createElement('a');
      save.href = url;
      save.download = name;
      save.click();
      setTimeout(() => URL.revokeObjectURL(url), 10000);
    });
    list.appendChild(link);
  }
  list.hidden = false;
});
