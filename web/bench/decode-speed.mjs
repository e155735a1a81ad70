// The module's decode speed in Debian's chromium beside the native decode's
// in peers_bench, on the same pictures with the same options: each bench
// picture reduced to 5-6-5, encoded as predictive quality 0, fast quality 0
// and transform quality 24, and decoded again and again into one picture
// through one context. Prints MP/s for both and their ratio.
//
//   node web/bench/decode-speed.mjs   (after the wasm build, the default build
//                                      with its benchmarks, npm ci --prefix web/test)
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile, readdir, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from '../test/browser.mjs';
import { serveFolder } from '../test/static-server.mjs';

const kSourceDir = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const kWebDir = process.env.VEXO_WEB_DIR ?? join(kSourceDir, 'build-wasm/web');
const kPeersBench = process.env.VEXO_PEERS_BENCH ?? join(kSourceDir, 'build/bin/peers_bench');
const kPictures = join(kSourceDir, 'bench/images');
const kCases = [
  ['vexo predictive q0', { path: 'predictive', quality: 0 }],
  ['vexo fast q0', { path: 'fast', quality: 0 }],
  ['vexo transform q24', { path: 'transform', quality: 24 }],
];

// MP/s of the native decodes, by "codec/picture".
async function nativeSpeeds() {
  const folder = await mkdtemp(join(tmpdir(), 'vexo-peers-'));
  const output = join(folder, 'peers.json');
  const run = spawnSync(kPeersBench, ['--benchmark_filter=^vexo ',
    `--benchmark_out=${output}`, '--benchmark_out_format=json'], { encoding: 'utf8' });
  if (run.status !== 0) throw new Error(`peers_bench failed: ${run.stderr}`);
  const { benchmarks } = JSON.parse(await readFile(output, 'utf8'));
  await rm(folder, { recursive: true });
  return Object.fromEntries(benchmarks.map((b) => [b.name, b['MP/s']]));
}

// In the page: the picture read by the browser, reduced to 5-6-5 as the
// bench does (a lossless file decoded again), each case encoded, and its
// decode timed inside the module, the best of three runs of at least a
// tenth of a second each. One module for all, warmed up first, so that the
// browser has compiled its hot functions fully.
async function browserSpeeds(page, name, png) {
  return page.evaluate(async (pictureName, base64, cases) => {
    const { readPicture } = await import('./scripts/pictures.js');
    const vexo = await (window.vexoForBench ??= import('./vexo.js').then((m) => m.default()));
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const { rgba, width, height } = await readPicture(bytes, 'image/png');
    const lossless = vexo.encode(rgba, width, height, { path: 'predictive' });
    const reduced = vexo.decode(lossless.file).rgba;
    const speeds = {};
    for (const [codec, options] of cases) {
      let file;
      try {
        file = vexo.encode(reduced, width, height, options).file;
      } catch {
        continue;  // the fast path takes sides of multiples of 4 only
      }
      let repetitions = 1;
      while (vexo.decodeSeconds(file, repetitions) * repetitions < 0.1) repetitions *= 2;
      const seconds = Math.min(...[1, 2, 3].map(() => vexo.decodeSeconds(file, repetitions)));
      speeds[`${codec}/${pictureName}`] = (width * height) / seconds / 1e6;
    }
    return speeds;
  }, name, png.toString('base64'), kCases);
}

function geometricMean(values) {
  return Math.exp(values.reduce((sum, value) => sum + Math.log(value), 0) / values.length);
}

const native = await nativeSpeeds();
const server = await serveFolder(kWebDir);
const chromium = await launchChromium();
const page = await chromium.browser.newPage();
await page.goto(server.url);
const browser = {};
const pictures = (await readdir(kPictures)).filter((name) => name.endsWith('.png')).sort();
await browserSpeeds(page, 'warm-up', await readFile(join(kPictures, pictures[0])));
for (const file of pictures) {
  const png = await readFile(join(kPictures, file));
  Object.assign(browser, await browserSpeeds(page, file.replace(/\.png$/, ''), png));
}
await chromium.close();
await server.close();

const heading = ['decode'.padEnd(52), 'native MP/s'.padStart(12), 'browser MP/s'.padStart(13)];
console.log(`${heading.join(' ')} ratio`);
for (const [codec] of kCases) {
  const names = Object.keys(browser).filter((name) => name.startsWith(`${codec}/`));
  for (const name of names) {
    const ratio = browser[name] / native[name];
    console.log(`${name.padEnd(52)} ${native[name].toFixed(1).padStart(12)} ` +
      `${browser[name].toFixed(1).padStart(13)} ${ratio.toFixed(2)}`);
  }
  const nativeMean = geometricMean(names.map((name) => native[name]));
  const browserMean = geometricMean(names.map((name) => browser[name]));
  console.log(`${`${codec}, geometric mean`.padEnd(52)} ${nativeMean.toFixed(1).padStart(12)} ` +
    `${browserMean.toFixed(1).padStart(13)} ${(browserMean / nativeMean).toFixed(2)}\n`);
}
