// The skin changed, or may have: the page asks the engine what the document
// is now and tells every view that follows it. The preview is drawn at once;
// the check, the docks and the thumbnails follow once the edits rest.
import { app, engine, probe, status, update } from './context';
import { draw } from './views/preview';
import { edited } from './io/journal';

let checkTimer: ReturnType<typeof setTimeout> | null = null;
let sideTimer: ReturnType<typeof setTimeout> | null = null;
probe.busy.push(() => checkTimer !== null || sideTimer !== null);

/** Everything that shows the skin follows it; `wasEdit`: an edit of the user's, for the journal. */
export async function refresh(wasEdit: boolean): Promise<void> {
  const drawn = draw();
  const [doc, fields] = await Promise.all([engine.state(), engine.fields()]);
  update({ doc, fields }, 'values', 'title');
  await drawn;
  if (wasEdit) edited();
  if (checkTimer) clearTimeout(checkTimer);
  checkTimer = setTimeout(() => void checkNow().finally(() => (checkTimer = null)), 60);
  if (sideTimer) clearTimeout(sideTimer);
  sideTimer = setTimeout(() => {
    update({}, 'sides');
    sideTimer = null;
  }, 150);
}

async function checkNow(): Promise<void> {
  const problems = await engine.check();
  probe.checks++;
  update({ problems }, 'problems');
}

/** An engine call that changes the skin, then everything follows. */
export async function change(made: Promise<unknown>): Promise<void> {
  try {
    await made;
  } catch (e) {
    status(String((e as Error).message));
  }
  await refresh(true);
}

export async function undo(): Promise<void> {
  if (!app.doc.undo) return;
  await engine.undo();
  await refresh(true);
}

export async function redo(): Promise<void> {
  if (!app.doc.redo) return;
  await engine.redo();
  await refresh(true);
}

/** The skin's name, and the same name as the page may show it. */
export async function setSkinName(name: string): Promise<void> {
  const skinLabel = name ? await engine.printable(name) : '';
  update({ skinName: name, skinLabel }, 'title');
}
