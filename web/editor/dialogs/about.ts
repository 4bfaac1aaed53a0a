// The about box: the editor's banner, title, version and text, and the
// project's page, as the desktop shows them (the texts are the core's).
import { engine, t } from '../context';
import { ask, el } from '../ui';

export async function showAbout(): Promise<void> {
  const [about, banner] = await Promise.all([engine.about(), engine.aboutBanner()]);
  const canvas = el('canvas', { width: banner.width, height: banner.height, class: 'about-banner' });
  canvas.getContext('2d')!.putImageData(new ImageData(banner.data as Uint8ClampedArray<ArrayBuffer>, banner.width, banner.height), 0, 0);
  const body = el('div', { class: 'about' },
    el('a', { href: about.bannerAddress, target: '_blank', rel: 'noopener noreferrer', title: about.bannerAddress }, canvas),
    el('p', { class: 'about-text' }, about.text),
    el('p', {}, el('a', { href: about.linkAddress, target: '_blank', rel: 'noopener noreferrer', title: about.linkAddress }, about.linkText)));
  await ask(t('LANG_ABOUT_ABOUT$'), body, [{ label: t('LANG_OK$'), value: true, default: true }], true);
}
