// The page's side of the encode worker: one encode at a time, a newer
// request replacing an older one, and cancel by ending the worker (the
// encoder cannot be interrupted inside a call).

export class Cancelled extends Error {
  constructor() {
    super('The encode was cancelled');
  }
}

export class EncoderClient {
  #worker = null;
  #pending = null;  // { id, resolve, reject }
  #nextId = 1;

  // Resolves to the encode worker's result; rejects with an Error whose
  // message the user can read, or with Cancelled.
  encode(rgba, width, height, options) {
    this.cancel();
    const worker = this.#ensureWorker();
    const id = this.#nextId++;
    return new Promise((resolve, reject) => {
      this.#pending = { id, resolve, reject };
      // A copy: the page keeps its own pixels for the next encode.
      worker.postMessage({ id, rgba: rgba.slice(), width, height, options });
    });
  }

  get busy() {
    return this.#pending !== null;
  }

  cancel() {
    if (!this.#pending) return;
    this.#worker.terminate();
    this.#worker = null;
    this.#settle((pending) => pending.reject(new Cancelled()));
  }

  #ensureWorker() {
    if (this.#worker) return this.#worker;
    const worker = new Worker(new URL('./encode-worker.js', import.meta.url), { type: 'module' });
    worker.onmessage = ({ data }) => {
      if (data.id !== this.#pending?.id) return;
      if (data.stopped) {
        this.#stopped();
      } else if (data.error !== undefined) {
        this.#settle((pending) => pending.reject(new Error(data.error)));
      } else {
        this.#settle((pending) => pending.resolve(data.result));
      }
    };
    worker.onerror = (event) => {
      event.preventDefault();
      this.#stopped();
    };
    this.#worker = worker;
    return worker;
  }

  // The module stops for good when it runs out of memory; a new worker
  // starts afresh for the next encode.
  #stopped() {
    this.#worker?.terminate();
    this.#worker = null;
    this.#settle((pending) => pending.reject(new Error(
      'The encoder stopped: the picture is probably too large for the memory this browser ' +
      'gives a page. Try a smaller picture or a lower effort.')));
  }

  #settle(how) {
    const pending = this.#pending;
    this.#pending = null;
    if (pending) how(pending);
  }
}
