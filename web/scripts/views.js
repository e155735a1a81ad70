// What the page shows: pictures 1:1 and zoomed with whole pixels, the facts
// of an encode, and the viewer's statistics pane.

// Draws RGBA pixels 1:1 on `canvas`.
export function showPixels(canvas, rgba, width, height) {
  canvas.width = width;
  canvas.height = height;
  canvas.getContext('2d').putImageData(new ImageData(rgba, width, height), 0, 0);
}

// The zoomed copy: the same pixels, each shown as a square of zoom x zoom
// screen pixels (nearest neighbour, as a 5-6-5 panel's pixels look).
export function showZoomed(zoomedCanvas, sourceCanvas, zoom) {
  zoomedCanvas.width = sourceCanvas.width;
  zoomedCanvas.height = sourceCanvas.height;
  if (sourceCanvas.width > 0 && sourceCanvas.height > 0) {
    zoomedCanvas.getContext('2d').drawImage(sourceCanvas, 0, 0);
  }
  zoomedCanvas.style.width = `${sourceCanvas.width * zoom}px`;
  zoomedCanvas.style.height = `${sourceCanvas.height * zoom}px`;
}

// Scrolling one view scrolls the others to the same place, so that the
// source and the result are compared pixel by pixel.
export function scrollTogether(views) {
  let following = false;
  for (const view of views) {
    view.addEventListener('scroll', () => {
      if (following) return;
      following = true;
      for (const other of views) {
        if (other !== view) {
          other.scrollLeft = view.scrollLeft;
          other.scrollTop = view.scrollTop;
        }
      }
      requestAnimationFrame(() => { following = false; });
    });
  }
}

// Fills a <dl> with [term, description] pairs.
export function showFacts(list, facts) {
  list.replaceChildren(...facts.flatMap(([term, description]) => {
    const dt = document.createElement('dt');
    dt.textContent = term;
    const dd = document.createElement('dd');
    dd.textContent = description;
    return [dt, dd];
  }));
}

// The facts of an encode: the file's size, bits per pixel, PSNR, the path
// and quality with the family, and why they were chosen.
export function encodeFacts(result, width, height, vexoName) {
  const bytes = result.file.length;
  return [
    ['File size', `${bytes.toLocaleString('en')} bytes`],
    ['Bits per pixel', (8 * bytes / (width * height)).toFixed(3)],
    ['PSNR', `${decibels(result.psnr)} dB against the source`],
    ['Path and quality', pathAndQuality(result)],
    ['Chosen', result.reason === '' ? 'as asked' : result.reason],
    ['vexo encode says', `${vexoName}: ${result.summary}`],
  ];
}

function decibels(psnr) {
  return Number.isFinite(psnr) ? psnr.toFixed(2) : '∞';
}

function pathAndQuality({ path, quality, family }) {
  const lossless = path === 'fast' || (path === 'predictive' && quality === 0);
  const kind = lossless ? 'lossless' : 'lossy';
  return `${path}, quality ${quality}, family ${family} (${kind})`;
}

// What the header says, and what a decode on a device needs beside the file.
export function headerFacts(info) {
  return [
    ['Path', `${info.path}, family ${info.family}`],
    ['Picture on the device', `${info.outputBytes.toLocaleString('en')} bytes (16 bits a pixel)`],
    ['Workspace of vexo_decode', `${info.workspaceBytes.toLocaleString('en')} bytes`],
  ];
}

// The statistics pane of the viewer, in its words and order.
export const kStatisticsLabels = [
  ['fileName', 'File Name'],
  ['imageSize', 'Image Size'],
  ['compressionRatio', 'Comp Ratio'],
  ['decodeTime', 'Dec Time'],
  ['decodeMode', 'Decode Mode'],
  ['quantiseValue', 'Quantize Value'],
];

export function showStatistics(list, statistics) {
  showFacts(list, kStatisticsLabels.map(([key, label]) => [label, statistics[key]]));
}

export function showWarnings(list, warnings) {
  list.replaceChildren(...warnings.map((warning) => {
    const item = document.createElement('li');
    item.textContent = `Note: ${warning}`;
    return item;
  }));
}
