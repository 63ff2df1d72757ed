// node pixels.mjs FILE.png...: prints, per file, the SHA-256 of its decoded 8-bit RGB pixels and
// its name, so that pictures compressed differently compare by what they show.
import {createHash} from 'node:crypto';
import {readFileSync} from 'node:fs';
import {inflateSync} from 'node:zlib';

function pixels(path) {
  const data = readFileSync(path);
  if (data.toString('latin1', 1, 4) !== 'PNG') throw new Error(`${path}: not a PNG file`);
  let at = 8, width = 0, height = 0;
  const idat = [];
  while (at < data.length) {
    const length = data.readUInt32BE(at);
    const kind = data.toString('latin1', at + 4, at + 8);
    const body = data.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[9] !== 2 || body[12] !== 0) throw new Error(`${path}: not 8-bit RGB`);
    } else if (kind === 'IDAT') {
      idat.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(idat));
  const stride = width * 3, out = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)], line = y * (stride + 1) + 1, row = y * stride;
    for (let i = 0; i < stride; ++i) {
      const a = i >= 3 ? out[row + i - 3] : 0, b = y ? out[row - stride + i] : 0;
      const c = i >= 3 && y ? out[row - stride + i - 3] : 0;
      let v = raw[line + i];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      } else if (filter !== 0) throw new Error(`${path}: unknown filter ${filter}`);
      out[row + i] = v & 255;
    }
  }
  return Buffer.concat([Buffer.from(`${width}x${height}:`), out]);
}

for (const path of process.argv.slice(2)) {
  console.log(`${createHash('sha256').update(pixels(path)).digest('hex')} ${path}`);
}
