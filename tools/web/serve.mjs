// Serves one folder over HTTP on 127.0.0.1 only, with the types a browser
// needs to stream WebAssembly, and nothing outside the folder.
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

// The file a request names, or null when it names none inside the root
// (a missing file, a folder, or a way out through '..' or a link).
async function fileFor(root, requestUrl) {
  let pathname;
  try {
    pathname = decodeURIComponent(new URL(requestUrl, 'http://localhost').pathname);
  } catch {
    return null;
  }
  if (pathname.includes('\0')) {
    return null;
  }
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

async function answer(root, request, response) {
  const file = request.method === 'GET' || request.method === 'HEAD'
    ? await fileFor(root, request.url) : null;
  if (!file) {
    response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
    return;
  }
  const { size } = await stat(file);
  response.writeHead(200, {
    'Content-Type': kTypes[path.extname(file)] ?? 'application/octet-stream',
    'Content-Length': size,
    'Cache-Control': 'no-store',
  });
  if (request.method === 'HEAD') {
    response.end();
  } else {
    createReadStream(file).pipe(response);
  }
}

// Resolves to { url, close } once the server listens; port 0 takes a free one.
export async function serveFolder(folder, port = 0) {
  const root = await realpath(folder);
  const server = createServer((request, response) => {
    answer(root, request, response).catch(() => response.destroy());
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, kHost, resolve);
  });
  return {
    url: `http://${kHost}:${server.address().port}/`,
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
