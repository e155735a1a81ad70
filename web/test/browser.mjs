// Debian's chromium, headless, through puppeteer-core: never a browser of
// puppeteer's own. The machines running the tests have no network, so
// everything that would reach out is switched off, and each run starts with
// a profile of its own.
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const kChromium = process.env.VEXO_CHROMIUM ?? '/usr/bin/chromium';

async function loadPuppeteer() {
  try {
    return (await import('puppeteer-core')).default;
  } catch (error) {
    throw new Error(`puppeteer-core is missing: run npm ci --prefix web/test (${error.message})`);
  }
}

export async function launchChromium() {
  const puppeteer = await loadPuppeteer();
  const profile = await mkdtemp(join(tmpdir(), 'vexo-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      // WebGL without a GPU, as the page reads translucent pictures through it.
      '--enable-unsafe-swiftshader',
      `--user-data-dir=${profile}`],
  });
  return {
    browser,
    close: async () => {
      await browser.close();
      await rm(profile, { recursive: true, force: true });
    },
  };
}
