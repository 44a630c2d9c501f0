// Writes the field table the page builds its form from (SITE/fields.json),
// asking the bridge for it under node when the site is built. The page then
// builds the form while the module is still compiling, and asks the module
// itself only where the file could not be fetched.
//   node web/write-fields.mjs SITE_DIR
import fs from 'node:fs';
import {createRequire} from 'node:module';
import path from 'node:path';
import {pathToFileURL} from 'node:url';

const site = path.resolve(process.argv[2]);
// The module's loader for node is written for CommonJS: it looks for these two.
globalThis.__dirname = site;
globalThis.require = createRequire(path.join(site, 'bridge.js'));
const {loadBridge} = await import(pathToFileURL(path.join(site, 'bridge.js')).href);
const bridge = await loadBridge({wasmBinary: fs.readFileSync(path.join(site, 'brennick-web.wasm'))});
const table = bridge.fields();
if (table.error) throw new Error(table.error);
fs.writeFileSync(path.join(site, 'fields.json'), `${JSON.stringify(table)}\n`);
