import assert from 'node:assert/strict';
import { mkdtemp, mkdir, rm, symlink, writeFile } from 'node:fs/promises';
import { request } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { serveFolder } from '../../tools/web/serve.mjs';

let outside;
let folder;
let server;

before(async () => {
  outside = await mkdtemp(path.join(tmpdir(), 'vantorel-serve-'));
  folder = path.join(outside, 'site');
  await mkdir(path.join(folder, 'sub'), { recursive: true });
  await writeFile(path.join(outside, 'secret.txt'), 'not for the browser');
  await writeFile(path.join(folder, 'index.html'), '<!doctype html>');
  await writeFile(path.join(folder, 'vantorel.wasm'), Buffer.from([0, 0x61, 0x73, 0x6d]));
  await writeFile(path.join(folder, 'page.mjs'), 'export {};');
  await symlink(path.join(outside, 'secret.txt'), path.join(folder, 'link.txt'));
  server = await serveFolder(folder);
});

after(async () => {
  await server.close();
  await rm(outside, { recursive: true, force: true });
});

// Sends the path as written, without the client tidying away '..'.
function get(rawPath) {
  return new Promise((resolve, reject) => {
    const { hostname, port } = new URL(server.url);
    request({ hostname, port, path: rawPath }, (response) => {
      response.resume();
      response.on('end', () => resolve({ status: response.statusCode,
                                         type: response.headers['content-type'] }));
    }).on('error', reject).end();
  });
}

test('listens on 127.0.0.1 only', () => {
  assert.match(server.url, /^http:\/\/127\.0\.0\.1:\d+\/$/);
});

test('serves the page with the types a browser needs', async () => {
  const served = [
    ['/', 200, 'text/html; charset=utf-8'],
    ['/vantorel.wasm', 200, 'application/wasm'],
    ['/page.mjs', 200, 'text/javascript; charset=utf-8'],
  ];
  for (const [wanted, status, type] of served) {
    assert.deepEqual(await get(wanted), { status, type }, wanted);
  }
});

test('serves nothing outside the folder, nor what is not there', async () => {
  const refused = ['/../secret.txt', '/%2e%2e/secret.txt', '/sub/../../secret.txt',
                   '/link.txt', '/missing.js', '/sub', '/%00', '/%zz'];
  for (const wanted of refused) {
    assert.equal((await get(wanted)).status, 404, wanted);
  }
});
