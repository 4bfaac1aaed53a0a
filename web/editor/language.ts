// The language of the page: the desktop's language files, fetched from the
// site once (after that the page needs no network). At the first start the
// browser's language picks one; after that the one chosen in the menu. A
// file that cannot be read leaves the built-in English in force, with a
// message, and is forgotten as the choice, so the next start is not stopped
// by it again.
import { app, engine, status, t, update } from './context';

const kLanguageKey = 'skin-editor-language';
// The browser's languages that pick a language file at the first start.
const kBrowserLanguages: [RegExp, string][] = [
  [/^zh-(tw|hk|mo|hant)/i, 't_chinese.ini'], [/^zh/i, 's_chinese.ini'], [/^es/i, 'spanish.ini'], [/^fr/i, 'francais.ini'],
  [/^de/i, 'german.ini'], [/^pt/i, 'pbrasil.ini'], [/^it/i, 'italiano.ini'], [/^ja/i, 'japanese.ini'],
];
const kHtmlLanguage: Record<string, string> = {
  't_chinese.ini': 'zh-TW', 's_chinese.ini': 'zh-CN', 'spanish.ini': 'es', 'francais.ini': 'fr', 'german.ini': 'de',
  'pbrasil.ini': 'pt-BR', 'italiano.ini': 'it', 'japanese.ini': 'ja',
};

const languageFiles = new Map<string, Promise<Uint8Array>>();
function languageBytes(file: string): Promise<Uint8Array> {
  let bytes = languageFiles.get(file);
  if (!bytes) {
    bytes = fetch(new URL(`language/${file}`, document.baseURI)).then(async (response) => {
      if (!response.ok) throw new Error(`${response.status}`);
      return new Uint8Array(await response.arrayBuffer());
    });
    bytes.catch(() => languageFiles.delete(file));
    languageFiles.set(file, bytes);
  }
  return bytes;
}

/** Fetches every language file now, so that the page can change language without the network later. */
export function prefetchLanguages(): void {
  for (const l of app.languages) if (l.file) void languageBytes(l.file).catch(() => {});
}

/** The language to start in: the one chosen before, else the browser's, else English (null). */
export function firstLanguage(): string | null {
  const stored = localStorage.getItem(kLanguageKey);
  if (stored !== null) return stored === '' ? null : stored;
  for (const l of navigator.languages ?? [navigator.language]) {
    if (/^en/i.test(l)) return null;
    const found = kBrowserLanguages.find(([pattern]) => pattern.test(l));
    if (found) return found[1];
  }
  return null;
}

/** Takes a language file (null: the built-in English); false, with a message, when it cannot be read. */
export async function setLanguage(file: string | null): Promise<boolean> {
  let bytes: Uint8Array | null = null;
  if (file) {
    try {
      bytes = (await languageBytes(file)).slice();
    } catch {
      // A choice that cannot be read is not kept: the next start is not stopped by it.
      if (localStorage.getItem(kLanguageKey) === file) localStorage.removeItem(kLanguageKey);
      status(t('LANG_STATUS_LANGUAGE_MISSING$', file, 'language/'));
      return false;
    }
  }
  await engine.setLanguage(bytes);
  const texts = await engine.texts();
  update({ texts, languageFile: file });
  localStorage.setItem(kLanguageKey, file ?? '');
  document.documentElement.lang = file ? kHtmlLanguage[file] ?? 'en' : 'en';
  return true;
}
