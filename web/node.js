// Run by node, the game has no browser around it: SDL still looks at the browser's navigator.
if (typeof navigator === 'undefined') globalThis.navigator = { userAgent: 'node' };
