// The web page in a real browser (Debian's chromium, headless), against the
// command line: a picture dropped on the page gives the bytes `vexo encode`
// writes with the same options, the C pair of `vexo encode OUT.c`, and the
// pixels of `vexo decode`; a VEXO file dropped shows the statistics `vexo
// decode` prints; a damaged one shows its message. Screenshots of every step
// go to the screenshot folder for people to look at.
//
//   node page-test.mjs   (after the default and the wasm builds)
//
// VEXO_WEB_DIR (build-wasm/web), VEXO_PROGRAM (build/bin/vexo) and
// VEXO_SCREENSHOTS (build-wasm/screenshots) say where things are.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdir, mkdtemp, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { basename, dirname, join, resolve } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { crc32, deflateSync } from 'node:zlib';

import { launchChromium } from './browser.mjs';
import { serveFolder } from './static-server.mjs';

const kSourceDir = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const kWebDir = process.env.VEXO_WEB_DIR ?? join(kSourceDir, 'build-wasm/web');
const kVexo = process.env.VEXO_PROGRAM ?? join(kSourceDir, 'build/bin/vexo');
const kScreenshots = process.env.VEXO_SCREENSHOTS ?? join(kSourceDir, 'build-wasm/screenshots');
const kPicture = join(kSourceDir, 'bench/images/graphic-logo-176x144.png');
const kSample = join(kSourceDir, 'samples/coffee-176x144-predictive-201-q1.vxo');
const kVexoName = 'graphic-logo-176x144.vxo';  // the page's name for the picture's file
const kStepTimeout = 60_000;

let server;
let chromium;
let page;
let work;       // a temporary folder for the command line's files
let downloads;  // where the browser saves what the page offers

// --- the command line ---

function runVexo(...args) {
  const run = spawnSync(kVexo, args, { encoding: 'buffer' });
  return { status: run.status, stdout: run.stdout.toString(), stderr: run.stderr.toString() };
}

async function vexoEncode(options) {
  const output = join(work, 'cli.vxo');
  await rm(output, { force: true });
  const run = runVexo('encode', kPicture, output, ...options);
  assert.equal(run.status, 0, run.stderr);
  // Its line, naming the file as the page names it.
  const line = run.stdout.split('\n')[0].replace(`${output}: `, `${kVexoName}: `);
  return { file: await readFile(output), line };
}

async function vexoDecodeRaw(vexoFile, byteOrder) {
  const input = join(work, 'decode-input.vxo');
  const output = join(work, `decoded-${byteOrder}.raw`);
  await writeFile(input, vexoFile);
  const run = runVexo('decode', '--byte-order', byteOrder, input, output);
  assert.equal(run.status, 0, run.stderr);
  return readFile(output);
}

// An 8-bit RGBA PNG whose alpha runs from clear to opaque.
function translucentPng(width, height) {
  const chunk = (type, data) => {
    const typed = Buffer.concat([Buffer.from(type), data]);
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const check = Buffer.alloc(4);
    check.writeUInt32BE(crc32(typed));
    return Buffer.concat([length, typed, check]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 6, 0, 0, 0], 8);  // 8 bits, RGBA
  const rows = [];
  for (let y = 0; y < height; ++y) {
    rows.push(0);  // no filter
    for (let x = 0; x < width; ++x) {
      rows.push((x * 4) & 255, (y * 5) & 255, (x * y) & 255, (x * 4 + y) & 255);
    }
  }
  const signature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
  return Buffer.concat([signature, chunk('IHDR', header),
    chunk('IDAT', deflateSync(Buffer.from(rows))), chunk('IEND', Buffer.alloc(0))]);
}

// --- the page ---

async function screenshot(name) {
  await page.screenshot({ path: join(kScreenshots, `${name}.png`), fullPage: true });
}

// Drops a file from disk on the page as a user's drag from a file manager.
async function dropFile(path) {
  const session = await page.createCDPSession();
  const data = { items: [], files: [path], dragOperationsMask: 1 };
  for (const type of ['dragEnter', 'dragOver', 'drop']) {
    await session.send('Input.dispatchDragEvent', { type, x: 40, y: 40, data });
  }
  await session.detach();
}

async function waitForEncode() {
  await page.waitForFunction(
    () => document.getElementById('encode-view').getAttribute('aria-busy') === 'false',
    { timeout: kStepTimeout });
}

// Waits for the picture to be shown and its first encode to end.
async function waitForPicture(path) {
  await page.waitForFunction((name) =>
    document.getElementById('picture-name').textContent === name &&
    document.getElementById('encode-view').getAttribute('aria-busy') === 'false',
  { timeout: kStepTimeout }, basename(path));
}

// Sets the form's fields as a user would: a choice from a list, typed text
// (empty clears it), a slider moved.
async function setFields(fields) {
  for (const [name, value] of Object.entries(fields)) {
    const selector = `#options [name="${name}"]`;
    const kind = await page.$eval(selector, (element) => element.type);
    if (kind === 'select-one') {
      await page.select(selector, value);
    } else if (kind === 'range' || kind === 'color') {
      await page.$eval(selector, (element, moved) => {
        element.value = moved;
        element.dispatchEvent(new Event('input', { bubbles: true }));
      }, value);
    } else {
      await page.$eval(selector, (element) => { element.value = ''; });
      if (value !== '') await page.type(selector, value);
    }
  }
}

async function encodeWith(fields) {
  await setFields(fields);
  await page.click('#options button[type="submit"]');
  await waitForEncode();
}

async function messageShown() {
  return page.$eval('#message', (element) => (element.hidden ? '' : element.textContent));
}

async function factsShown(selector) {
  return page.$$eval(`${selector} dt`, (terms) =>
    Object.fromEntries(terms.map((term) =>
      [term.textContent, term.nextElementSibling.textContent])));
}

// Clicks a download button and returns the bytes of the files it saves.
async function downloadAll(selector, names) {
  const paths = names.map((name) => join(downloads, name));
  await Promise.all(paths.map((path) => rm(path, { force: true })));
  await page.click(selector);
  for (let waited = 0; waited < kStepTimeout; waited += 50) {
    const present = await readdir(downloads);
    const partial = present.some((entry) => entry.endsWith('.crdownload'));
    if (!partial && names.every((name) => present.includes(name))) {
      return Promise.all(paths.map((path) => readFile(path)));
    }
    await new Promise((done) => setTimeout(done, 50));
  }
  throw new Error(`${names.join(' and ')} not downloaded`);
}

async function download(selector, name) {
  return (await downloadAll(selector, [name]))[0];
}

// The pixels of a PNG the page saved, as the browser reads them back.
async function pngPixels(png) {
  return page.evaluate(async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes]), { colorSpaceConversion: 'none' });
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    canvas.getContext('2d').drawImage(bitmap, 0, 0);
    return Array.from(canvas.getContext('2d').getImageData(0, 0, bitmap.width, bitmap.height).data);
  }, png.toString('base64'));
}

// The 24-bit pixels of `vexo decode x.vxo x.ppm`, as RGBA.
async function vexoDecodedRgba(vexoFile) {
  const input = join(work, 'ppm-input.vxo');
  const output = join(work, 'decoded.ppm');
  await writeFile(input, vexoFile);
  assert.equal(runVexo('decode', input, output).status, 0);
  const ppm = await readFile(output);
  const header = ppm.toString('latin1', 0, 32).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  const rgb = ppm.subarray(header[0].length);
  const rgba = [];
  for (let i = 0; i < rgb.length; i += 3) rgba.push(rgb[i], rgb[i + 1], rgb[i + 2], 255);
  return rgba;
}

before(async () => {
  await mkdir(kScreenshots, { recursive: true });
  work = await mkdtemp(join(tmpdir(), 'vexo-page-test-'));
  downloads = join(work, 'downloads');
  await mkdir(downloads);
  server = await serveFolder(kWebDir);
  chromium = await launchChromium();
  page = await chromium.browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  const session = await chromium.browser.target().createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.goto(server.url, { waitUntil: 'load' });
  assert.deepEqual(errors, []);
});

after(async () => {
  await chromium?.close();
  await server?.close();
  if (work) await rm(work, { recursive: true, force: true });
});

describe('a picture dropped on the page', () => {
  test('is encoded as vexo encode encodes it, with its line', async () => {
    await screenshot('01-opened');
    await dropFile(kPicture);
    await waitForPicture(kPicture);
    await screenshot('02-picture-lossless');
    const cli = await vexoEncode([]);
    assert.deepEqual(await download('[data-download="vxo"]', kVexoName), cli.file);
    assert.equal((await factsShown('#encode-facts'))['vexo encode says'], cli.line);
    assert.equal(await page.$eval('#command-line', (code) => code.textContent),
      'vexo encode graphic-logo-176x144.png graphic-logo-176x144.vxo');
  });

  test('follows the options: path, quality, effort, goals, and says why it chose', async () => {
    const cases = [
      [{ path: 'transform', quality: '24' }, ['--path', 'transform', '--quality', '24']],
      [{ path: '', quality: '', goal: 'maxBytes', goalValue: '6000' }, ['--max-bytes', '6000']],
      [{ goal: 'minPsnr', goalValue: '33.5', dither: 'ordered' },
        ['--min-psnr', '33.5', '--dither', 'ordered']],
      [{ goal: '', goalValue: '', dither: 'none', path: 'fast' }, ['--path', 'fast']],
    ];
    for (const [fields, options] of cases) {
      await encodeWith(fields);
      assert.equal(await messageShown(), '', options.join(' '));
      const cli = await vexoEncode(options);
      assert.deepEqual(await download('[data-download="vxo"]', kVexoName), cli.file,
        options.join(' '));
      assert.equal((await factsShown('#encode-facts'))['vexo encode says'], cli.line);
    }
    await encodeWith({ path: 'transform', quality: '30' });
    await screenshot('03-picture-transform-q30');
  });

  test('gives the C pair of vexo encode OUT.c under the name given', async () => {
    await page.$eval('#c-name', (input) => { input.value = ''; });
    await page.type('#c-name', 'my-logo 2');
    const [source, header] =
      await downloadAll('[data-download="c"]', ['my-logo 2.c', 'my-logo 2.h']);
    const output = join(work, 'my-logo 2.c');
    const run = runVexo('encode', kPicture, output, '--path', 'transform', '--quality', '30');
    assert.equal(run.status, 0, run.stderr);
    assert.equal(source.toString(), (await readFile(output)).toString());
    assert.equal(header.toString(), (await readFile(join(work, 'my-logo 2.h'))).toString());
    assert.match(await page.$eval('#c-header', (pre) => pre.textContent),
      /#define MY_LOGO_2_WIDTH 176/);
  });

  test('gives the pixels of vexo decode: raw 5-6-5 in both byte orders and a PNG', async () => {
    const vxo = await download('[data-download="vxo"]', kVexoName);
    for (const [button, name, order] of [['raw-little', 'graphic-logo-176x1441.raw', 'little'],
      ['raw-big', 'graphic-logo-176x1441-big-endian.raw', 'big']]) {
      assert.deepEqual(await download(`[data-download="${button}"]`, name),
        await vexoDecodeRaw(vxo, order), order);
    }
    const png = await download('[data-download="png"]', 'graphic-logo-176x1441.png');
    assert.deepEqual(await pngPixels(png), await vexoDecodedRgba(vxo));
  });

  test('says in plain words why nothing was made', async () => {
    await encodeWith({ path: '', quality: '', goal: 'maxBytes', goalValue: '100' });
    const output = join(work, 'never.vxo');
    const run = runVexo('encode', kPicture, output, '--max-bytes', '100');
    assert.equal(run.status, 1);
    // The command line names the picture first and says what it did not write.
    const reason = run.stderr.split('\n')[0].replace(`${kPicture}: `, '')
      .replace('; nothing was written', '');
    assert.equal(await messageShown(), `Nothing was made of graphic-logo-176x144.png: ${reason}`);
    assert.equal(await page.$eval('#downloads', (section) => section.hidden), true);
    await screenshot('04-budget-nothing-meets');

    await encodeWith({ goal: '', goalValue: '', path: 'fast', family: '101' });
    const refused = runVexo('encode', kPicture, output, '--path', 'fast', '--family', '101');
    assert.equal(await messageShown(),
      `Nothing was made of graphic-logo-176x144.png: ${refused.stderr.split('\n')[0]}`);
    await encodeWith({ path: '', family: '' });
    assert.equal(await messageShown(), '');
  });

  test('composites translucent pixels over the background as vexo encode does', async () => {
    const translucent = join(work, 'translucent.png');
    await writeFile(translucent, translucentPng(64, 48));
    await dropFile(translucent);
    await waitForPicture(translucent);
    await encodeWith({ path: 'transform', quality: '10', background: '#204080' });
    const output = join(work, 'translucent.vxo');
    const run = runVexo('encode', translucent, output, '--path', 'transform', '--quality', '10',
      '--background', '204080');
    assert.equal(run.status, 0, run.stderr);
    assert.deepEqual(await download('[data-download="vxo"]', 'translucent.vxo'),
      await readFile(output));
    await setFields({ background: '#ffffff' });
  });
});

describe('a VEXO file dropped on the page', () => {
  test('is decoded with the statistics pane of the viewer', async () => {
    await dropFile(kSample);
    await page.waitForSelector('#decode-view:not([hidden])', { timeout: kStepTimeout });
    // The last test changed an option of the picture before: the encode it
    // was due to start after a pause must not take this file's place.
    await new Promise((done) => setTimeout(done, 400));
    await screenshot('05-vexo-file');
    const shown = await factsShown('#statistics');
    const printed = Object.fromEntries(runVexo('decode', kSample, join(work, 'sample.bmp'))
      .stdout.split('\n').filter((line) => line.includes(': ')).map((line) => line.split(': ')));
    const labels = ['File Name', 'Image Size', 'Comp Ratio', 'Dec Time', 'Decode Mode',
      'Quantize Value'];
    assert.deepEqual(Object.keys(shown), labels);
    // All but the time, which is this decode's own.
    for (const label of labels.filter((label) => label !== 'Dec Time')) {
      assert.equal(shown[label], printed[label], label);
    }
    assert.match(shown['Dec Time'], /^\d+\.\d{7}$/);
    const sample = await readFile(kSample);
    const raw = await download('[data-download="raw-little"]', `${basename(kSample, '.vxo')}1.raw`);
    assert.deepEqual(raw, await vexoDecodeRaw(sample, 'little'));
  });

  test('that is damaged shows what vexo decode says of it', async () => {
    const damaged = join(work, 'damaged.vxo');
    await writeFile(damaged, (await readFile(kSample)).subarray(0, 200));
    await dropFile(damaged);
    await page.waitForFunction(() => !document.getElementById('message').hidden);
    const run = runVexo('decode', damaged, join(work, 'damaged.bmp'));
    assert.equal(run.status, 1);
    assert.equal(await messageShown(), run.stderr.split('\n')[0].replace(`${work}/`, ''));
    await screenshot('06-damaged-vexo-file');

    const noMagic = join(work, 'no-magic.vxo');
    const sample = await readFile(kSample);
    await writeFile(noMagic, Buffer.concat([Buffer.from('XEXO'), sample.subarray(4)]));
    await dropFile(noMagic);
    await page.waitForFunction(() =>
      document.getElementById('message').textContent.startsWith('no-magic.vxo'));
    const refused = runVexo('decode', noMagic, join(work, 'no-magic.bmp'));
    assert.equal(await messageShown(), refused.stderr.split('\n')[0].replace(`${work}/`, ''));

    const notAPicture = join(work, 'notes.txt');
    await writeFile(notAPicture, 'not a picture');
    await dropFile(notAPicture);
    await page.waitForFunction(() =>
      document.getElementById('message').textContent.startsWith('notes.txt'));
    assert.equal(await messageShown(),
      'notes.txt is neither a picture this browser can read nor a VEXO file.');
  });
});

describe('the page', () => {
  test('opens a file from the keyboard, encodes off the main thread and cancels', async () => {
    const sunset = join(kSourceDir, 'bench/images/photo-sunset-1920x1080.png');
    await page.goto(server.url, { waitUntil: 'load' });  // the first Tab from the top
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'choose-file');
    const chooserOpened = page.waitForFileChooser();
    // A round trip, so that the browser intercepts the chooser before it opens.
    await page.evaluate(() => true);
    await page.keyboard.press('Enter');
    const chooser = await chooserOpened;
    await chooser.accept([sunset]);
    await waitForPicture(sunset);
    assert.equal(await messageShown(), '');

    await setFields({ path: 'transform', quality: '20', effort: '9' });
    await page.click('#options button[type="submit"]');
    await page.waitForSelector('#progress:not([hidden])', { timeout: kStepTimeout });
    // The page answers while the worker encodes: a frame is drawn at once.
    const frameMilliseconds = await page.evaluate(() => new Promise((done) => {
      const start = performance.now();
      requestAnimationFrame(() => done(performance.now() - start));
    }));
    assert.ok(frameMilliseconds < 500, `a frame took ${frameMilliseconds} ms`);
    await screenshot('07-encoding-in-progress');
    await page.keyboard.press('Escape');
    await waitForEncode();
    assert.match(await messageShown(), /^Encoding cancelled/);
    await screenshot('08-encoding-cancelled');
  });

  test('reads at 200 % zoom and in the dark colour scheme', async () => {
    await dropFile(kPicture);
    await waitForPicture(kPicture);
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' }]);
    await screenshot('09-dark');
    // 200 % zoom of a 1280 pixel wide window: half the CSS pixels, each twice the size.
    await page.setViewport({ width: 640, height: 900, deviceScaleFactor: 2 });
    const overflow = await page.evaluate(() =>
      document.documentElement.scrollWidth - document.documentElement.clientWidth);
    assert.equal(overflow, 0);
    await screenshot('10-dark-200-percent');
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'light' }]);
    await screenshot('11-light-200-percent');
  });
});
