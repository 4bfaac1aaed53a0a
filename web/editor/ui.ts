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
}

export type MenuEntry = MenuItem | '-';

/**
 * A menu bar: each menu's entries are built when it opens, so that they show the editor's state
 * as it is then. Tab reaches the bar; Enter, Space or Down opens a menu; arrows move; Escape
 * closes and gives the focus back.
 */
export class MenuBar {
  readonly element: HTMLElement;
  private open: { button: HTMLButtonElement; list: HTMLElement } | null = null;
  private buttons: HTMLButtonElement[] = [];

  constructor(private readonly label: string) {
    this.element = el('nav', { class: 'menubar', role: 'menubar', 'aria-label': label });
    document.addEventListener('pointerdown', (e) => {
      if (this.open && !this.element.contains(e.target as Node)) this.close(false);
    });
  }

  add(title: string, entries: () => MenuEntry[], title2?: string): HTMLButtonElement {
    const button = el('button', { class: 'menu-title', type: 'button', role: 'menuitem', 'aria-haspopup': 'menu', 'aria-expanded': 'false', title: title2 }, title);
    button.addEventListener('click', () => (this.open?.button === button ? this.close(true) : this.show(button, entries, false)));
    button.addEventListener('keydown', (e) => {
      const at = this.buttons.indexOf(button);
      if (e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') {
        e.preventDefault();
        this.show(button, entries, true);
      } else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
        e.preventDefault();
        this.buttons[(at + (e.key === 'ArrowRight' ? 1 : this.buttons.length - 1)) % this.buttons.length].focus();
      }
    });
    button.addEventListener('pointerenter', () => {
      if (this.open && this.open.button !== button) this.show(button, entries, false);
    });
    this.buttons.push(button);
    this.element.append(el('div', { class: 'menu' }, button));
    return button;
  }

  close(focusTitle: boolean): void {
    if (!this.open) return;
    const { button, list } = this.open;
    list.remove();
    button.setAttribute('aria-expanded', 'false');
    this.open = null;
    if (focusTitle) button.focus();
  }

  private show(button: HTMLButtonElement, entries: () => MenuEntry[], focusFirst: boolean): void {
    this.close(false);
    const list = el('div', { class: 'menu-list', role: 'menu', 'aria-label': button.textContent ?? '' });
    const items: HTMLButtonElement[] = [];
    for (const entry of entries()) {
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
          'aria-checked': entry.checked === undefined ? undefined : String(entry.checked),
          'aria-disabled': entry.disabled ? 'true' : undefined,
          'aria-keyshortcuts': entry.keys ? entry.keys.replace(/Ctrl/g, 'Control') : undefined,
          title: entry.title,
          tabindex: '-1',
        },
        el('span', { class: 'tick', 'aria-hidden': 'true' }, entry.checked ? (entry.radio ? '●' : '✓') : ''),
        el('span', { class: 'label' }, entry.label),
        entry.keys ? el('span', { class: 'keys', 'aria-hidden': 'true' }, entry.keys) : null,
      );
      item.addEventListener('click', () => {
        if (entry.disabled) return;
        this.close(true);
        entry.run?.();
      });
      items.push(item);
      list.append(item);
    }
    list.addEventListener('keydown', (e) => {
      const at = items.indexOf(document.activeElement as HTMLButtonElement);
      const move = (to: number) => {
        e.preventDefault();
        items[(to + items.length) % items.length]?.focus();
      };
      if (e.key === 'Enter' && at >= 0) {
        // Taken once the key is handled: a file chooser opened inside
        // Enter's own handling is not shown by every browser.
        e.preventDefault();
        const item = items[at];
        setTimeout(() => item.click(), 0);
      } else if (e.key === 'ArrowDown') move(at + 1);
      else if (e.key === 'ArrowUp') move(at - 1);
      else if (e.key === 'Home') move(0);
      else if (e.key === 'End') move(items.length - 1);
      else if (e.key === 'Escape') {
        e.preventDefault();
        e.stopPropagation();
        this.close(true);
      } else if (e.key === 'Tab') this.close(false);
      else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
        e.preventDefault();
        const b = this.buttons.indexOf(button);
        const next = this.buttons[(b + (e.key === 'ArrowRight' ? 1 : this.buttons.length - 1)) % this.buttons.length];
        next.click();
        (this.open as { list: HTMLElement } | null)?.list.querySelector<HTMLButtonElement>('[role^=menuitem]')?.focus();
      }
    });
    button.parentElement!.append(list);
    button.setAttribute('aria-expanded', 'true');
    this.open = { button, list };
    if (focusFirst) items[0]?.focus();
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
