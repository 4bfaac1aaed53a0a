// The page's service worker (sw.ts): registered once the editor has
// started, so that it never competes with the first preview. When a new
// version has been installed in the background, the page offers "Reload
// to update"; never while the skin has unsaved changes (the offer hides
// until they are saved, undone or discarded), and only the user's click
// lets the new version take over and the page load again.
import { app, on, t } from './context';
import { journalOwing, writeJournal } from './io/journal';
import { el } from './ui';

// How often an open page asks whether a new version is out, besides when
// it comes back into view.
const kCheckEvery = 60 * 60 * 1000;

let waiting: ServiceWorker | null = null;
let offer: HTMLButtonElement | null = null;

function showOffer(): void {
  const shown = waiting !== null && !app.doc.modified;
  if (!offer) {
    if (!shown) return;
    // Beside the menu bar, outside the frame the page builds again on a change of language.
    offer = el('button', {
      type: 'button', class: 'update-offer', onclick: () => void takeUpdate(),
      style: 'position: fixed; top: 4px; inset-inline-end: 8px; z-index: 5',
    });
    document.body.append(offer);
  }
  offer.textContent = t('LANG_WEB_UPDATE$');
  offer.hidden = !shown;
}

async function takeUpdate(): Promise<void> {
  if (!waiting || app.doc.modified) return showOffer();
  // The journal as the skin is now (an edit undone a moment ago deletes it), so that the new version offers nothing stale.
  if (journalOwing()) await writeJournal();
  if (!waiting || app.doc.modified) return showOffer();
  navigator.serviceWorker.addEventListener('controllerchange', () => location.reload(), { once: true });
  waiting.postMessage('skip-waiting');
}

/** Registers the service worker and follows its updates; without one (no https, a private window) the page works as before. */
export function registerUpdates(): void {
  on(['title', 'values'], showOffer);
  // The manifest (and the icon a browser fetches with it) is named once the
  // first preview is drawn: the page needs it only to be installed.
  if (!document.querySelector('link[rel=manifest]')) {
    document.head.append(Object.assign(document.createElement('link'), { rel: 'manifest', href: 'manifest.webmanifest' }));
  }
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  navigator.serviceWorker.register('sw.js', { updateViaCache: 'none' }).then((registration) => {
    // A worker installed while another one serves the page is a new version, waiting.
    const follow = (worker: ServiceWorker | null) => {
      if (!worker) return;
      const settle = () => {
        if (worker.state === 'installed' && registration.active && registration.waiting === worker) {
          waiting = worker;
          showOffer();
        }
      };
      worker.addEventListener('statechange', settle);
      settle();
    };
    follow(registration.waiting);
    registration.addEventListener('updatefound', () => follow(registration.installing));
    const check = () => void registration.update().catch(() => {});
    setInterval(check, kCheckEvery);
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'visible') check();
    });
  }, (e) => console.warn('the editor will not work offline:', e));
}
