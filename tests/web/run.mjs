// The web page in headless Chromium against the native program (`make
// test-web`):
//  - the three worked designs typed into the page give the window's
//    statblocks byte for byte;
//  - random user sessions (typing, clicks, option choices, keys, Randomize,
//    Design, undo and redo) leave the page's form exactly where the form
//    model leaves it, step by step (tests/web/session_replay.cpp);
//  - a link holds every control, and #seed=S is brennick-cli's design S;
//  - a design file saved by the page reads natively to the same statblock,
//    and the CLI's file opens in the page to the same form;
//  - axe-core finds nothing serious, the phone layout does not scroll
//    sideways and the desktop layout fits 1366 x 768.
//
//   node tests/web/run.mjs SITE_DIR NATIVE_BUILD_DIR [SESSIONS]
// SESSIONS (default 100, or $WEB_SESSIONS) random sessions are compared.
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const [siteArg, nativeArg, sessionsArg] = process.argv.slice(2);
if (!siteArg || !nativeArg) {
  console.error('usage: run.mjs SITE_DIR NATIVE_BUILD_DIR [SESSIONS]');
  process.exit(2);
}
const site = path.resolve(siteArg);
const native = path.resolve(nativeArg);
const sessionCount = Number(sessionsArg || process.env.WEB_SESSIONS || 100);
const replayTool = path.join(native, 'web_session_replay');
const cliTool = path.join(native, 'brennick-cli');
const modules = path.join(root, 'web', 'node_modules');
const {chromium} = await import(path.join(modules, 'playwright-core', 'index.mjs'));
const axeSource = path.join(modules, 'axe-core', 'axe.min.js');

let failures = 0;
let checks = 0;
const began = Date.now();
const part = (name) => console.log(`${((Date.now() - began) / 1000).toFixed(1)} s: ${name}`);
function check(ok, what, detail = '') {
  checks += 1;
  if (!ok) {
    failures += 1;
    console.log(`FAIL ${what}${detail ? `\n  ${detail}` : ''}`);
  }
  return ok;
}

// ---------------------------------------------------------------------------
// The site, served as a static host serves it.

const types = {'.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript',
               '.mjs': 'text/javascript', '.wasm': 'application/wasm', '.json': 'application/json'};
const server = http.createServer((request, response) => {
  const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
  const file = path.join(site, name === '/' ? 'index.html' : name);
  if (!file.startsWith(site) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
    response.writeHead(404);
    response.end();
    return;
  }
  response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
  fs.createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}/`;

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu'],
});
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'brennick-web-'));

async function openPage({locale = 'en-US', width = 1366, height = 768, hash = '',
                         context = null} = {}) {
  const ctx = context || await browser.newContext({locale, viewport: {width, height},
                                                   acceptDownloads: true});
  const page = await ctx.newPage();
  page.on('pageerror', (error) => check(false, 'no script error on the page', error.message));
  await page.goto(base + (hash ? `#${hash}` : ''));
  await page.waitForSelector('body[data-ready]');
  return page;
}

const designFile = (page) => page.evaluate(() => window.brennick.designFile());
// A file the page was given is read asynchronously: wait (up to 3 s) until
// the form is `text`, or the message shows (a refused file).
const fileRead = (page, text) => page.waitForFunction(
    (t) => window.brennick.designFile() === t || !document.getElementById('Message').hidden,
    text, {timeout: 3000}).catch(() => {});

// ---------------------------------------------------------------------------
// Steps on the page, as a user takes them

async function pageStep(page, step) {
  switch (step.op) {
    case 'text':
      await page.fill(`#${step.field}`, step.value);
      break;
    case 'check':
      await page.click(`#${step.field}`, {force: true});
      break;
    case 'option':
      await page.click(`#${step.field}-${step.index}`, {force: true});
      break;
    case 'random':
      await page.evaluate((seed) => { window.brennick.nextSeed = seed; }, step.seed);
      await page.click('#RandomButton');
      break;
    case 'key':
      await page.evaluate(() => document.activeElement && document.activeElement.blur());
      await page.keyboard.press('k');
      break;
    case 'design':
      await page.click('#DesignButton');
      break;
    case 'undo':
      await page.click('#UndoButton');
      break;
    case 'redo':
      await page.click('#RedoButton');
      break;
    default:
      throw new Error(`no step ${step.op}`);
  }
  const result = {file: await designFile(page)};
  if (step.op === 'design') {
    const design = JSON.parse(await page.evaluate(() => JSON.stringify(window.brennick.design())));
    result.statblock = design.lines;
    result.failed = design.failed === undefined ? null : design.failed;
  }
  return result;
}

function replay(steps, sep) {
  const input = steps.map((s) => JSON.stringify(s)).join('\n') + '\n';
  const run = spawnSync(replayTool, [sep], {input, encoding: 'utf8', maxBuffer: 1 << 28});
  if (run.status !== 0) throw new Error(`web_session_replay failed: ${run.stderr}`);
  return run.stdout.trim().split('\n').map((line) => JSON.parse(line));
}

// Runs `steps` on the page and in the form model; true when every step left
// both in the same form.
async function compareSession(page, steps, what, taken = null) {
  const sep = await page.evaluate(() => window.brennick.separator());
  const onPage = taken || [];
  if (!taken) for (const step of steps) onPage.push(await pageStep(page, step));
  const natively = replay(steps, sep);
  for (let i = 0; i < steps.length; ++i) {
    const a = onPage[i];
    const b = natively[i];
    if (!check(a.file === b.file, `${what}: the form after step ${i + 1} is the form model's`,
               `${JSON.stringify(steps[i])}\n  page:   ${JSON.stringify(a.file)}\n  native: ${JSON.stringify(b.file)}`)) {
      return {ok: false, onPage};
    }
    if (steps[i].op === 'design' &&
        !check(JSON.stringify([a.statblock, a.failed]) === JSON.stringify([b.statblock, b.failed]),
               `${what}: Design at step ${i + 1} gives the window's statblock`,
               `page:   ${JSON.stringify([a.statblock, a.failed])}\n  native: ${JSON.stringify([b.statblock, b.failed])}`)) {
      return {ok: false, onPage};
    }
  }
  return {ok: true, onPage};
}

// ---------------------------------------------------------------------------
part('started');
// 1. The worked designs, entered as the player enters them.

const worked = {
  'Pistol': [
    {op: 'text', field: 'NameEdit', value: 'Pistol'},
    {op: 'text', field: 'BoreSizeEdit', value: '10'},
    {op: 'option', field: 'ConfigurationBox', index: 0},
    {op: 'option', field: 'BarrelBox', index: 1},
    {op: 'option', field: 'LoadingMechanismBox', index: 7},
    {op: 'text', field: 'ShotsEdit', value: '20'},
    {op: 'check', field: 'CaselessBox'},
    {op: 'design'},
  ],
  'LP Rifle': [
    {op: 'text', field: 'NameEdit', value: 'LP Rifle'},
    {op: 'text', field: 'BoreSizeEdit', value: '7'},
    {op: 'option', field: 'ConfigurationBox', index: 2},
    {op: 'option', field: 'BarrelBox', index: 1},
    {op: 'option', field: 'LoadingMechanismBox', index: 8},
    {op: 'option', field: 'PropellantBox', index: 1},
    {op: 'text', field: 'ShotsEdit', value: '30'},
    {op: 'design'},
  ],
  'Gauss Rifle': [
    {op: 'text', field: 'NameEdit', value: 'Gauss Rifle'},
    {op: 'text', field: 'TLEdit', value: '10'},
    {op: 'text', field: 'BoreSizeEdit', value: '4'},
    {op: 'option', field: 'ConfigurationBox', index: 2},
    {op: 'option', field: 'BarrelBox', index: 2},
    {op: 'option', field: 'LoadingMechanismBox', index: 8},
    {op: 'option', field: 'PropellantBox', index: 4},
    {op: 'text', field: 'ShotsEdit', value: '50'},
    {op: 'design'},
  ],
};
// What the title line and the damage line of each say, worked out by hand
// from the game's rules for these three weapons.
const workedLines = {
  'Pistol': ['Pistol (TL9)', 'Damage: 3d+1 pi+'],
  'LP Rifle': ['LP Rifle (TL9)'],
  'Gauss Rifle': ['Gauss Rifle (TL10)'],
};

const savedFiles = [];
{
  const page = await openPage();
  // The form was built from the table the site was built with: the module's own.
  check(await page.evaluate(async () => JSON.stringify(await (await fetch('fields.json')).json()) ===
                                         JSON.stringify(window.brennick.bridge().fields())),
        'fields.json is the field table of the module beside it');
  // A host that lost the file: the module gives the table, and the same form.
  const lost = await browser.newContext({viewport: {width: 1366, height: 768}});
  await lost.route('**/fields.json', (route) => route.fulfill({status: 404, body: ''}));
  const without = await openPage({context: lost});
  check(await designFile(without) === await designFile(page) &&
        await without.evaluate(() => document.querySelectorAll('#Form input').length) ===
        await page.evaluate(() => document.querySelectorAll('#Form input').length),
        'without fields.json the page builds the same form from the module');
  await lost.close();
  for (const [name, steps] of Object.entries(worked)) {
    await page.click('#NewButton');
    const {ok, onPage} = await compareSession(page, steps, `worked design ${name}`);
    const lines = onPage[onPage.length - 1].statblock || [];
    check(ok && workedLines[name].every((line, i) => lines[i] === line),
          `worked design ${name}: its statblock begins as worked out`, JSON.stringify(lines.slice(0, 2)));
    if (name === 'Pistol') {
      // The derivation of the line clicked ends in the line's own figures.
      await page.click('#StatblockMemo li[data-line="1"]');
      const steps = await page.locator('#DerivationPanel li').allTextContents();
      check(steps.length > 1 && steps[steps.length - 1] === '= 3d+1 pi+',
            'the derivation of the damage line ends in its figures', JSON.stringify(steps));
      // Ctrl+Z in the form takes back the last step, Ctrl+Y brings it again.
      const designed = await designFile(page);
      await page.focus('#NameEdit');
      await page.keyboard.press('Control+z');
      check(JSON.parse(await designFile(page)).CaselessBox === true, 'Ctrl+Z undoes the last change');
      await page.keyboard.press('Control+y');
      check(await designFile(page) === designed, 'Ctrl+Y redoes it');
      await page.keyboard.press('Control+Enter');
      check((await page.locator('#StatblockMemo li').count()) === lines.length,
            'Ctrl+Enter designs');
    }
    // The page's Save, read by brennick-cli: the same statblock.
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#SaveButton')]);
    const file = path.join(scratch, `${name}.json`);
    await download.saveAs(file);
    savedFiles.push(file);
    check(fs.readFileSync(file, 'utf8') === await designFile(page), `${name}: Save writes the design file`);
    const cli = spawnSync(cliTool, [file], {encoding: 'utf8', env: {...process.env, LC_ALL: 'C'}});
    check(cli.stdout === lines.map((l) => `${l}\n`).join(''),
          `${name}: the page's design file gives brennick-cli the same statblock`, cli.stdout + cli.stderr);
  }
  // The armoury: the saved files as one table, its Markdown and CSV those of
  // brennick-cli --table on the same files.
  await page.click('#ArmouryDetails > summary');
  await page.setInputFiles('#ArmouryFiles', savedFiles);
  await page.waitForSelector('#ArmouryTable tbody tr');
  const joined = savedFiles.map((f) => fs.readFileSync(f, 'utf8')).join('');
  for (const format of ['markdown', 'csv']) {
    const cli = spawnSync(cliTool, ['--table', format], {input: joined, encoding: 'utf8',
                                                         env: {...process.env, LC_ALL: 'C'}});
    const onPage = await page.evaluate((texts) =>
        window.brennick.bridge().table(texts, window.brennick.separator()), savedFiles.map(
        (f) => fs.readFileSync(f, 'utf8')));
    check(onPage[format] === cli.stdout, `the armoury's ${format} is brennick-cli --table's`,
          `page: ${JSON.stringify(onPage[format])}\n  cli:  ${JSON.stringify(cli.stdout)}`);
  }
  check(await page.locator('#ArmouryTable tbody tr').count() === 3, 'the armoury shows a row per file');
  // Sorted by the figure of the cost, not by its text.
  await page.click('#ArmouryTable th:nth-child(13) button');
  const costs = (await page.locator('#ArmouryTable tbody td:nth-child(13)').allTextContents())
      .map((cell) => Number(cell.replace(/[^0-9.]/g, '')));
  check(costs.length === 3 && costs[0] <= costs[1] && costs[1] <= costs[2],
        'the armoury sorts by cost', JSON.stringify(costs));
  await page.fill('#ArmouryFilter', 'rifle');
  check(await page.locator('#ArmouryTable tbody tr').count() === 2, 'the armoury filters by name');
  // A row opens in the form as its file does.
  await page.click('#ArmouryTable tbody tr:first-child button.link');
  const name = await page.inputValue('#NameEdit');
  const file = savedFiles.find((f) => path.basename(f) === `${name}.json`);
  check(file && await designFile(page) === fs.readFileSync(file, 'utf8'), 'a row of the armoury opens in the form');
  // The separator switched: the texts are taken over, the name keeps its own.
  await page.click('#NewButton');
  await page.fill('#NameEdit', 'M1.5');
  await page.fill('#BoreSizeEdit', '7.62');
  await page.selectOption('#SeparatorBox', ',');
  check(await page.inputValue('#BoreSizeEdit') === '7,62' && await page.inputValue('#NameEdit') === 'M1.5',
        'switching the separator takes the numbers over');
  await page.click('#UndoButton');
  check(await page.inputValue('#BoreSizeEdit') === '' && await page.inputValue('#NameEdit') === 'M1.5',
        'an undo after the switch brings back a form of the new separator');
  await page.selectOption('#SeparatorBox', '.');
  await page.context().close();
}

part('worked designs and the armoury');
// ---------------------------------------------------------------------------
// 2. Random sessions, page against form model.

function generator(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6D2B79F5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const texts = ['', '0', '1', '2', '3', '5', '6', '7', '8', '9', '10', '11', '12', '20', '7.62',
               '7,62', '12.5', '-3', '-0', 'abc', '1e3', ' 9', '9 ', '\u0663', '3.', '.5',
               '99999999999', '1.5e308', 'NaN', 'Infinity', '0x10', '+4', '00012', '\u{1F600} gun',
               'a\tb', '\u00dcn\u00efc\u00f8d\u00e9', 'x'.repeat(300), '4,5', '2147483648', '0.0001',
               'M1 "Garand"', '<b>&amp;</b>', 'a\u0000b', '1\u00a0000'];

// Steps chosen one by one from the form each leaves, taken on the page.
async function randomSteps(page, random, count) {
  const steps = [];
  const taken = [];
  const table = JSON.parse(await page.evaluate(() =>
      JSON.stringify(window.brennick.bridge().fields().fields)));
  const pick = (list) => list[Math.floor(random() * list.length)];
  for (let i = 0; i < count; ++i) {
    const [state, canUndo, canRedo] = JSON.parse(await page.evaluate(() => window.brennick.stateText()));
    const enabled = table.filter((f) => state[f.name].enabled);
    const r = random();
    let step;
    if (r < 0.3) {
      const field = pick(enabled.filter((f) => f.kind === 'text'));
      step = {op: 'text', field: field.name, value: pick(texts)};
    } else if (r < 0.5) {
      step = {op: 'check', field: pick(enabled.filter((f) => f.kind === 'check')).name};
    } else if (r < 0.72) {
      const field = pick(enabled.filter((f) => f.kind === 'group'));
      step = {op: 'option', field: field.name, index: Math.floor(random() * field.items.length)};
    } else if (r < 0.8) {
      step = {op: 'random', seed: Math.floor(random() * 4294967296)};
    } else if (r < 0.85) {
      step = {op: 'key'};
    } else if (r < 0.92) {
      step = {op: 'design'};
    } else if (r < 0.97 && canUndo) {
      step = {op: 'undo'};
    } else if (canRedo) {
      step = {op: 'redo'};
    } else {
      step = {op: 'design'};
    }
    steps.push(step);
    taken.push(await pageStep(page, step));
  }
  return {steps, taken};
}

{
  const contexts = {
    '.': await browser.newContext({locale: 'en-US', viewport: {width: 1366, height: 768}}),
    ',': await browser.newContext({locale: 'de-DE', viewport: {width: 1366, height: 768}}),
  };
  let passed = 0;
  // A few sessions at a time, each on a page of its own: the browser waits
  // for frames more than it works.
  let next = 0;
  const worker = async () => {
  const pages = {};
  for (let n = next++; n < sessionCount; n = next++) {
    const random = generator(1000 + n);
    const sep = n % 4 === 3 ? ',' : '.';
    // One page for each separator, put back as it opens for each session.
    if (!pages[sep]) pages[sep] = await openPage({context: contexts[sep]});
    const page = pages[sep];
    await page.evaluate(() => window.brennick.reset());
    check(await page.evaluate(() => window.brennick.separator()) === sep,
          `session ${n}: the separator follows the browser's language`);
    const {steps, taken} = await randomSteps(page, random, 8 + Math.floor(random() * 18));
    const {ok} = await compareSession(page, steps, `session ${n} (seed ${1000 + n})`, taken);
    if (ok) passed += 1;
    // Every few sessions: the link of the form the session left opens it.
    if (ok && n % 10 === 0) {
      const link = await page.evaluate(() => window.brennick.link());
      const file = await designFile(page);
      const opened = await openPage({context: contexts[sep], hash: link});
      check(await designFile(opened) === file, `session ${n}: the link opens the same form`, link);
      await opened.close();
    }
  }
  for (const page of Object.values(pages)) await page.close();
  };
  await Promise.all([worker(), worker(), worker()]);
  console.log(`sessions: ${passed} of ${sessionCount} alike on the page and in the form model`);
  await contexts['.'].close();
  await contexts[','].close();
}

part('sessions');
// ---------------------------------------------------------------------------
// 3. Links: every control, and the seed.

{
  const page = await openPage();
  // A form with every control changed: each text, check, option and enabled
  // state, and the hint, opened as a design file would be.
  const crafted = await page.evaluate(() => {
    const bridge = window.brennick.bridge();
    const table = bridge.fields();
    const form = JSON.parse(JSON.stringify(table.start));
    for (const field of table.fields) {
      const control = form[field.name];
      if (field.kind === 'text') control.text = `${field.name} & = # % \u00e9 ,.`;
      if (field.kind === 'check') control.checked = !control.checked;
      if (field.kind === 'group') control.index = field.items.length - 1;
      control.enabled = !control.enabled;
    }
    form.MaxRoFLabel = 'RoF: 3-16';
    return bridge.writeDesignFile(form, '.').text;
  });
  await page.setInputFiles('#OpenFile', {name: 'all.json', mimeType: 'application/json',
                                         buffer: Buffer.from(crafted)});
  await fileRead(page, crafted);
  check(await designFile(page) === crafted, 'Open takes a design file as it is');
  // Dropped on the page: the same file opens; a file that is no design is
  // refused with its message and leaves the form as it was.
  {
    const dropOn = await openPage();
    const drop = async (name, text) => {
      const transfer = await dropOn.evaluateHandle(([n, t]) => {
        const data = new DataTransfer();
        data.items.add(new File([t], n, {type: 'application/json'}));
        return data;
      }, [name, text]);
      await dropOn.dispatchEvent('body', 'dragenter', {dataTransfer: transfer});
      const shown = await dropOn.evaluate(() => !document.getElementById('Drop').hidden);
      await dropOn.dispatchEvent('body', 'drop', {dataTransfer: transfer});
      await fileRead(dropOn, text);
      return shown;
    };
    const before = await designFile(dropOn);
    const shown = await drop('broken.json', '{"Form": ');
    check(shown && await designFile(dropOn) === before &&
          await dropOn.evaluate(() => !document.getElementById('Message').hidden &&
                                      document.getElementById('Drop').hidden),
          'a dropped file that is no design is refused and changes nothing');
    await drop('all.json', crafted);
    check(await designFile(dropOn) === crafted &&
          await dropOn.evaluate(() => document.getElementById('Message').hidden),
          'a design file dropped on the page opens as Open opens it');
    await dropOn.context().close();
  }
  const link = await page.evaluate(() => window.brennick.link());
  const opened = await openPage({hash: link});
  check(await designFile(opened) === crafted, 'a link holds every control', link);
  // The same link read where the separator is a comma: the texts are taken over.
  const german = await openPage({locale: 'de-DE', hash: link});
  const back = await german.evaluate(() => {
    const bridge = window.brennick.bridge();
    return bridge.writeDesignFile(bridge.readDesignFile(window.brennick.designFile(), '.').state, '.').text;
  });
  check(back === crafted, 'a link opens with the other separator as a design file does');
  // The page's own table of separators against the browser's number format,
  // for every language the browser has data for, and where a country writes
  // its language's numbers the other way.
  const disagree = await german.evaluate(() => {
    const languages = ('af am ar az be bg bn bs ca cs cy da de el en es et eu fa fi fil fo fr ga ' +
                       'gl gu he hi hr hu hy id is it ja ka kk km kn ko ky lb lo lt lv mk ml mn ' +
                       'mr ms my nb ne nl nn no pa pl pt ro ru si sk sl sq sr sv sw ta te th tk ' +
                       'tr uk ur uz vi zh zu').split(' ');
    const places = ['de-AT', 'de-CH', 'de-LI', 'it-CH', 'fr-CA', 'fr-CH', 'es-419', 'es-AR',
                    'es-MX', 'es-US', 'pt-BR', 'en-GB', 'en-DE', 'en-ZA', 'en-CH', 'nl-BE',
                    'ar-MA', 'ar-TN', 'sw-CD', 'de_DE', 'pt-br'];
    // Chromium's trimmed locale data gives these the root locale's point;
    // the Unicode locale data, and other browsers, a comma.
    const trimmed = new Set(['az', 'bs', 'kk', 'uz']);
    const wrong = [];
    for (const tag of [...languages, ...places]) {
      if (trimmed.has(tag)) continue;
      const known = Intl.NumberFormat.supportedLocalesOf([tag.replace('_', '-')]);
      if (!known.length || !known[0].toLowerCase().startsWith(tag.slice(0, 2))) continue;
      const decimal = new Intl.NumberFormat(tag.replace('_', '-')).formatToParts(1.5)
          .find((p) => p.type === 'decimal').value;
      const expected = decimal === ',' ? ',' : '.';  // other scripts' digits: a point
      if (window.brennick.separatorOf(tag) !== expected) wrong.push(`${tag} ${decimal}`);
    }
    return wrong;
  });
  check(disagree.length === 0, 'the separator of every language is the browser\'s',
        disagree.join(', '));
  await german.context().close();
  await opened.context().close();

  // #seed=S is design S of brennick-cli --random, and Randomize on a fresh
  // form writes it.
  for (const seed of [0, 1, 42, 123456789, 4294967295]) {
    const folder = path.join(scratch, `seed-${seed}`);
    const cli = spawnSync(cliTool, ['--random', '1', '--seed', String(seed), '--out-dir', folder],
                          {encoding: 'utf8', env: {...process.env, LC_ALL: 'C'}});
    const cliFile = fs.readFileSync(path.join(folder, `random-${seed}-0.json`), 'utf8');
    const seeded = await openPage({context: page.context(), hash: `seed=${seed}`});
    check(cli.status === 0 && await designFile(seeded) === cliFile,
          `#seed=${seed} is brennick-cli --random 1 --seed ${seed}`);
    await seeded.close();
    const fresh = await openPage({context: page.context()});
    await fresh.click('#OnlyAuto');
    await fresh.evaluate((s) => { window.brennick.nextSeed = s; }, seed);
    await fresh.click('#RandomButton');
    // The address is written after the frame that shows the form.
    await fresh.waitForFunction((s) => location.hash === `#seed=${s}`, seed, {timeout: 3000})
        .catch(() => {});
    check(new URL(fresh.url()).hash === `#seed=${seed}`, `Randomize ${seed} links #seed=${seed}`,
          fresh.url());
    // The CLI's file opened in the page: the same form, the same statblock.
    await fresh.setInputFiles('#OpenFile', path.join(folder, `random-${seed}-0.json`));
    await fileRead(fresh, cliFile);
    check(await designFile(fresh) === cliFile, `brennick-cli's design file ${seed} opens in the page`);
    await fresh.click('#DesignButton');
    const lines = await fresh.evaluate(() => window.brennick.design().lines);
    const plain = spawnSync(cliTool, [path.join(folder, `random-${seed}-0.json`)],
                            {encoding: 'utf8', env: {...process.env, LC_ALL: 'C'}});
    check(plain.stdout === lines.map((l) => `${l}\n`).join(''),
          `brennick-cli's design ${seed} designs alike in the page`);
    if (seed === 42) {
      // Copy Statblock gives what brennick-cli prints; Copy as Markdown the
      // Markdown the window's export writes, every line in it.
      await fresh.context().grantPermissions(['clipboard-read', 'clipboard-write'], {origin: base});
      await fresh.click('#CopyButton');
      const copied = await fresh.evaluate(() => navigator.clipboard.readText());
      check(copied.trimEnd() === plain.stdout.trimEnd(), 'Copy Statblock copies the statblock',
            JSON.stringify(copied.slice(0, 80)));
      await fresh.click('#CopyMarkdownButton');
      const markdown = await fresh.evaluate(() => navigator.clipboard.readText());
      check(markdown === await fresh.evaluate(() => window.brennick.design().markdown) &&
            markdown !== copied && markdown.includes(lines[0].split(' ')[0]),
            'Copy as Markdown copies the statblock as Markdown', JSON.stringify(markdown.slice(0, 80)));
    }
    await fresh.close();
  }
  await page.context().close();
}

part('links and files');
// ---------------------------------------------------------------------------
// 4. Accessibility and layout.

async function axe(page, what) {
  await page.addScriptTag({path: axeSource});
  const result = await page.evaluate(async () => window.axe.run(document, {resultTypes: ['violations']}));
  const bad = result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical');
  check(bad.length === 0, `${what}: axe-core finds nothing serious`,
        bad.map((v) => `${v.id}: ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ')}`).join('\n  '));
}

for (const scheme of ['light', 'dark']) {
  const context = await browser.newContext({viewport: {width: 1366, height: 768}, colorScheme: scheme});
  const page = await openPage({context, hash: 'seed=7'});
  await page.click('#DesignButton');
  const size = await page.evaluate(() => [document.documentElement.scrollWidth,
                                          document.documentElement.scrollHeight]);
  check(size[0] <= 1366 && size[1] <= 768, `1366 x 768 (${scheme}): form and statblock without scrolling`,
        JSON.stringify(size));
  await axe(page, `desktop, ${scheme}`);
  // A failed Design: the message beside the field, which has the focus.
  await page.fill('#BoreSizeEdit', 'abc');
  await page.click('#DesignButton');
  check(await page.evaluate(() => document.activeElement.id) === 'BoreSizeEdit',
        'a failed Design moves the focus to the field it could not read');
  check(await page.textContent('#BoreSizeEdit-fault') === "'abc' is not a valid floating point value",
        'a failed Design shows its message beside the field');
  await axe(page, `desktop with a failure, ${scheme}`);
  // Printed, the page is the statblock alone.
  await page.emulateMedia({media: 'print'});
  check(await page.isVisible('#StatblockMemo') && !(await page.isVisible('#NameEdit')) &&
        !(await page.isVisible('#DesignButton')) && !(await page.isVisible('#Label1')),
        'printed, only the statblock shows');
  await context.close();

  const phone = await browser.newContext({viewport: {width: 390, height: 844}, colorScheme: scheme,
                                          isMobile: true, hasTouch: true});
  const small = await openPage({context: phone, hash: 'seed=7'});
  await small.tap('#DesignBarButton');
  const wide = await small.evaluate(() => document.documentElement.scrollWidth);
  check(wide <= 390, `390 x 844 (${scheme}): no sideways scrolling`, String(wide));
  const top = await small.evaluate(() => document.getElementById('StatblockMemo').getBoundingClientRect().top);
  check(top >= 0 && top < 844, `390 x 844 (${scheme}): the statblock is in view after Design`, String(top));
  await axe(small, `phone, ${scheme}`);
  await phone.close();
}

await browser.close();
server.close();
fs.rmSync(scratch, {recursive: true, force: true});
console.log(failures === 0 ? `web tests: all ${checks} checks passed`
                           : `web tests: ${failures} of ${checks} checks failed`);
process.exit(failures === 0 ? 0 : 1);
