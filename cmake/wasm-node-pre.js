// Put before every WebAssembly program of the project (brennick-cli, the unit
// tests) that runs under node, so that it behaves as the native program does.
/* global Module, ENV */
if (typeof process === 'object' && typeof require === 'function') {
  const fs = require('fs');

  // The .wasm beside the .js. Emscripten 3.1.6 would fetch() it, which node
  // has since version 18 but which takes no file path: read it here instead.
  Module['wasmBinary'] = fs.readFileSync(__filename.replace(/\.js$/, '.wasm'));

  // The program sees the real environment (emscripten's default is a made-up
  // one with LANG=C.UTF-8): the locale variables decide the decimal separator.
  Module['preRun'] = [function() {
    if (typeof ENV === 'undefined') return;  // a program that reads no variable
    for (const name of Object.keys(ENV)) {
      if (!(name in process.env)) ENV[name] = undefined;
    }
    Object.assign(ENV, process.env);
  }];

  // The decimal separator of the locale that LC_NUMERIC takes from the
  // environment (LC_ALL, then LC_NUMERIC, then LANG, the first that is set and
  // not empty), as the native program gets it from the C library: the C
  // library's own `locale` program is asked, so a locale that is not
  // installed gives '.' here as it does there. '.' also for a separator of
  // more than one byte, and when the question cannot be asked. Returns the
  // character's code.
  Module['decimalSeparator'] = function() {
    const env = process.env;
    const name = [env.LC_ALL, env.LC_NUMERIC, env.LANG].find((v) => v) || '';
    if (name === '' || name === 'C' || name === 'POSIX') return 46;
    const asked = require('child_process').spawnSync('locale', ['decimal_point'], {
      env: Object.assign({}, env, {LC_ALL: name}),
      stdio: ['ignore', 'pipe', 'ignore'],
    });
    if (asked.status !== 0 || !asked.stdout) return 46;
    let text = asked.stdout;
    if (text.length > 0 && text[text.length - 1] === 10) text = text.subarray(0, text.length - 1);
    return text.length === 1 ? text[0] : 46;
  };
}
