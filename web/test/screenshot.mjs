// The README's picture of the page: the cat of the bench pictures encoded
// for a budget of 4000 bytes, its source and result side by side.
//
//   node web/test/screenshot.mjs PICTURE OUTPUT.png   (scripts/web-screenshot runs it)
import { launchChromium } from './browser.mjs';
import { serveFolder } from './static-server.mjs';

const [picture, output] = process.argv.slice(2);
const webDir = process.env.VEXO_WEB_DIR;

const server = await serveFolder(webDir);
const chromium = await launchChromium();
const page = await chromium.browser.newPage();
await page.setViewport({ width: 1100, height: 1320 });
await page.goto(server.url, { waitUntil: 'load' });
const chooserOpened = page.waitForFileChooser();
await page.evaluate(() => true);
await page.click('#choose-file');
await (await chooserOpened).accept([picture]);
await page.waitForFunction(() =>
  document.getElementById('encode-view').getAttribute('aria-busy') === 'false' &&
  document.getElementById('encode-facts').children.length > 0);
await page.select('#options [name="goal"]', 'maxBytes');
await page.type('#options [name="goalValue"]', '4000');
await page.click('#options button[type="submit"]');
await page.waitForFunction(() =>
  document.getElementById('encode-view').getAttribute('aria-busy') === 'false');
await page.select('#zoom', '2');
await page.screenshot({ path: output });
await chromium.close();
await server.close();
