// The page's handler of each command of the catalogue: what the command does
// here. Its text, keys, menu place, greying and check mark are the
// catalogue's (commands.ts).
import { redo, undo } from './changes';
import { handle } from './commands';
import { app, colourField, kScreens } from './context';
import type { Rgb } from '../engine/engine';
import { backgroundColourDialog, copyColourOf, editColour, pasteColourInto, replaceColourDialog } from './dialogs/colour';
import { recolourDialog } from './dialogs/recolour';
import { showShortcuts } from './dialogs/help';
import { choosePicture, importFolder, importInto } from './io/import';
import { compareWithArchive, compareWithFolder, stopCompare } from './io/compare';
import { answerReload } from './io/watch';
import { showAbout } from './dialogs/about';
import { takeFromDialog } from './dialogs/take';
import { chooseArchive, confirmLeave, newSkin, openFolder, openRecent, recent } from './io/open';
import { save, saveArchive, saveToFolder } from './io/save';
import { copyScreenshot, saveScreenshot } from './io/screenshots';
import { changeLanguage, setSwapView } from './layout';
import { showDock, showProblem } from './views/docks';
import { controlOf, revealControl } from './views/panel';
import { kFilters, setCompare, setFilter, setScreen, setWholeZoom, stepZoom, zoomToFit, setZoom } from './views/preview';

export function registerHandlers(): void {
  // File.
  handle('new', () => newSkin());
  handle('openFolder', () => openFolder());
  handle('openArchive', () => chooseArchive());
  handle('openSkin', ({ recent: i }) => (i !== undefined && recent[i] ? openRecent(recent[i]) : undefined));
  handle('save', () => save());
  handle('saveFolder', () => saveToFolder());
  handle('saveArchive', () => saveArchive());
  handle('screenshotFile', () => saveScreenshot(false));
  handle('screenshotShownFile', () => saveScreenshot(true));
  handle('screenshotClipboard', () => copyScreenshot(false));
  handle('screenshotShownClipboard', () => copyScreenshot(true));
  handle('importFolder', () => importFolder());
  handle('compareFolder', () => compareWithFolder());
  handle('compareArchive', () => compareWithArchive());
  handle('stopCompare', () => stopCompare());
  handle('reloadTake', () => answerReload(true));
  handle('reloadKeep', () => answerReload(false));
  handle('quit', async () => {
    // An installed editor's window closes; a tab the browser did not open for the page stays.
    if (await confirmLeave()) window.close();
  });

  // Edit.
  handle('undo', () => undo());
  handle('redo', () => redo());

  // View.
  handle('zoomIn', () => stepZoom(1));
  handle('zoomOut', () => stepZoom(-1));
  handle('zoomReset', () => setZoom(1));
  handle('zoomFit', () => zoomToFit());
  handle('wholeZoom', () => setWholeZoom(!app.wholeZoom));
  for (const [f] of kFilters) handle(`simulate:${f}`, () => setFilter(f));
  handle('compareSaved', () => setCompare(app.compare === 'saved' ? 'off' : 'saved'));
  handle('overview', () => showDock('overview', !app.docks.overview));
  handle('problems', () => showDock('problems', !app.docks.problems));
  handle('palette', () => showDock('palette', !app.docks.palette));

  // Skin, language, screen.
  handle('recolour', () => recolourDialog());
  handle('takeFrom', () => takeFromDialog());
  app.languages.forEach((l, i) => handle(`language:${i}`, () => changeLanguage(l.file)));
  for (let s = 0; s < kScreens; ++s) handle(`screenAction:${s}`, () => setScreen(s));
  handle('previousScreen', () => setScreen(app.screen - 1));
  handle('nextScreen', () => setScreen(app.screen + 1));

  // What the panel, the preview and the docks ask for.
  handle('editColour', ({ colour }) => (colour ? editColour(colour, controlOf('colour', colour)) : undefined));
  handle('replaceColour', ({ colour }) => (colour ? replaceColourDialog(colour) : undefined));
  handle('importPicture', ({ picture }) => (picture ? choosePicture(picture) : undefined));
  handle('importPictureFile', ({ picture, file }) => (picture && file ? importInto(picture, file) : undefined));
  handle('showProblem', ({ index }) => (index !== undefined ? showProblem(index) : undefined));
  handle('reveal', ({ colour, picture }) => revealControl(colour ? { kind: 'colour', name: colour } : picture ? { kind: 'picture', name: picture } : null));
  handle('copyColour', async ({ colour }) => {
    const f = colour ? colourField(colour) : undefined;
    if (f) await copyColourOf(f.value as Rgb);
  });
  handle('pasteColour', ({ colour, text }) => (colour ? pasteColourInto(colour, text ?? null) : undefined));

  // Help and options.
  handle('shortcuts', () => showShortcuts());
  handle('about', () => showAbout());
  handle('backgroundColour', () => backgroundColourDialog(app.background));
  handle('swapView', () => setSwapView(!app.swapView));
}

/** What the page knows for the commands' greying and check marks. */
export function pageFacts() {
  return {
    overviewShown: app.docks.overview, problemsShown: app.docks.problems, paletteShown: app.docks.palette,
    wholeZoom: app.wholeZoom, swapped: app.swapView, compare: app.compare,
    filter: app.filter, screen: app.screen,
    // The page cannot look into the system's clipboard before a paste; a paste of no colour says so.
    clipboardHoldsColour: true,
    language: app.languages.find((l) => l.file === app.languageFile)?.index ?? 0,
  };
}
