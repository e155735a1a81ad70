// Encodes off the page's main thread, so that the page answers while a
// large picture is encoded; the page ends this worker to cancel.
import createVexo from '../vexo.js';

const vexoReady = createVexo();

self.onmessage = async ({ data: { id, rgba, width, height, options } }) => {
  try {
    const vexo = await vexoReady;
    const encoded = vexo.encode(rgba, width, height, options);
    const decoded = vexo.decode(encoded.file, 'result.vxo');
    const result = { ...encoded, pixels565: decoded.pixels565, shown: decoded.rgba };
    self.postMessage({ id, result },
      [result.file.buffer, result.pixels565.buffer, result.shown.buffer]);
  } catch (error) {
    // A refusal is an Error with the command line's message; anything else
    // (running out of memory) stops the module for good.
    const stopped = error instanceof WebAssembly.RuntimeError;
    self.postMessage({ id, error: error.message, stopped });
  }
};
