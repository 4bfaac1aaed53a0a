// A fresh engine when one is needed: an open or an import under way can be
// cancelled (the document as it was before comes back in a fresh engine),
// and after an operation that grew the engine's memory past a limit (a huge
// picture decoded, a huge archive opened) a fresh engine takes the document
// over, so that the memory the operation took comes back.
import { Cancelled } from '../client';
import { app, engine, probe, status, t, whenCommandsRest } from '../context';
import { refresh } from '../changes';
import { el } from '../ui';
import { setCompare, setHighlight } from '../views/preview';

const kRenewAbove = renewAbove();

// 384 MB; a page loaded for the tests may ask for less (?test&renew-above=MB), to see a renewal happen.
function renewAbove(): number {
  const q = new URLSearchParams(location.search);
  const mb = q.has('test') ? Number(q.get('renew-above')) : NaN;
  return (Number.isFinite(mb) && mb > 0 ? mb : 384) * 1024 * 1024;
}
let memoryRenewed = 0;
/** What may be cancelled now (an open, an import), else null. */
let cancelling: string | null = null;

export const cancelButton = el('button', { type: 'button', class: 'cancel', hidden: true, onclick: () => void engine.cancel() });

/** Shows the Cancel button beside the progress while cancellable work is under way. */
export function showCancel(busy: boolean): void {
  cancelButton.hidden = !busy || !cancelling;
}

// An engine call ended by Cancel rejects with Cancelled: what was waiting on it has nothing to do.
window.addEventListener('unhandledrejection', (e) => {
  if (e.reason instanceof Cancelled) e.preventDefault();
});

/**
 * Runs `work` (an open, an import) so that the user can cancel it: the document as it is now is
 * taken first, and Cancel brings it back in a fresh engine. `name` is what the status line says
 * was cancelled. False when it was.
 */
export async function cancellable(name: string, work: () => Promise<void>): Promise<boolean> {
  try {
    await engine.mark();
    cancelling = name;
  } catch (e) {
    // Without the document taken, the work runs to its end.
    console.warn('no cancel for this:', e);
  }
  try {
    await work();
    return true;
  } catch (e) {
    if (!(e instanceof Cancelled)) throw e;
    status(t('LANG_STATUS_CANCELLED$', name));
    setHighlight(null);
    await refresh(false);
    return false;
  } finally {
    cancelling = null;
    cancelButton.hidden = true;
  }
}

async function renewIfGrown(): Promise<void> {
  if (engine.memory <= kRenewAbove || engine.memory <= 2 * memoryRenewed || document.querySelector('dialog[open]')) return;
  try {
    await engine.renew();
    await engine.state();
    memoryRenewed = engine.memory;
    // The skin compared with is not the document's: it stays with the old engine.
    if (app.compare === 'other') setCompare('off');
    probe.renewals++;
  } catch (e) {
    console.warn('the engine was not renewed:', e);
  }
}

whenCommandsRest(renewIfGrown);
