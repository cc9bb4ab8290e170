// What the browser tests and the browser benchmark share: a web server on 127.0.0.1 for the
// site and the run's own files, and Debian's Chromium started headless (software WebGL) as
// this machine's closed network allows: nothing reaches out but to the page's own server.
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.png': 'image/png', '.txt': 'text/plain' };

// Serves each folder at its prefix of the address ({ '/': site, '/work/': work }), the longest
// prefix first; a path that leaves its folder is not found. Resolves to the listening server.
function serve(folders) {
  const prefixes = Object.keys(folders).sort((a, b) => b.length - a.length);
  const server = http.createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const prefix = prefixes.find(p => url.startsWith(p));
    const folder = path.resolve(folders[prefix]);
    const file = path.join(folder, url.slice(prefix.length) || 'index.html');
    if (!file.startsWith(folder + path.sep)) return response.writeHead(404).end();
    fs.readFile(file, (error, bytes) => {
      if (error) return response.writeHead(404).end();
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(bytes);
    });
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

function launch(options = {}) {
  return puppeteer.launch({
    executablePath: process.env.VANTORIX_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
    ...options,
  });
}

// A program's whole run: body(server) with the folders served, then the server closed and the
// run's own folder removed; an error ends the program with status 1.
function serving(folders, work, body) {
  (async () => {
    const server = await serve(folders);
    try {
      await body(server);
    } finally {
      server.close();
      fs.rmSync(work, { recursive: true, force: true });
    }
  })().catch(error => {
    console.error(error.stack || error);
    process.exit(1);
  });
}

module.exports = { serve, launch, serving };
