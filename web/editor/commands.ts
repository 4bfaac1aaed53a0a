// The editor's commands on the page: the menus and the keys, each running a
// handler of its own.
import { redo, undo } from './changes';
import { app, command, dpr, kScreens, screenName, t } from './context';
import { recolourDialog } from './dialogs/recolour';
import * as files from './files';
import { chooseArchive, newSkin, openFolder, openRecent, recent } from './io/open';
import { save, saveArchive, saveToFolder, screenshot } from './io/save';
import { changeLanguage } from './layout';
import { MenuBar, type MenuEntry } from './ui';
import { showDock } from './views/docks';
import { kFilters, fitZoom, setComparing, setFilter, setScreen, setZoom } from './views/preview';

export function buildMenus(): HTMLElement {
  const menubar = new MenuBar(t('LANG_FILE$'));
  const folderAccess = files.hasFolderAccess;
  const { docks } = app;
  menubar.add(t('LANG_FILE$'), () => {
    const entries: MenuEntry[] = [
      { label: t('LANG_FILE_NEW$'), run: () => void command(() => newSkin()) },
      '-',
      { label: t('LANG_FILE_OPEN$'), heading: true },
      { label: t('LANG_FILE_OPEN_FOLDER$'), run: () => void command(() => openFolder()), keys: 'Ctrl+O' },
      { label: '*.zip', run: chooseArchive },
    ];
    entries.push({ label: t('LANG_FILE_OPEN_RECENT$'), heading: true });
    for (const r of recent) entries.push({ label: r.label, run: () => void command(() => openRecent(r)) });
    entries.push('-',
      { label: t('LANG_FILE_SAVE$'), run: () => void command(() => save()), keys: 'Ctrl+S' },
      { label: t('LANG_FILE_SAVE_FOLDER$'), run: () => void command(() => saveToFolder()), disabled: !folderAccess, keys: 'Ctrl+Shift+S' },
      { label: t('LANG_FILE_SAVE_ARCHIVE$'), run: () => void command(() => saveArchive()) },
      '-',
      { label: t('LANG_FILE_SCREENSHOT$'), heading: true },
      { label: t('LANG_FILE_SCREENSHOT2D$'), run: () => void command(() => screenshot()) });
    return entries;
  });
  menubar.add(t('LANG_EDIT$'), () => [
    { label: app.doc.undoText ? `${t('LANG_EDIT_UNDO$')} ${app.doc.undoText}` : t('LANG_EDIT_UNDO$'), run: () => void command(() => undo()), disabled: !app.doc.undo, keys: 'Ctrl+Z' },
    { label: app.doc.redoText ? `${t('LANG_EDIT_REDO$')} ${app.doc.redoText}` : t('LANG_EDIT_REDO$'), run: () => void command(() => redo()), disabled: !app.doc.redo, keys: 'Ctrl+Shift+Z' },
  ]);
  menubar.add(t('LANG_VIEW$'), () => [
    { label: t('LANG_VIEW_ZOOM_IN$'), run: () => setZoom(app.zoom + 1), keys: 'Ctrl+=' },
    { label: t('LANG_VIEW_ZOOM_OUT$'), run: () => setZoom(app.zoom - 1), keys: 'Ctrl+-' },
    { label: t('LANG_VIEW_ZOOM_RESET$'), run: () => setZoom(Math.round(dpr())), keys: 'Ctrl+0' },
    { label: t('LANG_VIEW_ZOOM_FIT$'), run: () => setZoom(fitZoom()) },
    '-',
    { label: t('LANG_VIEW_SIMULATE$'), heading: true },
    ...kFilters.map(([f, key]) => ({ label: t(key), checked: app.filter === f, radio: true, run: () => setFilter(f) })),
    '-',
    { label: t('LANG_VIEW_COMPARE_SAVED$'), checked: app.comparing, run: () => setComparing(!app.comparing), title: t('LANG_COMPARE_TIP$') },
    '-',
    { label: t('LANG_VIEW_OVERVIEW$'), checked: docks.overview, run: () => showDock('overview', !app.docks.overview), keys: 'F10' },
    { label: t('LANG_VIEW_PROBLEMS$'), checked: docks.problems, run: () => showDock('problems', !app.docks.problems), keys: 'F8' },
    { label: t('LANG_VIEW_PALETTE$'), checked: docks.palette, run: () => showDock('palette', !app.docks.palette), keys: 'F9' },
  ]);
  menubar.add(t('LANG_SKIN$'), () => [{ label: t('LANG_SKIN_RECOLOR$'), run: () => void command(() => recolourDialog()) }]);
  menubar.add(app.texts['LANG_LANGUAGE$'] ?? 'Language', () =>
    app.languages.map((l) => ({ label: l.label, checked: app.languageFile === l.file, radio: true, run: () => void command(() => changeLanguage(l.file)) })));
  menubar.add(t('LANG_SCREEN$'), () => [
    ...Array.from({ length: kScreens }, (_, s) => ({ label: screenName(s), checked: s === app.screen, radio: true, run: () => void command(() => setScreen(s)) })),
    '-',
    { label: t('LANG_SCREEN_PREV$'), run: () => void command(() => setScreen(app.screen - 1)), keys: 'PageUp' },
    { label: t('LANG_SCREEN_NEXT$'), run: () => void command(() => setScreen(app.screen + 1)), keys: 'PageDown' },
  ]);
  return menubar.element;
}

function typing(target: EventTarget | null): boolean {
  const e = target as HTMLElement | null;
  return !!e && (e.tagName === 'INPUT' || e.tagName === 'TEXTAREA' || e.tagName === 'SELECT' || e.isContentEditable);
}

export function wireKeys(): void {
  document.addEventListener('keydown', (e) => {
    if (document.querySelector('dialog[open]')) return;
    const ctrl = e.ctrlKey || e.metaKey;
    const key = e.key.toLowerCase();
    const run = (f: () => unknown) => {
      e.preventDefault();
      void command(f);
    };
    if (ctrl && key === 's') return run(() => (e.shiftKey ? saveToFolder() : save()));
    if (ctrl && key === 'o') return run(() => openFolder());
    if (ctrl && !typing(e.target) && ((key === 'z' && e.shiftKey) || key === 'y')) return run(() => redo());
    if (ctrl && !typing(e.target) && key === 'z') return run(() => undo());
    if (ctrl && (key === '=' || key === '+')) return run(() => setZoom(app.zoom + 1));
    if (ctrl && key === '-') return run(() => setZoom(app.zoom - 1));
    if (ctrl && key === '0') return run(() => setZoom(Math.round(dpr())));
    if (e.key === 'F8') return run(() => showDock('problems', !app.docks.problems));
    if (e.key === 'F9') return run(() => showDock('palette', !app.docks.palette));
    if (e.key === 'F10') return run(() => showDock('overview', !app.docks.overview));
    if (typing(e.target)) return;
    if (e.key === 'PageUp') return run(() => setScreen(app.screen - 1));
    if (e.key === 'PageDown') return run(() => setScreen(app.screen + 1));
  });
}
