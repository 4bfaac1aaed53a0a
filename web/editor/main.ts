// The skin editor as a web page: the engine (in its worker) holds the skin
// and every rule; this page shows it and turns the user's hands into the
// engine's changes, as the desktop editor does. Nothing leaves the page:
// files are read from and written to the user's machine only.
//
// This module only puts the parts together: the state and the engine
// (context.ts), the views (views/), the dialogs (dialogs/), the files and
// the journal (io/), the commands (commands.ts) and the frame (layout.ts).
import { refresh } from './changes';
import { loadCatalogue, unhandled, wireKeys } from './commands';
import { pageFacts, registerHandlers } from './handlers';
import { app, engine, probe, status, t, update } from './context';
import { wireDrop } from './io/drop';
import { journalOwing, offerRestore, startJournal, writeJournal } from './io/journal';
import { loadRecent, recent } from './io/open';
import { build } from './layout';
import { firstLanguage, prefetchLanguages, setLanguage } from './language';
import { el, fill } from './ui';
import { kInfo, pendingTyping } from './views/panel-fields';
import { wireCompareSwap, zoomToFit } from './views/preview';
import { startWebApp } from './web-app';

// The counters the tests and the benchmark read, only where the page is loaded for them.
if (new URLSearchParams(location.search).has('test')) (window as unknown as { skinEditor: unknown }).skinEditor = probe;

function wireLeaving(): void {
  // Leaving the page (a tab closed, the browser sent to the background):
  // the journal takes what is owed now, what the boxes show included.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden' && journalOwing()) void writeJournal();
  });
  window.addEventListener('beforeunload', (e) => {
    if (app.doc.modified || pendingTyping()) {
      e.preventDefault();
      e.returnValue = '';
    }
  });
}

async function start(): Promise<void> {
  // What the page remembers of its view: the docks, whole-number zoom, the background, the panel's side.
  try {
    update({ docks: { ...app.docks, ...JSON.parse(localStorage.getItem('skin-editor-docks') ?? '{}') } });
    const background = JSON.parse(localStorage.getItem('skin-editor-background') ?? 'null');
    if (Array.isArray(background) && background.length === 3 && background.every((v) => Number.isInteger(v) && v >= 0 && v < 256)) {
      update({ background: background as [number, number, number] });
    }
  } catch {
    // the defaults
  }
  update({ wholeZoom: !!localStorage.getItem('skin-editor-whole-zoom'), swapView: !!localStorage.getItem('skin-editor-swap-view') });
  try {
    // Asked all at once: the engine answers them in order, without a round trip between.
    const language = firstLanguage();
    const languageRead = language ? setLanguage(language) : Promise.resolve(true);
    const [texts, languages, panel, doc, typed] = await Promise.all([
      engine.texts(), engine.languages(), engine.panel(), engine.state(),
      Promise.all(kInfo.map(([key]) => engine.typedText('[SkinInfo]', key, ''))),
      loadCatalogue(pageFacts, () => recent.map((r) => r.label)),
    ]);
    probe.engineAt = performance.now();
    const readOnlyInfo = kInfo.filter((_, i) => typed[i]?.outcome === 'read-only').map(([key]) => key);
    update({ languages, panel, doc, readOnlyInfo, ...(language ? {} : { texts }) });
    registerHandlers();
    probe.unhandled = unhandled;
    wireKeys();
    wireDrop();
    wireCompareSwap();
    wireLeaving();
    if (!(await languageRead)) update({ texts });
    // The preview as large as whole pixels let it be in the window.
    await build();
    await zoomToFit(false);
    await refresh(false);
    if (!(await languageRead)) status(t('LANG_STATUS_LANGUAGE_MISSING$', language!, 'language/'));
    await startJournal();
    probe.ready = true;
    await loadRecent();
    probe.restoreAsked = false;
    // Nothing a stored journal holds may keep the editor from starting.
    await offerRestore().catch((e) => console.warn('journals not offered:', e));
    probe.restoreAsked = true;
    // What the page may need later, fetched now: it then works without the network.
    prefetchLanguages();
    startWebApp();
    void engine.prepareCodecs().catch(() => {});
    void engine.prepareScreenshots().catch(() => {});
  } catch (e) {
    probe.error = String((e as Error).message ?? e);
    document.getElementById('editor')!.replaceChildren(el('p', { class: 'fatal', role: 'alert' },
      fill(app.texts['LANG_WEB_START_FAILED$'] ?? 'The editor could not start: %1', [probe.error])));
  }
}

void start();
