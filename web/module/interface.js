// The web module's JavaScript interface, appended to the runtime emscripten
// generates (createVexoRuntime): plain objects, typed arrays and Errors over
// the C functions of vexo_web.cpp. Nothing leaves the page.

// The option words in the order vexo_web_encode takes them.
const kOptionNames = ['path', 'family', 'quality', 'maxBytes', 'minPsnr', 'dither', 'effort',
  'background'];
// FileDecodeStatus, in its order.
const kDecodeStatuses = ['ok', 'cannot-open', 'not-vexo', 'wrong-version', 'damaged',
  'out-of-memory'];
// The statistics pane's texts, top to bottom.
const kStatisticNames = ['fileName', 'imageSize', 'compressionRatio', 'decodeTime', 'decodeMode',
  'quantiseValue'];
const kInfoNames = ['width', 'height', 'depthFlag', 'pathFlag', 'quality', 'codecVersion',
  'family', 'path', 'outputBytes', 'workspaceBytes'];
// VEXO_PATH_PREDICTIVE, VEXO_PATH_TRANSFORM, VEXO_PATH_FAST.
const kPathNames = ['predictive', 'transform', 'fast'];

// Calls `use` with a copy of `bytes` in the module's memory, freed after.
function withBytes(runtime, bytes, use) {
  const at = runtime._malloc(Math.max(bytes.length, 1));
  if (at === 0) throw new Error('Not enough memory for this picture');
  try {
    runtime.HEAPU8.set(bytes, at);
    return use(at);
  } finally {
    runtime._free(at);
  }
}

// Calls `use` with NUL-terminated copies of `texts` (null stays null).
function withStrings(runtime, texts, use) {
  const pointers = texts.map((text) => {
    if (text === null) return 0;
    const size = runtime.lengthBytesUTF8(text) + 1;
    const at = runtime._malloc(size);
    runtime.stringToUTF8(text, at, size);
    return at;
  });
  try {
    return use(pointers);
  } finally {
    pointers.forEach((at) => runtime._free(at));
  }
}

function bytesOf(data, what) {
  if (data instanceof Uint8Array || data instanceof Uint8ClampedArray) return data;
  if (data instanceof ArrayBuffer) return new Uint8Array(data);
  throw new TypeError(`${what} must be a Uint8Array, a Uint8ClampedArray or an ArrayBuffer`);
}

function checkPictureSize(rgba, width, height) {
  if (!Number.isInteger(width) || !Number.isInteger(height) || width < 0 || height < 0) {
    throw new TypeError(`width and height must be whole numbers, not ${width} and ${height}`);
  }
  if (rgba.length !== 4 * width * height) {
    throw new TypeError(`rgba holds ${rgba.length} bytes, not 4 x ${width} x ${height}`);
  }
}

// Each option as the text typed after its name on the command line.
function optionWords(options) {
  return kOptionNames.map((name) => {
    const value = options[name];
    return value === undefined || value === null ? null : String(value);
  });
}

function makeInterface(runtime) {
  const text = (at) => runtime.UTF8ToString(at);

  function encode(rgba, width, height, options = {}) {
    const pixels = bytesOf(rgba, 'rgba');
    checkPictureSize(pixels, width, height);
    const from24BitSource = options.from24BitSource === false ? 0 : 1;
    const made = withBytes(runtime, pixels, (pixelsAt) =>
      withStrings(runtime, optionWords(options), (words) => {
        const wordsAt = runtime._malloc(4 * words.length);
        try {
          runtime.HEAPU32.set(words, wordsAt >> 2);
          return runtime._vexo_web_encode(pixelsAt, width, height, from24BitSource, wordsAt);
        } finally {
          runtime._free(wordsAt);
        }
      }));
    if (!made) throw new Error(text(runtime._vexo_web_encode_message()));
    const fileAt = runtime._vexo_web_encoded_file();
    const warnings = text(runtime._vexo_web_encoded_warnings());
    return {
      file: runtime.HEAPU8.slice(fileAt, fileAt + runtime._vexo_web_encoded_size()),
      path: text(runtime._vexo_web_encoded_path()),
      family: runtime._vexo_web_encoded_family(),
      quality: runtime._vexo_web_encoded_quality(),
      psnr: runtime._vexo_web_encoded_psnr(),
      summary: text(runtime._vexo_web_encoded_summary()),
      reason: text(runtime._vexo_web_encoded_reason()),
      warnings: warnings === '' ? [] : warnings.trimEnd().split('\n'),
    };
  }

  function info(file, name = 'picture.vxo') {
    const bytes = bytesOf(file, 'file');
    const fieldsAt = runtime._malloc(8 * kInfoNames.length);
    try {
      const read = withBytes(runtime, bytes, (fileAt) => withStrings(runtime, [name], ([nameAt]) =>
        runtime._vexo_web_info(fileAt, bytes.length, nameAt, fieldsAt)));
      if (!read) throw new Error(text(runtime._vexo_web_info_message()));
      const values = runtime.HEAPF64.slice(fieldsAt >> 3, (fieldsAt >> 3) + kInfoNames.length);
      const fields = Object.fromEntries(kInfoNames.map((key, i) => [key, values[i]]));
      return { ...fields, path: kPathNames[fields.path] };
    } finally {
      runtime._free(fieldsAt);
    }
  }

  function decodedPicture() {
    const width = runtime._vexo_web_decoded_width();
    const height = runtime._vexo_web_decoded_height();
    const pixelsAt = runtime._vexo_web_decoded_pixels565() >> 1;
    const rgbaAt = runtime._vexo_web_decoded_rgba();
    const statistics = Object.fromEntries(kStatisticNames.map((key, i) =>
      [key, text(runtime._vexo_web_decoded_statistic(i))]));
    return {
      status: 'ok',
      width,
      height,
      pixels565: runtime.HEAPU16.slice(pixelsAt, pixelsAt + width * height),
      rgba: new Uint8ClampedArray(runtime.HEAPU8.slice(rgbaAt, rgbaAt + 4 * width * height).buffer),
      seconds: runtime._vexo_web_decoded_seconds(),
      statistics,
      message: '',
    };
  }

  // A file that does not decode gives its status and the message the
  // viewer and `vexo decode` give, naming the file; no pixels.
  function decode(file, name = 'picture.vxo') {
    const bytes = bytesOf(file, 'file');
    const status = withBytes(runtime, bytes, (fileAt) => withStrings(runtime, [name], ([nameAt]) =>
      runtime._vexo_web_decode(fileAt, bytes.length, nameAt)));
    if (status === 0) return decodedPicture();
    return {
      status: kDecodeStatuses[status],
      width: 0,
      height: 0,
      pixels565: new Uint16Array(0),
      rgba: new Uint8ClampedArray(0),
      seconds: 0,
      statistics: null,
      message: text(runtime._vexo_web_decode_message()),
    };
  }

  function cSource(file, name) {
    const bytes = bytesOf(file, 'file');
    const made = withBytes(runtime, bytes, (fileAt) => withStrings(runtime, [String(name)],
      ([nameAt]) => runtime._vexo_web_c_source(fileAt, bytes.length, nameAt)));
    if (!made) throw new Error(text(runtime._vexo_web_c_source_message()));
    return {
      c: text(runtime._vexo_web_c_source_text()),
      h: text(runtime._vexo_web_c_header_text()),
    };
  }

  // Seconds a decode of the file takes, the average of `repetitions`, timed
  // inside the module around the decoder alone.
  function decodeSeconds(file, repetitions = 1) {
    const bytes = bytesOf(file, 'file');
    const seconds = withBytes(runtime, bytes, (fileAt) =>
      runtime._vexo_web_decode_seconds(fileAt, bytes.length, repetitions));
    if (seconds < 0) throw new Error('The file does not decode');
    return seconds;
  }

  return Object.freeze({
    version: text(runtime._vexo_version()),
    encode,
    info,
    decode,
    cSource,
    decodeSeconds,
  });
}

export default async function createVexo() {
  const runtime = await createVexoRuntime({
    // The .wasm file beside this one, wherever the page or worker lives.
    locateFile: (file) => new URL(file, import.meta.url).href,
  });
  return makeInterface(runtime);
}
