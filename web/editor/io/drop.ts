// Drop: a skin folder or archive on the page opens it; a picture file on its
// button, or on the picture in the preview, replaces that picture.
import { app, command, engine, status, t } from '../context';
import * as files from '../files';
import { canvasPoint } from '../views/preview-input';
import { preview } from '../views/preview';
import { importInto } from './import';
import { confirmLeave, openArchiveFile, openFolderFiles, openFolderHandle } from './open';

export function wireDrop(): void {
  let depth = 0;
  const hint = (shown: boolean) => {
    const zone = document.getElementById('drop-hint');
    if (zone) zone.hidden = !shown;
  };
  document.addEventListener('dragenter', (e) => {
    if (!e.dataTransfer?.types.includes('Files')) return;
    ++depth;
    hint(true);
  });
  document.addEventListener('dragleave', () => {
    if (--depth <= 0) {
      depth = 0;
      hint(false);
    }
  });
  document.addEventListener('dragover', (e) => {
    if (e.dataTransfer?.types.includes('Files')) e.preventDefault();
  });
  document.addEventListener('drop', (e) => {
    depth = 0;
    hint(false);
    const data = e.dataTransfer;
    if (!data) return;
    e.preventDefault();
    const item = data.items[0];
    const file = data.files[0] ?? null;
    // Asked for while the drop lasts: the browser forgets them after.
    const handle = (item as unknown as { getAsFileSystemHandle?(): Promise<FileSystemHandle | null> })?.getAsFileSystemHandle?.() ?? null;
    const entry = item?.webkitGetAsEntry?.() ?? null;
    const onButton = (e.target as HTMLElement).closest?.('[data-picture]') as HTMLButtonElement | null;
    const point = e.target === preview.canvas ? canvasPoint(e) : null;
    void command(async () => {
      const h = handle ? await handle.catch(() => null) : null;
      if (h?.kind === 'directory') return openFolderHandle(h as FileSystemDirectoryHandle);
      if (entry?.isDirectory) {
        if (!(await confirmLeave())) return;
        return openFolderFiles(entry.name, () => files.readFolderEntry(entry as FileSystemDirectoryEntry), null);
      }
      if (!file) return;
      if (/\.zip$/i.test(file.name)) return openArchiveFile(file);
      if (onButton && !onButton.disabled) return importInto(onButton.dataset.picture!, file);
      if (point) {
        const trace = await engine.trace(app.screen, app.zoom, point.x, point.y);
        if (trace?.source?.kind === 'picture') return importInto(trace.source.name, file);
        status(t('LANG_STATUS_DROP_NO_PICTURE$'));
      }
    });
  });
}
