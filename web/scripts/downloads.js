// The files the page offers, made in the browser and saved through the
// browser's own download.

export function saveBytes(name, bytes, type = 'application/octet-stream') {
  saveBlob(name, new Blob([bytes], { type }));
}

export function saveBlob(name, blob) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  // The download has taken the blob by the next turn.
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

// The decoder's 5-6-5 pixels, rows top to bottom, no header, each pixel
// little-endian or high byte first, as `vexo decode OUT.raw` writes them.
export function raw565(pixels565, littleEndian) {
  const bytes = new Uint8Array(2 * pixels565.length);
  const view = new DataView(bytes.buffer);
  pixels565.forEach((pixel, i) => view.setUint16(2 * i, pixel, littleEndian));
  return bytes;
}

// A PNG of the picture as shown, from a canvas that holds it 1:1.
export function pngOf(canvas) {
  return new Promise((resolve, reject) => {
    canvas.toBlob((blob) => (blob ? resolve(blob) : reject(new Error('The PNG could not be made'))),
      'image/png');
  });
}
