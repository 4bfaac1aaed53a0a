// The page's frame: the menu bar and the skin's name above; the screen
// chooser, the preview, the panel and the docks; the status line below. It
// is built again, whole, when the language changes.
import { refresh } from './changes';
import { app, kScreens, on, screenName, showBusyWith, showProgressWith, showStatusWith, t, update } from './context';
import { buildMenus } from './commands';
import { startHint } from './dialogs/help';
import { archiveInput, folderInput } from './io/open';
import { pictureChooser } from './io/import';
import { cancelButton, showCancel } from './io/renew';
import { setLanguage } from './language';
import { el } from './ui';
import { buildDocks } from './views/docks';
import { buildPanel } from './views/panel';
import { buildPreview, kFilters, setScreen, wireZoomGestures } from './views/preview';
import { wirePreviewInput } from './views/preview-input';

const root = document.getElementById('editor')!;
const progress = el('progress', { class: 'busy', hidden: true, max: 53 });
let statusText: HTMLElement | null = null;
let zoomText: HTMLElement | null = null;
let simulationText: HTMLElement | null = null;
let screenChooser: HTMLSelectElement | null = null;
let screenButtons: HTMLButtonElement[] = [];

// An open or a save counts its 53 pictures; other work shows an indeterminate bar.
showProgressWith((value) => {
  progress.value = value;
});
showBusyWith((busy) => {
  if (!busy) progress.removeAttribute('value');
  progress.hidden = !busy;
  showCancel(busy);
  document.body.toggleAttribute('aria-busy', busy);
});
showStatusWith((text) => {
  if (statusText) statusText.textContent = text;
});

/** The whole page in the language in force. */
export async function build(): Promise<void> {
  const menus = await buildMenus();
  screenChooser = el('select', { 'aria-label': t('LANG_SCREEN$'), onchange: () => void setScreen(Number(screenChooser!.value)) },
    ...Array.from({ length: kScreens }, (_, s) => el('option', { value: String(s) }, screenName(s))));
  screenButtons = Array.from({ length: kScreens }, (_, s) =>
    el('button', { type: 'button', class: 'screen-button', title: screenName(s), onclick: () => void setScreen(s) }, String(s + 1)));
  statusText = el('span', { class: 'status', role: 'status' });
  const countsText = el('span', { class: 'counts' });
  zoomText = el('span', { class: 'zoom' });
  simulationText = el('span', { class: 'simulation' });
  root.replaceChildren(
    el('header', {}, menus, el('span', { id: 'skin-name', class: 'skin-name' })),
    el('main', {},
      el('section', { class: 'preview-area' },
        el('div', { class: 'screens' },
          el('button', { type: 'button', class: 'screen-button', 'aria-label': t('LANG_SCREEN_PREV$'), title: t('LANG_SCREEN_PREV$'), onclick: () => void setScreen(app.screen - 1) }, '‹'),
          screenChooser,
          el('button', { type: 'button', class: 'screen-button', 'aria-label': t('LANG_SCREEN_NEXT$'), title: t('LANG_SCREEN_NEXT$'), onclick: () => void setScreen(app.screen + 1) }, '›'),
          el('span', { class: 'screen-numbers' }, ...screenButtons)),
        startHint(), buildPreview()),
      buildPanel(),
      buildDocks(countsText)),
    el('footer', {}, progress, cancelButton, statusText, simulationText, countsText, zoomText),
    el('div', { id: 'drop-hint', hidden: true }, el('p', {}, t('LANG_WEB_DROP$'))),
    archiveInput, folderInput, pictureChooser());
  progress.setAttribute('aria-label', t('LANG_WEB_WORKING$'));
  cancelButton.textContent = t('LANG_CANCEL$');
  wirePreviewInput();
  wireZoomGestures();
  showScreen();
  showView();
  showTitle();
  showLayout();
}

function showScreen(): void {
  if (screenChooser) screenChooser.value = String(app.screen);
  screenButtons.forEach((b, i) => b.setAttribute('aria-pressed', String(i === app.screen)));
}

function showView(): void {
  if (zoomText) zoomText.textContent = t('LANG_STATUS_ZOOM$', Math.round(app.zoom * 100));
  const name = kFilters.find(([k]) => k === app.filter)![1];
  if (simulationText) simulationText.textContent = app.filter === 'none' ? '' : t('LANG_STATUS_SIMULATING$', t(name));
}

function showTitle(): void {
  const name = app.skinLabel || t('LANG_SKIN_NEW$');
  document.title = `${app.doc.modified ? '* ' : ''}${name} - Skin Editor`;
  const shown = document.getElementById('skin-name');
  if (shown) shown.textContent = (app.doc.modified ? '● ' : '') + name;
}

/** The panel before the preview (or after it), remembered. */
export function setSwapView(on: boolean): void {
  update({ swapView: on }, 'layout');
  localStorage.setItem('skin-editor-swap-view', on ? '1' : '');
}

function showLayout(): void {
  root.querySelector('main')?.classList.toggle('swapped', app.swapView);
}

/** The language chosen in the menu: the page built again in it. */
export async function changeLanguage(file: string | null): Promise<void> {
  if (!(await setLanguage(file))) return;
  await build();
  await refresh(false);
}

on('screen', showScreen);
on('view', showView);
on('title', showTitle);
on('layout', showLayout);
