// Only where the page is loaded for the tests (?test): every error the page
// meets, kept in window.skinEditorErrors, for the browsers whose driver
// reads no console (WebKit's). Uncaught errors and rejections, files that
// failed to load, what the Content-Security-Policy refused, console.error.
if (new URLSearchParams(location.search).has('test')) {
  const errors: string[] = [];
  (window as unknown as { skinEditorErrors: string[] }).skinEditorErrors = errors;
  window.addEventListener('error', (e) => {
    const target = e.target as Element | null;
    errors.push(target && target !== (window as unknown) ? `${target.tagName} did not load: ${(target as HTMLImageElement).src ?? ''}` : `${e.message} (${e.filename}:${e.lineno})`);
  }, true);
  window.addEventListener('unhandledrejection', (e) => errors.push(`unhandled: ${String((e.reason as Error)?.stack ?? e.reason)}`));
  document.addEventListener('securitypolicyviolation', (e) => errors.push(`refused by ${e.violatedDirective}: ${e.blockedURI}`));
  const original = console.error.bind(console);
  console.error = (...args: unknown[]) => {
    errors.push(args.map(String).join(' '));
    original(...args);
  };
}
