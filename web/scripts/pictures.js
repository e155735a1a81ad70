// Reading what the user opens: a VEXO file by its magic, or a picture
// decoded by the browser itself into 8-bit RGBA, exactly as stored (no
// colour management, no premultiplied alpha), as `vexo encode` reads it.

export function isVexoFile(bytes) {
  return bytes.length >= 4 && String.fromCharCode(...bytes.subarray(0, 4)) === 'VEXO';
}

// Whether the picture was stored with 8-bit red, green and blue, which the
// header's depth flag records as `vexo encode` does: a PNG of 8 or 16 bits
// in colour, a JPEG of three components; other formats count as colour.
export function isTrueColourSource(bytes) {
  if (startsWith(bytes, [0x89, 0x50, 0x4e, 0x47])) return isTrueColourPng(bytes);
  if (startsWith(bytes, [0xff, 0xd8])) return jpegComponents(bytes) >= 3;
  return true;
}

function startsWith(bytes, prefix) {
  return prefix.every((value, i) => bytes[i] === value);
}

// IHDR is the first chunk: bit depth at byte 24, colour type at 25.
function isTrueColourPng(bytes) {
  const bitDepth = bytes[24];
  const colourType = bytes[25];
  return bitDepth >= 8 && (colourType === 2 || colourType === 6);
}

// The component count of the first start-of-frame marker, or 0.
function jpegComponents(bytes) {
  let at = 2;
  while (at + 9 < bytes.length && bytes[at] === 0xff) {
    const marker = bytes[at + 1];
    const length = (bytes[at + 2] << 8) | bytes[at + 3];
    const isStartOfFrame = marker >= 0xc0 && marker <= 0xcf &&
      marker !== 0xc4 && marker !== 0xc8 && marker !== 0xcc;
    if (isStartOfFrame) return bytes[at + 9];
    at += 2 + length;
  }
  return 0;
}

// The picture's RGBA pixels, or null when the browser cannot read it.
export async function readPicture(bytes, type) {
  let bitmap;
  try {
    bitmap = await createImageBitmap(new Blob([bytes], { type }), {
      colorSpaceConversion: 'none',
      premultiplyAlpha: 'none',
    });
  } catch {
    return null;
  }
  const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
  const context = canvas.getContext('2d', { colorSpace: 'srgb' });
  context.drawImage(bitmap, 0, 0);
  bitmap.close();
  const { data } = context.getImageData(0, 0, canvas.width, canvas.height);
  return { rgba: data, width: canvas.width, height: canvas.height };
}
