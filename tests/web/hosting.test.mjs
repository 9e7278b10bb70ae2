// The page as `make web-dist` packs it for any static host: its .zip,
// unpacked into an empty folder and served below a subpath by a plain server
// that sends .wasm files as any other file, plays the title.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, readdir, readFile, rm, stat, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';

import { serveFolder } from '../../tools/web/serve.mjs';
import { fullScreenFailures } from './desktop_measures.mjs';
import * as harness from './harness.mjs';

const kSubpath = '/games/vantorel/';
const kPlainTypes = { '.wasm': 'application/octet-stream' };

// The newest .zip that make web-dist left in the built page's folder.
async function packedPage() {
  const zips = (await readdir(harness.kBuiltPage))
    .filter((name) => /^vantorel-.*-web\.zip$/.test(name))
    .map((name) => path.join(harness.kBuiltPage, name));
  assert.notEqual(zips.length, 0, 'make web-dist has packed the page');
  const times = await Promise.all(zips.map(async (zip) => (await stat(zip)).mtimeMs));
  return zips[times.indexOf(Math.max(...times))];
}

// The check's control: the same page, but compiling only as the program
// streams in, fails on this host.
async function withoutTheFallback(folder) {
  const file = path.join(folder, 'page.mjs');
  const code = await readFile(file, 'utf8');
  const streamingOnly = code.replace(/if \(!\(error instanceof TypeError\)\) \{\s*throw error;\s*\}/,
                                     'throw error;');
  assert.notEqual(streamingOnly, code, 'the fallback is where the control expects it');
  await writeFile(file, streamingOnly);
}

test('the zip unpacked below a subpath of a plain static host plays the title', async (t) => {
  const zip = await packedPage();
  t.diagnostic(`${path.basename(zip)}: ${(await stat(zip)).size} bytes`);
  const folder = await mkdtemp(path.join(tmpdir(), 'vantorel-host-'));
  const server = await serveFolder(folder, 0, { base: kSubpath, types: kPlainTypes });
  const browser = await harness.launchBrowser();
  try {
    const unzipped = spawnSync('unzip', ['-q', zip, '-d', folder], { encoding: 'utf8' });
    assert.equal(unzipped.status, 0, unzipped.stderr);
    const page = await harness.openGame(await harness.openContext(browser), server.url);
    assert.equal(await harness.pageState(page), 'running');
    assert.deepEqual(fullScreenFailures(await harness.lastFrame(page), 'title'), []);
    const outside = [...server.requests.keys()].filter((wanted) => !wanted.startsWith(kSubpath));
    assert.deepEqual(outside, [], 'everything is asked for below the subpath');
    assert.equal(server.requests.get(`${kSubpath}vantorel.wasm`), 1, 'the program is fetched once');

    await withoutTheFallback(folder);
    const control = await harness.openPage(await harness.openContext(browser), server.url);
    assert.equal(await harness.pageState(control), 'failed', 'streaming alone fails here');
  } finally {
    await browser.close();
    await server.close();
    await rm(folder, { recursive: true, force: true });
  }
});
