// The editor's service worker (sw.js beside the page): it keeps every file
// of the site, so that the editor opens without any network once it has
// been opened, and installs a new version in the background.
//
// The build names the cache after a hash of the site's files (__BUILD__)
// and gives the list of them (__SITE_FILES__): a changed file makes a new
// sw.js, which the browser fetches when the page opens, caches every file
// of the new version under the new name and then waits. The page offers
// "Reload to update" (app-update.ts) and, only when the user takes it,
// tells the waiting worker to take over; the old version's cache goes then.
// A page is never swapped to a new version under its feet.
declare const __BUILD__: string;
declare const __SITE_FILES__: string[];

// The service worker's own scope, typed here for the little it uses (the
// page's DOM types are those of this project).
type Extendable = Event & { waitUntil(p: Promise<unknown>): void };
type Fetching = Extendable & { request: Request; respondWith(r: Promise<Response>): void };
interface WorkerScope {
  location: Location;
  registration: { scope: string };
  clients: { claim(): Promise<void> };
  skipWaiting(): Promise<void>;
  addEventListener(type: 'install' | 'activate', f: (e: Extendable) => void): void;
  addEventListener(type: 'fetch', f: (e: Fetching) => void): void;
  addEventListener(type: 'message', f: (e: MessageEvent) => void): void;
}
const sw = self as unknown as WorkerScope;

const kPrefix = 'skin-editor-';
const kCache = `${kPrefix}${__BUILD__}`;
const kFiles = new Set(__SITE_FILES__);
const scope = new URL(sw.registration.scope);

/** The site's file a request names (the scope itself is the page), or null for anything else. */
function siteFile(url: URL): string | null {
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return null;
  let path: string;
  try {
    path = decodeURIComponent(url.pathname.slice(scope.pathname.length));
  } catch {
    return null;
  }
  if (path === '') path = 'index.html';
  return kFiles.has(path) ? path : null;
}

sw.addEventListener('install', (event) => {
  // Every file fresh from the server (not the browser's HTTP cache), all or none.
  event.waitUntil(caches.open(kCache).then((cache) =>
    cache.addAll([...kFiles].map((f) => new Request(new URL(f, scope), { cache: 'reload' })))));
});

sw.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(kPrefix) && name !== kCache) await caches.delete(name);
    }
    // The page that installed the first version works offline from now on.
    await sw.clients.claim();
  })());
});

sw.addEventListener('message', (event) => {
  if (event.data === 'skip-waiting') void sw.skipWaiting();
});

sw.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const file = siteFile(new URL(request.url));
  // Anything else (a language file the site does not have, say) goes to the network as always.
  if (!file) return;
  event.respondWith((async () => {
    const cache = await caches.open(kCache);
    const kept = await cache.match(new URL(file, scope).href);
    return kept ?? fetch(request);
  })());
});
