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
  const { width, height } = bitmap;
  const rgba = pixelsThroughWebGl(bitmap) ?? pixelsThroughCanvas(bitmap);
  bitmap.close();
  return { rgba, width, height };
}

// WebGL hands over the bytes as decoded; a 2D canvas keeps colours
// premultiplied by alpha, which changes translucent ones by a step or so.
// Null where the browser offers no WebGL 2 or the picture exceeds its
// textures.
function pixelsThroughWebGl(bitmap) {
  const canvas = new OffscreenCanvas(1, 1);
  const gl = canvas.getContext('webgl2', { premultipliedAlpha: false });
  if (!gl) return null;
  try {
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
    const framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
    if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) !== gl.FRAMEBUFFER_COMPLETE) return null;
    // Row 0 of the texture is the picture's top row, and readPixels starts there.
    const rgba = new Uint8ClampedArray(4 * bitmap.width * bitmap.height);
    gl.readPixels(0, 0, bitmap.width, bitmap.height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    return gl.getError() === gl.NO_ERROR ? rgba : null;
  } finally {
    gl.getExtension('WEBGL_lose_context')?.loseContext();
  }
}

// Exact for opaque pixels.
function pixelsThroughCanvas(bitmap) {
  const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
  const context = canvas.getContext('2d', { colorSpace: 'srgb' });
  context.drawImage(bitmap, 0, 0);
  return context.getImageData(0, 0, canvas.width, canvas.height).data;
}
