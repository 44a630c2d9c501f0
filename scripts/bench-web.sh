#!/usr/bin/env bash
# The web page's figures (`make bench-web`), each the median of 9 cold loads
# in headless Chromium (a fresh browser context each, so nothing is cached):
#  - the site's weight as a server sends it compressed (gzip -9, every file);
#  - cold load to a usable form: from the start of navigation until the form
#    is built from the field table and shows the link's form (#seed=7), and
#    the same for the bare address (the start form);
#  - Design: from the click to the statblock painted, and Randomize: from the
#    click to the form painted; each as the work the click does up to the
#    layout it forces, and up to the frame after it.
#   scripts/bench-web.sh SITE_DIR
set -euo pipefail
site=$(cd "${1:?site directory}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)

total=0
for file in "$site"/*; do
  size=$(gzip -9c "$file" | wc -c)
  printf '%-24s %8d bytes gzip -9 (%d bytes)\n' "$(basename "$file")" "$size" "$(stat -c %s "$file")"
  total=$((total + size))
done
printf '%-24s %8d bytes gzip -9 (%.1f KB; target 400 KB)\n' "total" "$total" "$(echo "$total/1024" | bc -l)"

SITE="$site" ROOT="$root" node --input-type=module <<'NODE'
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
const site = process.env.SITE;
const {chromium} = await import(path.join(process.env.ROOT, 'web/node_modules/playwright-core/index.mjs'));
const types = {'.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript',
               '.mjs': 'text/javascript', '.wasm': 'application/wasm', '.json': 'application/json'};
const server = http.createServer((request, response) => {
  const name = new URL(request.url, 'http://x').pathname;
  const file = path.join(site, name === '/' ? 'index.html' : name);
  if (!file.startsWith(site) || !fs.existsSync(file)) { response.writeHead(404); response.end(); return; }
  response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
  fs.createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const url = `http://127.0.0.1:${server.address().port}/#seed=7`;
const browser = await chromium.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                       args: ['--no-sandbox']});
// The click's work up to the layout it forces, and up to the next frame.
const timeClick = (id) => new Promise((resolve) => {
  const t0 = performance.now();
  document.getElementById(id).click();
  void document.body.offsetHeight;
  const work = performance.now() - t0;
  requestAnimationFrame(() => setTimeout(() => resolve([work, performance.now() - t0]), 0));
});
const runs = {load: [], designWork: [], designFrame: [], randomWork: [], randomFrame: []};
for (let i = 0; i < 9; ++i) {
  const context = await browser.newContext({viewport: {width: 1366, height: 768}});
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  runs.load.push(await page.evaluate(() => window.brennick.readyAt));
  const [dw, df] = await page.evaluate(timeClick, 'DesignButton');
  const [rw, rf] = await page.evaluate(timeClick, 'RandomButton');
  runs.designWork.push(dw); runs.designFrame.push(df);
  runs.randomWork.push(rw); runs.randomFrame.push(rf);
  await context.close();
}
// The bare address too: no link to open, the form as it starts.
runs.plain = [];
for (let i = 0; i < 9; ++i) {
  const context = await browser.newContext({viewport: {width: 1366, height: 768}});
  const page = await context.newPage();
  await page.goto(url.replace('#seed=7', ''));
  await page.waitForSelector('body[data-ready]');
  runs.plain.push(await page.evaluate(() => window.brennick.readyAt));
  await context.close();
}
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const ms = (x) => `${x.toFixed(1)} ms`;
console.log(`cold load to usable form      ${ms(median(runs.load))} with a link (#seed=7), ${ms(median(runs.plain))} without (medians of 9; target 300 ms)`);
console.log(`Design to painted statblock   ${ms(median(runs.designWork))} work, ${ms(median(runs.designFrame))} to the next frame (target 16 ms)`);
console.log(`Randomize to painted form     ${ms(median(runs.randomWork))} work, ${ms(median(runs.randomFrame))} to the next frame (target 16 ms)`);
await browser.close();
server.close();
NODE
