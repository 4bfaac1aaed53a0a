// The pointer and the keys on the preview: what draws under the pointer is
// named and highlighted, a click selects it (its control shown in the
// panel), a drag moves the element record that places it, the arrow keys
// nudge the selected record.
import type { Trace } from '../../engine/engine';
import { change } from '../changes';
import { app, elementName, engine, fieldValue, probe, sourceName, status, t, update } from '../context';
import { revealTrace } from './panel';
import { highlightDrawer, preview, setHighlight } from './preview';

let hoverAt: { x: number; y: number } | null = null;
let hovering = false;
let drag: { section: string; x0: number; y0: number; px: number; py: number; gesture: string; moved: boolean } | null = null;
let gestures = 0;
let nudge: { gesture: string; timer: ReturnType<typeof setTimeout> } | null = null;
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
      await showTrace(await engine.trace(app.screen, app.zoom, at.x, at.y));
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

function elementPlace(section: string): { x: number; y: number } | null {
  const x = fieldValue(section, 'x'), y = fieldValue(section, 'y');
  return typeof x === 'number' && typeof y === 'number' ? { x, y } : null;
}

export function wirePreviewInput(): void {
  const canvas = preview.canvas;
  canvas.addEventListener('pointermove', (e) => {
    if (drag) {
      const p = canvasPoint(e);
      const dx = Math.round((p.x - drag.px) / app.zoom), dy = Math.round((p.y - drag.py) / app.zoom);
      if (dx || dy || drag.moved) {
        drag.moved = true;
        const d = drag;
        void change(engine.moveElement(d.section, d.x0 + dx, d.y0 + dy, d.gesture));
      }
      return;
    }
    hoverAt = canvasPoint(e);
    void hover();
  });
  canvas.addEventListener('pointerleave', () => {
    hoverAt = null;
    if (!drag) setHighlight(null);
  });
  canvas.addEventListener('pointerdown', async (e) => {
    if (e.button !== 0) return;
    canvas.focus();
    const p = canvasPoint(e);
    const trace = await engine.trace(app.screen, app.zoom, p.x, p.y);
    if (!trace) return;
    revealTrace(trace);
    const section = trace.elements[0];
    if (section) update({ selectedElement: section });
    const place = section ? elementPlace(section) : null;
    if (section && place) {
      canvas.setPointerCapture(e.pointerId);
      drag = { section, x0: place.x, y0: place.y, px: p.x, py: p.y, gesture: `drag-${++gestures}`, moved: false };
    }
  });
  const endDrag = () => {
    drag = null;
  };
  canvas.addEventListener('pointerup', endDrag);
  canvas.addEventListener('pointercancel', endDrag);
  canvas.addEventListener('keydown', (e) => {
    const moves: Record<string, [number, number]> = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    const m = moves[e.key];
    const selected = app.selectedElement;
    if (!m || !selected || e.ctrlKey || e.altKey || e.metaKey) return;
    e.preventDefault();
    const place = elementPlace(selected);
    if (!place) return;
    const step = e.shiftKey ? 8 : 1;
    // A run of nudges is one step of Undo: it ends when the keys rest.
    if (!nudge) nudge = { gesture: `nudge-${++gestures}`, timer: 0 as unknown as ReturnType<typeof setTimeout> };
    clearTimeout(nudge.timer);
    nudge.timer = setTimeout(() => (nudge = null), 1000);
    void change(engine.moveElement(selected, place.x + m[0] * step, place.y + m[1] * step, nudge.gesture));
  });
}
