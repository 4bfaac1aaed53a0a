export function encodePng(rgba: Uint8Array, width: number, height: number): Uint8Array;
