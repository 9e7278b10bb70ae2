// Serves one folder over HTTP on 127.0.0.1 only, with the types a browser
// needs to stream WebAssembly, and nothing outside the folder. Tests may serve
// it below another path, with other types, as other hosts do.
// As a program: node tools/web/serve.mjs FOLDER [PORT]   (prints the address)
import { createReadStream } from 'node:fs';
import { realpath, stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const kHost = '127.0.0.1';
const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.json': 'application/json',
};

// The file a request names below `base`, or null when it names none inside
// the root (a missing file, a folder, or a way out through '..' or a link).
async function fileFor(root, requestUrl, base) {
  let pathname;
  try {
    pathname = decodeURIComponent(new URL(requestUrl, 'http://localhost').pathname);
  } catch {
    return null;
  }
  if (pathname.includes('\0') || !pathname.startsWith(base)) {
    return null;
  }
  pathname = pathname.slice(base.length - 1);
  const wanted = path.join(root, pathname.endsWith('/') ? `${pathname}index.html` : pathname);
  try {
    const real = await realpath(wanted);
    if (!real.startsWith(root + path.sep) || !(await stat(real)).isFile()) {
      return null;
    }
    return real;
  } catch {
    return null;
  }
}

async function answer(root, request, response, { base, types }) {
  const file = request.method === 'GET' || request.method === 'HEAD'
    ? await fileFor(root, request.url, base) : null;
  if (!file) {
    response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
    return;
  }
  const { size } = await stat(file);
  response.writeHead(200, {
    'Content-Type': types[path.extname(file)] ?? 'application/octet-stream',
    'Content-Length': size,
    'Cache-Control': 'no-store',
  });
  if (request.method === 'HEAD') {
    response.end();
  } else {
    createReadStream(file).pipe(response);
  }
}

// Resolves to { url, close, requests } once the server listens; port 0 takes
// a free one. The folder is served below `base` (a path ending in '/'), with
// `types` over the usual ones; `requests` counts the requests for each path.
export async function serveFolder(folder, port = 0, { base = '/', types = {} } = {}) {
  const root = await realpath(folder);
  const served = { base, types: { ...kTypes, ...types } };
  const requests = new Map();
  const server = createServer((request, response) => {
    const pathname = request.url.split('?')[0];
    requests.set(pathname, (requests.get(pathname) ?? 0) + 1);
    answer(root, request, response, served).catch(() => response.destroy());
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, kHost, resolve);
  });
  return {
    url: `http://${kHost}:${server.address().port}${base}`,
    requests,
    close: () => new Promise((resolve) => {
      server.closeAllConnections();
      server.close(resolve);
    }),
  };
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [folder, port = '8000'] = process.argv.slice(2);
  if (!folder) {
    console.error('usage: serve.mjs FOLDER [PORT]');
    process.exit(2);
  }
  serveFolder(folder, Number(port)).then(
    ({ url }) => console.log(`Serving ${folder} at ${url} (Ctrl+C stops)`),
    (error) => {
      console.error(`serve: ${error.message}`);
      process.exit(1);
    });
}
