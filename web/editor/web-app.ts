// The editor as an installed web app: its service worker and the update
// offer (app-update.ts), and the files the system hands it: a .zip opened
// with the installed editor from the file manager (the manifest's
// file_handlers) comes through the launch queue and opens as an archive
// whose handle is kept, so that Save writes back into it.
import './test-hook';
import { registerUpdates } from './app-update';
import { command } from './context';
import { openArchiveHandle } from './io/open';

interface LaunchParams {
  files: readonly FileSystemHandle[];
}
type LaunchQueue = { setConsumer(consumer: (params: LaunchParams) => void): void };

/** Called once the editor has started (and offered what a crash left behind). */
export function startWebApp(): void {
  registerUpdates();
  const queue = (window as unknown as { launchQueue?: LaunchQueue }).launchQueue;
  // The editor holds one skin: of several files, the first archive.
  queue?.setConsumer((params) => {
    const file = params.files.find((f): f is FileSystemFileHandle => f.kind === 'file');
    if (file) void command(() => openArchiveHandle(file));
  });
}
