// The bridge to the design run, the form model and the design files, compiled
// to WebAssembly (web/bridge.cpp): every function takes and gives plain
// values; what it sends and receives is JSON text. Nothing of the form's
// rules, texts or messages is made here.
import BrennickModule from './brennick-web.mjs';

export async function loadBridge(moduleOptions = {}) {
  const module = await BrennickModule(moduleOptions);
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  // One request, one answer: the answer object, which has "error" when the
  // request could not be carried out.
  function call(request) {
    const bytes = encoder.encode(JSON.stringify(request));
    const at = module._malloc(bytes.length + 1);
    try {
      module.HEAPU8.set(bytes, at);
      const answerAt = module._brennick_call(at, bytes.length);
      const length = module._brennick_answer_length();
      // HEAPU8 may be new after the call: memory grows with long texts.
      return JSON.parse(decoder.decode(module.HEAPU8.subarray(answerAt, answerAt + length)));
    } finally {
      module._free(at);
    }
  }

  return {
    call,
    fields: () => call({op: 'fields'}),
    apply: (state, field, value, sep) => call({op: 'apply', state, field, value, sep}),
    keypress: (state, sep) => call({op: 'keypress', state, sep}),
    hint: (state) => call({op: 'hint', state}).hint,
    design: (state, sep, explain = false) => call({op: 'design', state, sep, explain}),
    explain: (state, line, sep) => call({op: 'explain', state, line, sep}),
    randomize: (state, seed, sep, onlyAuto) =>
      call(onlyAuto === undefined ? {op: 'randomize', state, seed, sep}
                                  : {op: 'randomize', state, seed, sep, onlyAuto}),
    readDesignFile: (text, sep) => call({op: 'readDesignFile', text, sep}),
    writeDesignFile: (state, sep) => call({op: 'writeDesignFile', state, sep}),
    table: (files, sep) => call({op: 'table', files, sep}),
  };
}
