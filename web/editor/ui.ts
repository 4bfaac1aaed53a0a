// The page's building blocks on the platform's own elements: a menu bar
// that works by keyboard as a desktop's does, modal dialogs on <dialog>,
// and the language table's texts.

export type Texts = Record<string, string>;

/** A text of the language table with %1, %2... filled in; "&" marks a mnemonic on the desktop and is dropped here. */
export function fill(template: string, args: (string | number)[] = []): string {
  return template
    .replace(/&(.)/g, '$1')
    .replace(/%(\d)/g, (whole, n: string) => (Number(n) >= 1 && Number(n) <= args.length ? String(args[Number(n) - 1]) : whole));
}

type Child = Node | string | null | undefined | false;

/** An element with attributes (on* as listeners) and children. */
export function el<K extends keyof HTMLElementTagNameMap>(
  tag: K,
  attrs: Record<string, unknown> = {},
  ...children: Child[]
): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) {
    if (v === undefined || v === null || v === false) continue;
    if (k.startsWith('on') && typeof v === 'function') e.addEventListener(k.slice(2), v as EventListener);
    else if (k === 'class') e.className = String(v);
    else if (k in e && typeof v !== 'string') (e as unknown as Record<string, unknown>)[k] = v;
    else e.setAttribute(k, v === true ? '' : String(v));
  }
  for (const c of children) if (c !== null && c !== undefined && c !== false) e.append(c);
  return e;
}

export interface MenuItem {
  label: string;
  run?: () => void;
  disabled?: boolean;
  /** A tick (checkbox) or a choice among several (radio); absent for a plain command. */
  checked?: boolean;
  radio?: boolean;
  /** As the keyboard gives it, shown beside the entry: "Ctrl+S". */
  keys?: string;
  title?: string;
  /** A heading over the entries that follow (a desktop submenu's title). */
  heading?: boolean;
  /** The label split around its mnemonic letter (Alt+letter on the bar, the letter in an open menu). */
  mnemonic?: { before: string; letter: string; after: string };
}

export type MenuEntry = MenuItem | '-';

/** A label with its mnemonic letter underlined. */
function labelled(text: string, m?: MenuItem['mnemonic']): Child[] {
  if (!m || !m.letter) return [text];
  return [m.before, el('u', {}, m.letter), m.after];
}

/**
 * A menu bar: each menu's entries are built when it opens, so that they show the editor's state
 * as it is then. Tab reaches the bar; Enter, Space or Down opens a menu; Alt and a menu's letter
 * opens it; in an open menu arrows move, an entry's letter takes it, and Escape closes it (and
 * gives the focus back), however it was opened.
 */
export class MenuBar {
  readonly element: HTMLElement;
  private open: { button: HTMLButtonElement; list: HTMLElement; items: { item: HTMLButtonElement; letter: string }[] } | null = null;
  private buttons: { button: HTMLButtonElement; letter: string; entries: () => Promise<MenuEntry[]> }[] = [];
  private opening = 0;

  constructor() {
    this.element = el('nav', { class: 'menubar', role: 'menubar' });
    document.addEventListener('pointerdown', (e) => {
      if (this.open && !this.element.contains(e.target as Node)) this.close(false);
    });
    document.addEventListener('keydown', (e) => {
      if (e.key === 'Escape' && this.open) {
        e.preventDefault();
        e.stopPropagation();
        this.close(true);
        return;
      }
      if (e.altKey && !e.ctrlKey && !e.metaKey && e.key.length === 1 && !document.querySelector('dialog[open]')) {
        const found = this.buttons.find((b) => b.letter && b.letter === e.key.toUpperCase());
        if (found) {
          e.preventDefault();
          void this.show(found.button, found.entries, true);
        }
      }
    }, true);
  }

  add(title: string, entries: () => Promise<MenuEntry[]> | MenuEntry[], mnemonic?: MenuItem['mnemonic']): HTMLButtonElement {
    const button = el('button', { class: 'menu-title', type: 'button', role: 'menuitem', 'aria-haspopup': 'menu', 'aria-expanded': 'false', 'aria-label': title },
      ...labelled(title, mnemonic));
    const list = async () => entries();
    button.addEventListener('click', () => (this.open?.button === button ? this.close(true) : void this.show(button, list, false)));
    button.addEventListener('keydown', (e) => {
      const at = this.buttons.findIndex((b) => b.button === button);
      if (e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') {
        e.preventDefault();
        void this.show(button, list, true);
      } else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
        e.preventDefault();
        this.buttons[(at + (e.key === 'ArrowRight' ? 1 : this.buttons.length - 1)) % this.buttons.length].button.focus();
      }
    });
    button.addEventListener('pointerenter', () => {
      if (this.open && this.open.button !== button) void this.show(button, list, false);
    });
    this.buttons.push({ button, letter: mnemonic?.letter.toUpperCase() ?? '', entries: list });
    this.element.append(el('div', { class: 'menu' }, button));
    return button;
  }

  close(focusTitle: boolean): void {
    ++this.opening;
    if (!this.open) return;
    const { button, list } = this.open;
    list.remove();
    button.setAttribute('aria-expanded', 'false');
    this.open = null;
    if (focusTitle) button.focus();
  }

  private async show(button: HTMLButtonElement, entries: () => Promise<MenuEntry[]>, focusFirst: boolean): Promise<void> {
    this.close(false);
    const mine = ++this.opening;
    const all = await entries();
    // Another menu was asked for, or this one closed, while the entries were being made.
    if (mine !== this.opening) return;
    const list = el('div', { class: 'menu-list', role: 'menu', 'aria-label': button.getAttribute('aria-label') ?? '' });
    const items: { item: HTMLButtonElement; letter: string }[] = [];
    for (const entry of all) {
      if (entry === '-') {
        list.append(el('div', { class: 'separator', role: 'separator' }));
        continue;
      }
      if (entry.heading) {
        list.append(el('div', { class: 'menu-heading', role: 'presentation' }, entry.label));
        continue;
      }
      const role = entry.checked === undefined ? 'menuitem' : entry.radio ? 'menuitemradio' : 'menuitemcheckbox';
      const item = el(
        'button',
        {
          type: 'button',
          role,
          class: 'menu-item',
          'aria-label': entry.label,
          'aria-checked': entry.checked === undefined ? undefined : String(entry.checked),
          'aria-disabled': entry.disabled ? 'true' : undefined,
          'aria-keyshortcuts': entry.keys ? entry.keys.replace(/Ctrl/g, 'Control') : undefined,
          title: entry.title,
          tabindex: '-1',
        },
        el('span', { class: 'tick', 'aria-hidden': 'true' }, entry.checked ? (entry.radio ? '●' : '✓') : ''),
        el('span', { class: 'label' }, ...labelled(entry.label, entry.mnemonic)),
        entry.keys ? el('span', { class: 'keys', 'aria-hidden': 'true' }, entry.keys) : null,
      );
      item.addEventListener('click', () => {
        if (entry.disabled) return;
        this.close(true);
        entry.run?.();
      });
      items.push({ item, letter: entry.mnemonic?.letter.toUpperCase() ?? '' });
      list.append(item);
    }
    list.addEventListener('keydown', (e) => {
      const at = items.findIndex((i) => i.item === document.activeElement);
      const move = (to: number) => {
        e.preventDefault();
        items[(to + items.length) % items.length]?.item.focus();
      };
      const byLetter = !e.ctrlKey && !e.metaKey && e.key.length === 1 ? items.find((i) => i.letter && i.letter === e.key.toUpperCase()) : undefined;
      if ((e.key === 'Enter' && at >= 0) || byLetter) {
        // Taken once the key is handled: a file chooser opened inside
        // Enter's own handling is not shown by every browser.
        e.preventDefault();
        const item = byLetter?.item ?? items[at].item;
        setTimeout(() => item.click(), 0);
      } else if (e.key === 'ArrowDown') move(at + 1);
      else if (e.key === 'ArrowUp') move(at - 1);
      else if (e.key === 'Home') move(0);
      else if (e.key === 'End') move(items.length - 1);
      else if (e.key === 'Tab') this.close(false);
      else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
        e.preventDefault();
        const b = this.buttons.findIndex((x) => x.button === button);
        const next = this.buttons[(b + (e.key === 'ArrowRight' ? 1 : this.buttons.length - 1)) % this.buttons.length];
        void this.show(next.button, next.entries, true);
      }
    });
    button.parentElement!.append(list);
    button.setAttribute('aria-expanded', 'true');
    this.open = { button, list, items };
    if (focusFirst) items[0]?.item.focus();
  }
}

export interface Choice<T> {
  label: string;
  value: T;
  default?: boolean;
  title?: string;
}

/** A modal question; resolves to the choice taken, or `dismissed` when Escape closes it. */
export function ask<T>(title: string, body: Node | string, choices: Choice<T>[], dismissed: T): Promise<T> {
  return new Promise((resolve) => {
    const buttons = choices.map((c) =>
      el('button', { type: 'button', class: c.default ? 'default' : undefined, title: c.title, onclick: () => done(c.value) }, c.label),
    );
    const dialog = el(
      'dialog',
      { class: 'ask', 'aria-label': title },
      el('h2', {}, title),
      typeof body === 'string' ? el('p', {}, body) : body,
      el('div', { class: 'buttons' }, ...buttons),
    );
    const previous = document.activeElement as HTMLElement | null;
    const done = (value: T) => {
      dialog.close();
      dialog.remove();
      previous?.focus?.();
      resolve(value);
    };
    dialog.addEventListener('cancel', (e) => {
      e.preventDefault();
      done(dismissed);
    });
    document.body.append(dialog);
    dialog.showModal();
    (buttons[choices.findIndex((c) => c.default)] ?? buttons[0])?.focus();
  });
}

/** A message with its details: the first lines shown, every line behind "... and N more". */
export function messageBody(lines: string[], more: (n: number) => string, shown = 6): HTMLElement {
  const body = el('div', { class: 'message' });
  for (const line of lines.slice(0, shown)) body.append(el('p', {}, line));
  if (lines.length > shown) {
    body.append(el('details', {}, el('summary', {}, more(lines.length - shown)), el('pre', {}, lines.join('\n'))));
  }
  return body;
}

/** A context menu at (x, y) of the window: arrows move, Enter takes, Escape or a click elsewhere closes. */
export function contextMenu(x: number, y: number, entries: MenuItem[], returnFocus?: HTMLElement): void {
  document.querySelector('.context-menu')?.remove();
  const list = el('div', { class: 'menu-list context-menu', role: 'menu', style: `left:${x}px;top:${y}px;position:fixed` });
  const items = entries.map((entry) => {
    const item = el('button', { type: 'button', role: 'menuitem', class: 'menu-item', tabindex: '-1', 'aria-disabled': entry.disabled ? 'true' : undefined },
      el('span', { class: 'tick', 'aria-hidden': 'true' }), el('span', { class: 'label' }, entry.label));
    item.addEventListener('click', () => {
      if (entry.disabled) return;
      close();
      entry.run?.();
    });
    list.append(item);
    return item;
  });
  const outside = (e: PointerEvent) => {
    if (!list.contains(e.target as Node)) close();
  };
  const close = () => {
    list.remove();
    document.removeEventListener('pointerdown', outside, true);
    returnFocus?.focus();
  };
  list.addEventListener('keydown', (e) => {
    const at = items.indexOf(document.activeElement as HTMLButtonElement);
    if (e.key === 'Escape') {
      e.preventDefault();
      e.stopPropagation();
      close();
    } else if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
      e.preventDefault();
      items[(at + (e.key === 'ArrowDown' ? 1 : items.length - 1)) % items.length]?.focus();
    } else if (e.key === 'Enter' && at >= 0) {
      e.preventDefault();
      items[at].click();
    } else if (e.key === 'Tab') close();
  });
  document.addEventListener('pointerdown', outside, true);
  document.body.append(list);
  // Kept inside the window.
  const r = list.getBoundingClientRect();
  if (r.right > innerWidth) list.style.left = `${Math.max(0, innerWidth - r.width - 4)}px`;
  if (r.bottom > innerHeight) list.style.top = `${Math.max(0, innerHeight - r.height - 4)}px`;
  items[0]?.focus();
}

/** A finger held still on `target` for half a second: its context menu, as a tablet gives it. */
export function onLongPress(target: HTMLElement, f: (x: number, y: number) => void): void {
  let timer: ReturnType<typeof setTimeout> | null = null;
  let start = { x: 0, y: 0 };
  const cancel = () => {
    if (timer) clearTimeout(timer);
    timer = null;
  };
  target.addEventListener('pointerdown', (e) => {
    if (e.pointerType !== 'touch') return;
    start = { x: e.clientX, y: e.clientY };
    cancel();
    timer = setTimeout(() => {
      timer = null;
      f(start.x, start.y);
    }, 500);
  });
  target.addEventListener('pointermove', (e) => {
    if (timer && Math.hypot(e.clientX - start.x, e.clientY - start.y) > 10) cancel();
  });
  target.addEventListener('pointerup', cancel);
  target.addEventListener('pointercancel', cancel);
}
