// The preview: the two console screens of the screen chosen, drawn by the
// engine at the zoom in force, whole pixels of the monitor; beside it the
// skin as saved while comparing; over it the highlight of what a control or
// the pointer names. The pointer on it is preview-input.ts's.
import type { Drawer, Filter, Rgb, RgbaPicture } from '../../engine/engine';
import { app, dpr, engine, kScreens, on, probe, renderZoom, t, update } from '../context';
import { el } from '../ui';

export const kFilters: [Filter, string][] = [
  ['none', 'LANG_SIMULATE_NONE$'], ['console', 'LANG_SIMULATE_CONSOLE$'], ['protanopia', 'LANG_SIMULATE_PROTANOPIA$'],
  ['deuteranopia', 'LANG_SIMULATE_DEUTERANOPIA$'], ['tritanopia', 'LANG_SIMULATE_TRITANOPIA$'],
];

interface Highlight {
  bounds: { left: number; top: number; right: number; bottom: number; count: number };
  mask?: Uint8Array;
}

export const preview = {
  canvas: null as unknown as HTMLCanvasElement,
  overlay: null as unknown as HTMLCanvasElement,
  savedCanvas: null as unknown as HTMLCanvasElement,
  savedFigure: null as unknown as HTMLElement,
  viewport: null as unknown as HTMLElement,
  /** The picture last drawn of the skin being edited (not while the saved one is swapped in). */
  lastPicture: null as RgbaPicture | null,
  highlight: null as Highlight | null,
  /** What a press selected, and its outline at the zoom shown (kept on the preview until another press). */
  selection: null as Drawer | null,
  selectionBounds: null as Highlight['bounds'] | null,
};

/** The preview's part of the page, in the language in force. */
export function buildPreview(): HTMLElement {
  preview.canvas = el('canvas', { class: 'preview', role: 'img', 'aria-label': 'Preview', tabindex: '0' });
  preview.overlay = el('canvas', { class: 'overlay', 'aria-hidden': 'true' });
  preview.savedCanvas = el('canvas', { class: 'preview', role: 'img', 'aria-label': compareCaption() });
  preview.savedFigure = el('figure', { class: 'saved', hidden: app.compare === 'off', title: t('LANG_COMPARE_TIP$') },
    preview.savedCanvas, el('figcaption', {}, compareCaption()));
  preview.viewport = el('div', { class: 'viewport' },
    el('div', { class: 'stage' }, el('figure', { class: 'current' }, preview.canvas, preview.overlay), preview.savedFigure));
  return preview.viewport;
}

let drawing = false;
let drawAgain = false;
probe.busy.push(() => drawing);

/** Draws the preview (and the saved skin beside it while comparing); a call while drawing draws once more after. */
export async function draw(): Promise<void> {
  if (drawing) {
    drawAgain = true;
    return;
  }
  drawing = true;
  try {
    do {
      drawAgain = false;
      const { screen, filter, background, compare } = app;
      const zoom = renderZoom();
      // The skin compared with: as saved, or another.
      const side = compare === 'saved' ? { saved: true } : compare === 'other' ? { other: true } : {};
      const swapped = compare !== 'off' && app.swapped;
      const picture = await engine.render(screen, { zoom, filter, background, ...(swapped ? side : {}) });
      paint(preview.canvas, picture);
      preview.lastPicture = swapped ? null : picture;
      if (compare !== 'off') paint(preview.savedCanvas, await engine.render(screen, { zoom, filter, background, ...(swapped ? {} : side) }));
      await outlineSelection();
      paintHighlight();
      probe.draws++;
      probe.lastDrawAt = performance.now();
      probe.firstDrawAt ||= probe.lastDrawAt;
    } while (drawAgain);
  } finally {
    drawing = false;
  }
}

/**
 * A picture into a canvas, one pixel of the picture to one of the screen (`sized`), or left to the
 * page's style to scale (the thumbnails).
 */
export function paint(target: HTMLCanvasElement, picture: RgbaPicture, sized = true): void {
  if (target.width !== picture.width || target.height !== picture.height) {
    target.width = picture.width;
    target.height = picture.height;
  }
  if (sized) {
    target.style.width = `${picture.width / dpr()}px`;
    target.style.height = `${picture.height / dpr()}px`;
  }
  target.getContext('2d')!.putImageData(new ImageData(picture.data as Uint8ClampedArray<ArrayBuffer>, picture.width, picture.height), 0, 0);
  if (target === preview.canvas) {
    const o = preview.overlay;
    o.width = picture.width;
    o.height = picture.height;
    o.style.width = target.style.width;
    o.style.height = target.style.height;
  }
}

/** Shows (or, with null, takes away) the highlight over the preview. */
export function setHighlight(h: Highlight | null): void {
  preview.highlight = h;
  paintHighlight();
}

/** The drawer a press selected (null: none): its outline stays on the preview. */
export function setSelection(drawer: Drawer | null): void {
  preview.selection = drawer;
  void outlineSelection().then(paintHighlight);
}

async function outlineSelection(): Promise<void> {
  const s = preview.selection;
  const mask = s ? await engine.mask(app.screen, renderZoom(), s) : null;
  preview.selectionBounds = mask && mask.bounds.right >= mask.bounds.left ? mask.bounds : null;
}

function paintHighlight(): void {
  const overlay = preview.overlay;
  const ctx = overlay.getContext('2d')!;
  ctx.clearRect(0, 0, overlay.width, overlay.height);
  const z = renderZoom();
  const sb = preview.selectionBounds;
  if (sb) {
    // The selection: a steady outline, under the hover's dashed one.
    ctx.setLineDash([]);
    ctx.lineWidth = 2;
    ctx.strokeStyle = '#2b5fb8';
    ctx.strokeRect(sb.left * z + 1, sb.top * z + 1, (sb.right - sb.left + 1) * z - 2, (sb.bottom - sb.top + 1) * z - 2);
  }
  const h = preview.highlight;
  if (!h) return;
  if (h.mask) {
    // The pixels themselves, tinted: a colour field's text stays readable.
    const image = ctx.createImageData(overlay.width, overlay.height);
    for (let i = 0; i < h.mask.length && i * 4 < image.data.length; ++i) {
      if (h.mask[i]) image.data.set([255, 0, 200, 110], i * 4);
    }
    ctx.putImageData(image, 0, 0);
  }
  const b = h.bounds;
  if (b.right >= b.left) {
    ctx.setLineDash([4, 3]);
    ctx.lineWidth = 1;
    ctx.strokeStyle = '#ff00c8';
    ctx.strokeRect(b.left * z + 0.5, b.top * z + 0.5, (b.right - b.left + 1) * z - 1, (b.bottom - b.top + 1) * z - 1);
  }
}

/** What a colour field, a picture or an element draws, highlighted: a colour by its pixels, anything by its bounds. */
export async function highlightDrawer(drawer: Parameters<typeof engine.mask>[2]): Promise<void> {
  const mask = await engine.mask(app.screen, renderZoom(), drawer);
  setHighlight(mask ? { bounds: mask.bounds, mask: drawer.kind === 'colour' ? mask.data : undefined } : null);
}

/** The pixels of one 15-bit colour in the preview shown now (the palette's hover). */
export function highlightColour(rgb: Rgb | null): void {
  const p = preview.lastPicture;
  if (!rgb || !p) return setHighlight(null);
  const d = p.data;
  const mask = new Uint8Array(d.length / 4);
  let count = 0, left = p.width, top = p.height, right = -1, bottom = -1;
  for (let i = 0; i < mask.length; ++i) {
    if (d[i * 4] === rgb[0] && d[i * 4 + 1] === rgb[1] && d[i * 4 + 2] === rgb[2]) {
      mask[i] = 255;
      ++count;
      const x = i % p.width, y = Math.floor(i / p.width);
      left = Math.min(left, x); right = Math.max(right, x); top = Math.min(top, y); bottom = Math.max(bottom, y);
    }
  }
  const z = renderZoom();
  setHighlight({ mask, bounds: { count, left: left / z, top: top / z, right: right < 0 ? -1 : (right + 1) / z - 1, bottom: (bottom + 1) / z - 1 } });
}

export async function setScreen(s: number): Promise<void> {
  update({ screen: (s + kScreens) % kScreens }, 'screen');
  setHighlight(null);
  await draw();
}

export function setZoom(z: number, redraw = true): void {
  update({ zoom: z }, 'view');
  setHighlight(null);
  if (redraw) void draw();
}

/** The zoom moved by `steps` (negative: out), by the engine's rule: 0.15 a step, or whole numbers. */
export async function stepZoom(steps: number): Promise<void> {
  if (steps !== 0) setZoom(await engine.zoomStep(app.zoom, steps, app.wholeZoom));
}

/** The largest zoom at which the preview (and the saved skin beside it) fits its room. */
export async function zoomToFit(redraw = true): Promise<void> {
  const across = app.compare !== 'off' ? 2 : 1;
  const w = (preview.viewport.clientWidth - 8) / across, h = preview.viewport.clientHeight - 8;
  setZoom(await engine.zoomToFit(w, h, app.wholeZoom), redraw);
}

export async function setWholeZoom(on: boolean): Promise<void> {
  update({ wholeZoom: on }, 'view');
  localStorage.setItem('skin-editor-whole-zoom', on ? '1' : '');
  if (on) setZoom(await engine.wholeZoom(app.zoom));
}

/** The preview's background (outside the two screens), remembered. */
export function setBackground(rgb: Rgb): void {
  update({ background: rgb }, 'view');
  localStorage.setItem('skin-editor-background', JSON.stringify(rgb));
  void draw();
}

// The wheel and the touchpad over the preview zoom it, as on the desktop;
// a pinch on a touchpad (the browser sends it as the wheel with Ctrl) too.
export function wireZoomGestures(): void {
  preview.viewport.addEventListener('wheel', (e) => {
    e.preventDefault();
    // A notch is 120; a line of the wheel 40; the page's pixels as they come, a pinch faster.
    const unit = e.deltaMode === 1 ? 40 : e.deltaMode === 2 ? 800 : e.ctrlKey ? 6 : 1.2;
    void engine.wheel(-e.deltaY * unit).then(stepZoom);
  }, { passive: false });
  // Two fingers on a touch screen: the zoom follows their distance.
  const touches = new Map<number, { x: number; y: number }>();
  let pinch: { distance: number; zoom: number } | null = null;
  const distance = () => {
    const [a, b] = [...touches.values()];
    return Math.hypot(a.x - b.x, a.y - b.y);
  };
  preview.viewport.addEventListener('pointerdown', (e) => {
    if (e.pointerType !== 'touch') return;
    touches.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (touches.size === 2) pinch = { distance: distance(), zoom: app.zoom };
  });
  preview.viewport.addEventListener('pointermove', (e) => {
    if (!touches.has(e.pointerId)) return;
    touches.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (pinch && touches.size === 2 && pinch.distance > 0) {
      const z = Math.max(1, Math.min(5, (pinch.zoom * distance()) / pinch.distance));
      setZoom(app.wholeZoom ? Math.round(z) : z);
    }
  });
  const lift = (e: PointerEvent) => {
    touches.delete(e.pointerId);
    if (touches.size < 2) pinch = null;
  };
  preview.viewport.addEventListener('pointerup', lift);
  preview.viewport.addEventListener('pointercancel', lift);
}

export function setFilter(f: Filter): void {
  update({ filter: f }, 'view');
  void draw();
}

/** What the preview shows beside the skin: the skin as saved, another skin (named `label`), or nothing. */
export function setCompare(compare: 'off' | 'saved' | 'other', label = ''): void {
  update({ compare, compareLabel: label, swapped: false }, 'view');
  void draw();
}

function compareCaption(): string {
  return app.compare === 'other' ? app.compareLabel : t('LANG_COMPARE_SAVED$');
}

// Space held over the preview while comparing swaps the two, and does
// nothing else (no focused button is pressed, no menu opens).
export function wireCompareSwap(): void {
  window.addEventListener('keydown', (e) => {
    if (e.key !== ' ' || app.compare === 'off' || document.querySelector('dialog[open]')) return;
    if (e.target !== preview.canvas && !preview.canvas.matches(':hover')) return;
    e.preventDefault();
    e.stopPropagation();
    if (e.repeat || app.swapped) return;
    update({ swapped: true });
    void draw();
  }, true);
  window.addEventListener('keyup', (e) => {
    if (e.key !== ' ' || !app.swapped) return;
    e.preventDefault();
    e.stopPropagation();
    update({ swapped: false });
    void draw();
  }, true);
}

on('view', () => {
  if (!preview.savedFigure) return;
  preview.savedFigure.hidden = app.compare === 'off';
  preview.savedFigure.querySelector('figcaption')!.textContent = compareCaption();
  preview.savedCanvas.setAttribute('aria-label', compareCaption());
});
