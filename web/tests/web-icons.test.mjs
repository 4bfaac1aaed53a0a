// The web app's icons (tools/make-web-icons.mjs): scaling down averages the
// area each new pixel covers, weighted by alpha; scaling up interpolates.
// Expected values worked out by hand.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { scale } from '../../tools/make-web-icons.mjs';

const picture = (width, pixels) => ({ width, height: pixels.length / width, data: new Uint8ClampedArray(pixels.flat()) });
const grey = (v) => [v, v, v, 255];

test('scaling keeps the colour of what is seen, and averages what each pixel covers', () => {
  const cases = [
    // [what, source, size, expected pixels]
    ['transparent pixels lend no colour, only their alpha', picture(2, [[255, 0, 0, 255], [0, 0, 255, 0], [0, 0, 255, 0], [0, 0, 255, 0]]), 1,
      [[255, 0, 0, 64]]],
    ['black and white average to the middle, rounded up', picture(2, [grey(0), grey(255), grey(0), grey(255)]), 1, [grey(128)]],
    // 4 columns to 3: the first new pixel covers column 0 whole and a third of column 1: (0 + 30 / 3) / (4 / 3) = 7.5.
    ['a size that does not divide weighs the pixels cut in part', picture(4, Array.from({ length: 16 }, (_, i) => grey(30 * (i % 4)))), 3,
      Array.from({ length: 9 }, (_, i) => grey([8, 45, 83][i % 3]))],
    ['one pixel made larger stays that pixel', picture(1, [[10, 20, 30, 200]]), 2, Array(4).fill([10, 20, 30, 200])],
    // 2 columns to 4: centres at 0.25, 0.75, 1.25, 1.75 of the source: 0, 0.25, 0.75, 1 between 0 and 200.
    ['larger sizes interpolate between neighbours', picture(2, [grey(0), grey(200), grey(0), grey(200)]), 4,
      Array.from({ length: 16 }, (_, i) => grey([0, 50, 150, 200][i % 4]))],
  ];
  for (const [what, source, size, expected] of cases) {
    const out = scale(source, size);
    assert.equal(`${out.width} x ${out.height}`, `${size} x ${size}`, what);
    assert.deepEqual(Array.from(out.data), expected.flat(), what);
  }
});
