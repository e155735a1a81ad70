// The page: open a picture or a VEXO file, encode with the options of the
// form (in a worker), show, compare and download.
import createVexo from '../vexo.js';
import { isTrueColourSource, isVexoFile, readPicture } from './pictures.js';
import { Cancelled, EncoderClient } from './encoder-client.js';
import { commandLine, optionsFromForm, stemOf, vexoNameFor } from './options.js';
import { pngOf, raw565, saveBlob, saveBytes } from './downloads.js';
import {
  encodeFacts, headerFacts, scrollTogether, showFacts, showPixels, showStatistics, showWarnings,
  showZoomed,
} from './views.js';

const $ = (id) => document.getElementById(id);
const form = $('options');
const encoder = new EncoderClient();
const vexoReady = createVexo();

// The picture being encoded, and the VEXO file the page shows now with its
// decoded pixels (what the downloads save).
let picture = null;  // { name, rgba, width, height, trueColour }
let shown = null;    // { stem, file, pixels565, width, height, canvas }
let encodeCount = 0;  // tells a current encode from one a newer one replaced
let progress = null;  // the progress line of the current encode

// A problem in plain words, or with `notice` a word of what happened.
function showMessage(text, { notice = false } = {}) {
  $('message').textContent = text;
  $('message').hidden = text === '';
  $('message').classList.toggle('notice', notice);
}

// Never a blank page: whatever goes wrong is said.
window.addEventListener('error', (event) => showMessage(`Something went wrong: ${event.message}`));
window.addEventListener('unhandledrejection', (event) =>
  showMessage(`Something went wrong: ${event.reason?.message ?? event.reason}`));

async function openFile(file) {
  stopEncoding();
  showMessage('');
  const bytes = new Uint8Array(await file.arrayBuffer());
  // A .vxo file whose magic is gone is a damaged VEXO file, not a picture.
  if (isVexoFile(bytes) || /\.vxo$/i.test(file.name)) {
    await openVexoFile(file.name, bytes);
    return;
  }
  const pixels = await readPicture(bytes, file.type);
  if (!pixels) {
    showMessage(`${file.name} is neither a picture this browser can read nor a VEXO file.`);
    return;
  }
  picture = { name: file.name, ...pixels, trueColour: isTrueColourSource(bytes) };
  showView('encode');
  $('picture-name').textContent = file.name;
  showPixels($('source-canvas'), picture.rgba, picture.width, picture.height);
  clearResult();
  $('c-name').value = stemOf(file.name);
  await encodePicture();
}

async function openVexoFile(name, bytes) {
  // The picture before it is gone: an encode its options had still to
  // start (or one still running) must not replace what this file shows.
  picture = null;
  const vexo = await vexoReady;
  const decoded = vexo.decode(bytes, name);
  if (decoded.status !== 'ok') {
    showView('none');
    showMessage(decoded.message);
    return;
  }
  showView('decode');
  $('vexo-name').textContent = name;
  showPixels($('decoded-canvas'), decoded.rgba, decoded.width, decoded.height);
  showStatistics($('statistics'), decoded.statistics);
  showFacts($('header-facts'), headerFacts(vexo.info(bytes, name)));
  $('c-name').value = stemOf(name);
  offerDownloads({ ...decoded, stem: stemOf(name), file: bytes, canvas: $('decoded-canvas') });
}

function showView(which) {
  $('encode-view').hidden = which !== 'encode';
  $('decode-view').hidden = which !== 'decode';
  $('downloads').hidden = true;
  shown = null;
}

// Encodes the picture with the form's options; a newer encode replaces one
// still running.
async function encodePicture() {
  if (!picture) return;
  const options = { ...optionsFromForm(form), from24BitSource: picture.trueColour };
  const vexoName = vexoNameFor(picture.name);
  $('command-line').textContent = commandLine(picture.name, options);
  stopEncoding();
  const count = encodeCount;
  setBusy(true);
  progress = showProgress(`Encoding ${picture.width} x ${picture.height} pixels`);
  try {
    const result = await encoder.encode(picture.rgba, picture.width, picture.height, options);
    if (count !== encodeCount) return;
    showMessage('');
    showResult(result, vexoName);
  } catch (error) {
    if (count !== encodeCount) return;
    clearResult();
    if (error instanceof Cancelled) {
      showMessage('Encoding cancelled. Change an option, or press Encode, to encode again.',
        { notice: true });
    } else {
      showMessage(`Nothing was made of ${picture.name}: ${error.message}`);
    }
  } finally {
    if (count === encodeCount) {
      progress.stop();
      setBusy(false);
    }
  }
}

// Ends the encode running, if any, without a word: a newer one or another
// file takes its place.
function stopEncoding() {
  ++encodeCount;
  encoder.cancel();
  progress?.stop();
  setBusy(false);
}

function showResult(result, vexoName) {
  const { width, height } = picture;
  showPixels($('result-canvas'), result.shown, width, height);
  showZoomedViews();
  showFacts($('encode-facts'), encodeFacts(result, width, height, vexoName));
  showWarnings($('encode-warnings'), result.warnings);
  offerDownloads({
    stem: stemOf(vexoName), file: result.file, pixels565: result.pixels565, width, height,
    canvas: $('result-canvas'),
  });
}

// While an encode runs, the result on show is the last one: it is dimmed,
// and what it offers cannot be saved.
function setBusy(busy) {
  $('encode-view').setAttribute('aria-busy', String(busy));
  $('downloads').inert = busy;
}

// No result stays on show beside options that made none.
function clearResult() {
  $('result-canvas').width = $('result-canvas').height = 0;
  showZoomedViews();
  showFacts($('encode-facts'), []);
  showWarnings($('encode-warnings'), []);
  $('downloads').hidden = true;
  shown = null;
}

function showZoomedViews() {
  const zoom = Number($('zoom').value);
  showZoomed($('source-zoomed'), $('source-canvas'), zoom);
  showZoomed($('result-zoomed'), $('result-canvas'), zoom);
}

// The progress line, shown once an encode takes long enough to notice,
// with the time so far; Cancel (or Escape) ends the encode.
function showProgress(what) {
  const start = performance.now();
  const update = () => {
    const seconds = (performance.now() - start) / 1000;
    $('progress-text').textContent = `${what}… ${seconds.toFixed(1)} s`;
    $('progress').hidden = seconds < 0.2;
  };
  const timer = setInterval(update, 100);
  update();
  return {
    stop() {
      clearInterval(timer);
      $('progress').hidden = true;
    },
  };
}

async function offerDownloads(output) {
  shown = output;
  $('downloads').hidden = false;
  await showCHeader();
}

// The header of the C pair, updated with the name; a name the rule cannot
// use says why.
async function showCHeader() {
  if (!shown) return;
  const vexo = await vexoReady;
  try {
    $('c-header').textContent = vexo.cSource(shown.file, cName()).h;
  } catch (error) {
    $('c-header').textContent = error.message;
  }
}

function cName() {
  return $('c-name').value.trim() || shown.stem;
}

async function download(kind) {
  const { stem, file, pixels565, canvas } = shown;
  switch (kind) {
    case 'vxo':
      saveBytes(`${stem}.vxo`, file);
      break;
    case 'png':
      saveBlob(`${stem}1.png`, await pngOf(canvas));
      break;
    case 'raw-little':
      saveBytes(`${stem}1.raw`, raw565(pixels565, true));
      break;
    case 'raw-big':
      saveBytes(`${stem}1-big-endian.raw`, raw565(pixels565, false));
      break;
    case 'c':
      await downloadCSource();
      break;
  }
}

async function downloadCSource() {
  const vexo = await vexoReady;
  const name = cName();
  let pair;
  try {
    pair = vexo.cSource(shown.file, name);
  } catch (error) {
    showMessage(`No C source was made: ${error.message}`);
    return;
  }
  showMessage('');
  const base = name.split('/').pop();
  saveBytes(`${base}.c`, pair.c, 'text/x-c');
  saveBytes(`${base}.h`, pair.h, 'text/x-c');
}

function listen() {
  $('choose-file').addEventListener('click', () => $('file-input').click());
  $('file-input').addEventListener('change', () => {
    const [file] = $('file-input').files;
    if (file) openFile(file);
    $('file-input').value = '';
  });
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null) document.body.classList.remove('dragging');
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    const [file] = event.dataTransfer.files;
    if (file) openFile(file);
  });

  let pending = null;
  form.addEventListener('input', () => {
    form.elements.effortShown.value = form.elements.effort.value;
    form.elements.goalValue.disabled = form.elements.goal.value === '';
    clearTimeout(pending);
    pending = setTimeout(encodePicture, 300);
  });
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    clearTimeout(pending);
    encodePicture();
  });
  $('cancel').addEventListener('click', () => encoder.cancel());
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && encoder.busy) encoder.cancel();
  });
  $('zoom').addEventListener('change', showZoomedViews);
  scrollTogether([...document.querySelectorAll('#encode-view .zoomed')]);
  $('c-name').addEventListener('input', showCHeader);
  for (const button of document.querySelectorAll('[data-download]')) {
    button.addEventListener('click', () => download(button.dataset.download));
  }
}

listen();
vexoReady.catch((error) => showMessage(
  `This browser cannot run the VEXO module (WebAssembly): ${error.message}`));
