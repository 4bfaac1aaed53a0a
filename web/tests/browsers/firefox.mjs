// Firefox ESR (Debian's firefox-esr) through puppeteer-core over WebDriver
// BiDi, behind the interface of index.mjs: headless, a fresh profile, and
// nothing it would fetch for itself.
import { createRequire } from 'node:module';
import { mkdirSync, mkdtempSync } from 'node:fs';
import { join } from 'node:path';
import { puppeteerSession } from './chromium.mjs';

const puppeteer = createRequire(import.meta.url)('puppeteer-core');
export const kFirefox = process.env.FIREFOX ?? '/usr/bin/firefox-esr';

export async function launchFirefoxSession({ work }) {
  const profile = mkdtempSync(join(work, 'firefox-'));
  const downloads = join(profile, 'downloads');
  mkdirSync(downloads);
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: kFirefox,
    headless: true,
    userDataDir: profile,
    args: ['--width=1400', '--height=1000'],
    defaultViewport: { width: 1400, height: 1000 },
    timeout: 60_000,
    protocolTimeout: 120_000,
    extraPrefsFirefox: {
      // Downloads land in the profile's folder, without asking.
      'browser.download.folderList': 2,
      'browser.download.dir': downloads,
      'browser.download.useDownloadDir': true,
      'browser.download.always_ask_before_handling_new_types': false,
      // No requests of its own to any host.
      'app.update.enabled': false,
      'browser.safebrowsing.malware.enabled': false,
      'browser.safebrowsing.phishing.enabled': false,
      'network.captive-portal-service.enabled': false,
      'network.connectivity-service.enabled': false,
      'extensions.getAddons.cache.enabled': false,
      'browser.newtabpage.enabled': false,
      'datareporting.policy.dataSubmissionEnabled': false,
    },
  });
  const session = await puppeteerSession('firefox', browser);
  session.downloads = downloads;
  return session;
}
