// The pointer and the keys on the preview, by the core's rules: what draws
// under the pointer is named and highlighted, and the cursor says where a
// drag moves something; a press selects what it hits (its control shown in
// the panel, its outline kept on the preview); a press that moves past a
// small distance drags the element record that places it (Escape puts it
// back); the arrow keys nudge the record held (Shift: 10 pixels), all the
// nudges after one press being one step of Undo. A double click opens the
// colour dialog of a colour, or the chooser of a picture.
import type { GestureAnswer, Trace } from '../../engine/engine';
import { refresh } from '../changes';
import { run } from '../commands';
import { app, elementName, engine, probe, renderZoom, sourceName, status, t, update } from '../context';
import { revealDrawer } from './panel';
import { draw, highlightDrawer, preview, setHighlight, setSelection } from './preview';

let hoverAt: { x: number; y: number } | null = null;
let hovering = false;
let pressed = false;
let touches = 0;
probe.busy.push(() => hovering);

/** The pixel of the preview's picture under a pointer event. */
export function canvasPoint(e: PointerEvent | MouseEvent): { x: number; y: number } {
  const c = preview.canvas;
  const r = c.getBoundingClientRect();
  return { x: Math.floor(((e.clientX - r.left) * c.width) / r.width), y: Math.floor(((e.clientY - r.top) * c.height) / r.height) };
}

async function hover(): Promise<void> {
  if (hovering) return;
  hovering = true;
  try {
    while (hoverAt) {
      const at = hoverAt;
      hoverAt = null;
      const [trace, cursor] = await Promise.all([
        engine.trace(app.screen, renderZoom(), at.x, at.y), engine.cursorAt(app.screen, renderZoom(), at.x, at.y),
      ]);
      preview.canvas.style.cursor = cursor.cursor === 'move' ? 'move' : cursor.cursor === 'pointer' ? 'pointer' : '';
      await showTrace(trace);
      probe.hovers++;
      probe.lastHoverAt = performance.now();
    }
  } finally {
    hovering = false;
  }
}

async function showTrace(trace: Trace | null): Promise<void> {
  if (!trace || (!trace.source && trace.elements.length === 0)) {
    if (trace) status(t('LANG_STATUS_PIXEL_NONE$'));
    setHighlight(null);
    return;
  }
  const parts: string[] = [];
  if (trace.source) parts.push(sourceName(trace.source));
  for (const section of trace.elements) parts.push(elementName(section));
  status(`${parts.join(' · ')}  (${trace.x}, ${trace.y})`);
  await highlightDrawer(trace.source ?? { kind: 'element', section: trace.elements[0] });
}

// What a gesture did, shown: the selection, the record held, the moves.
async function follow(answer: GestureAnswer, selected: boolean): Promise<void> {
  if (selected) {
    update({ selectedElement: answer.record });
    setSelection(answer.selection);
    if (answer.selection) revealDrawer(answer.selection);
  }
  if (answer.outcome === 'changed' && (answer.changed.fields.length || answer.changed.whole)) await refresh(true);
  else if (answer.outcome === 'changed') await draw();
}

export function wirePreviewInput(): void {
  const canvas = preview.canvas;
  canvas.addEventListener('pointermove', (e) => {
    if (pressed) {
      const p = canvasPoint(e);
      void engine.drag(p.x, p.y, renderZoom()).then((a) => follow(a, false));
      return;
    }
    hoverAt = canvasPoint(e);
    void hover();
  });
  canvas.addEventListener('pointerleave', () => {
    hoverAt = null;
    if (!pressed) setHighlight(null);
  });
  canvas.addEventListener('pointerdown', (e) => {
    if (e.pointerType === 'touch' && ++touches > 1) {
      // A second finger: a pinch, which zooms; nothing is dragged.
      if (pressed) void engine.escape().then((a) => follow(a, false));
      pressed = false;
      return;
    }
    if (e.button !== 0) return;
    canvas.focus();
    canvas.setPointerCapture(e.pointerId);
    pressed = true;
    const p = canvasPoint(e);
    void engine.press(app.screen, renderZoom(), p.x, p.y).then((a) => follow(a, true));
  });
  const end = (e: PointerEvent) => {
    if (e.pointerType === 'touch') touches = Math.max(0, touches - 1);
    if (!pressed) return;
    pressed = false;
    void engine.release().then((a) => follow(a, false));
  };
  canvas.addEventListener('pointerup', end);
  canvas.addEventListener('pointercancel', end);
  canvas.addEventListener('dblclick', (e) => {
    const p = canvasPoint(e);
    void engine.trace(app.screen, renderZoom(), p.x, p.y).then((trace) => {
      const source = trace?.source;
      if (source?.kind === 'colour') void run('editColour', { colour: source.key });
      else if (source?.kind === 'picture') void run('importPicture', { picture: source.name });
    });
  });
  canvas.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && pressed) {
      e.preventDefault();
      pressed = false;
      void engine.escape().then((a) => follow(a, false));
      return;
    }
    const moves: Record<string, [number, number]> = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    const m = moves[e.key];
    if (!m || e.ctrlKey || e.altKey || e.metaKey) return;
    e.preventDefault();
    void engine.nudge(m[0], m[1], e.shiftKey).then((a) => follow(a, false));
  });
  // Escape anywhere ends a drag under way, as the desktop's does.
  window.addEventListener('keydown', (e) => {
    if (e.key !== 'Escape' || !pressed || e.target === canvas) return;
    pressed = false;
    void engine.escape().then((a) => follow(a, false));
  });
}
