// Brennick in the browser: the design form built from the field table, every
// change sent through the form model's rules, Design, Randomize, undo, links,
// design files and the armoury. Every rule, caption, message and statblock
// comes from the bridge (web/bridge.cpp); this file only shows them.
import {loadBridge} from './bridge.js';

const $ = (id) => document.getElementById(id);
const sameState = (a, b) => JSON.stringify(a) === JSON.stringify(b);

let bridge;
let fields = [];          // the field table, in the form's order
let byName = new Map();   // field name -> field
let startState;           // the start form
let state;                // the form now
let sep = '.';            // the decimal separator numbers are typed with
let design = null;        // the last Design's answer, with the form it was made from
let lastSeed = null;      // the seed of the last Randomize, while the form is its result

// ---------------------------------------------------------------------------
// Undo and redo, as the window keeps them: a step is the whole form before one
// change; typing into one field is one step until the focus leaves it, and
// typing it back to where the step began takes the step away.

const history = {
  undo: [],
  redo: [],
  typing: '',
  depth: 500,
  changed(before, after, typing = '') {
    if (sameState(before, after)) return;
    const sameTyping = typing !== '' && typing === this.typing && this.undo.length > 0;
    this.typing = typing;
    this.redo = [];
    if (sameTyping) {
      if (sameState(after, this.undo[this.undo.length - 1])) {
        this.undo.pop();
        this.typing = '';
      }
      return;
    }
    this.undo.push(before);
    if (this.undo.length > this.depth) this.undo.shift();
  },
  endTyping() { this.typing = ''; },
};

function undo() {
  if (history.undo.length === 0) return;
  history.typing = '';
  history.redo.push(state);
  showState(history.undo.pop(), {everything: true});
  afterChange();
}

function redo() {
  if (history.redo.length === 0) return;
  history.typing = '';
  history.undo.push(state);
  showState(history.redo.pop(), {everything: true});
  afterChange();
}

// ---------------------------------------------------------------------------
// Messages

function tell(text) {
  const box = $('Message');
  box.textContent = text;
  box.hidden = text === '';
}

// The bridge's answer, or null after telling its error.
function answered(answer) {
  if (answer.error && !answer.state) {
    tell(answer.error);
    return null;
  }
  if (answer.error) tell(answer.error);
  return answer;
}

// ---------------------------------------------------------------------------
// Building the form from the field table

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (key === 'text') node.textContent = value;
    else node.setAttribute(key, value === true ? '' : value);
  }
  for (const child of children) if (child) node.append(child);
  return node;
}

const sectionOrder = ['Input', 'Output', 'Additional Features', 'Feature options'];
const sectionIds = {
  'Input': 'InputSection',
  'Output': 'OutputSection',
  'Additional Features': 'FeaturesSection',
  'Feature options': 'OptionsSection',
};

function textControl(field, controls) {
  const wrap = element('div', {class: 'field text', 'data-field': field.name});
  const label = element('label', {for: field.name, id: field.label, text: field.caption,
                                  title: field.tooltip});
  const input = element('input', {type: 'text', id: field.name, name: field.name,
                                  maxlength: 32767, autocomplete: 'off', spellcheck: 'false',
                                  title: field.tooltip, 'aria-describedby': `${field.name}-fault`});
  wrap.append(label, input);
  if (field.name === 'BoreSizeEdit') {
    wrap.append(element('span', {id: 'Label5', class: 'note', title: controls.Label5,
                                 text: 'Grav Needle = 3 mm'}));
  }
  wrap.append(element('span', {id: `${field.name}-fault`, class: 'fault', hidden: true}));
  if (field.name === 'RoFEdit') {
    wrap.append(element('output', {id: 'MaxRoFLabel', for: 'RoFEdit', class: 'hint',
                                   title: controls.MaxRoFLabel, 'aria-live': 'polite'}));
  }
  input.addEventListener('input', () => change(field, input.value, field.name));
  input.addEventListener('blur', () => history.endTyping());
  return wrap;
}

function groupControl(field) {
  const set = element('fieldset', {id: field.name, class: 'field group', title: field.tooltip,
                                   'data-field': field.name});
  set.append(element('legend', {text: field.caption}));
  field.items.forEach((item, k) => {
    const radio = element('input', {type: 'radio', name: field.name, value: k,
                                    id: `${field.name}-${k}`});
    radio.addEventListener('change', () => { if (radio.checked) change(field, k); });
    set.append(element('label', {class: 'item', for: `${field.name}-${k}`}, radio,
                       document.createTextNode(item)));
  });
  return set;
}

function checkControl(field) {
  const box = element('input', {type: 'checkbox', id: field.name, name: field.name});
  box.addEventListener('change', () => change(field, box.checked));
  return element('label', {class: 'field check', title: field.tooltip, 'data-field': field.name,
                           for: field.name}, box, document.createTextNode(field.caption));
}

function outputSection(controls) {
  const parts = document.createDocumentFragment();
  const buttons = element('div', {class: 'buttons'});
  const designButton = element('button', {type: 'button', id: 'DesignButton', class: 'primary',
                                          title: `${controls.DesignButton} (Ctrl+Enter)`,
                                          text: 'Design', 'aria-keyshortcuts': 'Control+Enter'});
  const randomButton = element('button', {type: 'button', id: 'RandomButton',
                                          title: controls.RandomButton, text: 'Randomize'});
  designButton.addEventListener('click', runDesign);
  randomButton.addEventListener('click', () => randomize());
  buttons.append(designButton, randomButton);
  parts.append(buttons);
  parts.append(element('p', {id: 'StatblockNote', class: 'note', role: 'status', hidden: true}));
  const memo = element('ol', {id: 'StatblockMemo', class: 'statblock', 'aria-label': 'Statblock',
                              title: controls.StatblockMemo});
  parts.append(memo);
  parts.append(element('div', {id: 'DerivationPanel', class: 'derivation', role: 'region',
                               'aria-label': 'Derivation', 'aria-live': 'polite'}));
  return {parts, buttons};
}

function buildForm(table) {
  const main = $('Form');
  main.textContent = '';
  const sections = new Map();
  const blocks = new Map();
  const frames = new Map();
  const phone = window.matchMedia('(max-width: 720px)').matches;
  for (const title of sectionOrder) {
    const id = sectionIds[title];
    const details = element('details', {class: 'section', id: `${id}Details`});
    details.open = !phone || title === 'Input' || title === 'Output';
    const summary = element('summary', {}, element('h2', {text: title, id: `${id}Heading`}));
    const set = element('fieldset', {id, class: `body ${id}`});
    set.append(element('legend', {class: 'visually-hidden', text: title}));
    details.append(summary, set);
    main.append(element('section', {class: `region ${id}`, 'aria-labelledby': `${id}Heading`},
                        details));
    sections.set(title, set);
  }
  const output = outputSection(table.controls);
  sections.get('Output').append(output.parts);
  for (const name of table.order) {
    const field = byName.get(name);
    const node = field.kind === 'text' ? textControl(field, table.controls)
               : field.kind === 'group' ? groupControl(field)
               : checkControl(field);
    const set = sections.get(field.section);
    let parent = set;
    if (field.section === 'Output') {
      parent = output.buttons;
    } else {
      const blockKey = `${field.section}/${field.block}`;
      if (!blocks.has(blockKey)) {
        const block = element('div', {class: `block ${field.block}`});
        set.append(block);
        blocks.set(blockKey, block);
      }
      parent = blocks.get(blockKey);
    }
    if (field.frame) {
      if (!frames.has(field.frame)) {
        const frame = element('fieldset', {class: 'frame'}, element('legend', {text: field.frame}));
        frames.set(field.frame, frame);
        parent.append(frame);
      }
      parent = frames.get(field.frame);
    }
    parent.append(node);
  }
  // The Output column stands second on the page, before the features.
  main.setAttribute('aria-busy', 'false');
}

// ---------------------------------------------------------------------------
// Showing the form

function setEnabled(node, enabled) {
  if (!node) return;
  node.classList.toggle('disabled', !enabled);
}

function showState(next, {everything = false} = {}) {
  const previous = state;
  state = next;
  for (const field of fields) {
    const now = next[field.name];
    const was = previous && previous[field.name];
    if (!everything && was && JSON.stringify(now) === JSON.stringify(was)) continue;
    if (field.kind === 'text') {
      const input = $(field.name);
      if (input.value !== now.text) input.value = now.text;
      input.disabled = !now.enabled;
      setEnabled(input.closest('.field'), now.enabled);
    } else if (field.kind === 'check') {
      const box = $(field.name);
      box.checked = now.checked;
      box.disabled = !now.enabled;
      setEnabled(box.closest('.field'), now.enabled);
    } else {
      const set = $(field.name);
      set.disabled = !now.enabled;
      setEnabled(set, now.enabled);
      for (const radio of set.querySelectorAll('input[type=radio]')) {
        radio.checked = Number(radio.value) === now.index;
      }
    }
  }
  $('MaxRoFLabel').textContent = next.MaxRoFLabel;
}

// After every change: the buttons, the link and whether the statblock shows
// the form.
function afterChange() {
  $('UndoButton').disabled = history.undo.length === 0;
  $('RedoButton').disabled = history.redo.length === 0;
  writeLink();
  markStale();
}

// One change by the user: the control's rule runs in the form model.
function change(field, value, typing = '') {
  const before = state;
  const answer = answered(bridge.apply(state, field.name, value, sep));
  if (!answer) {
    showState(state, {everything: true});  // the control shows the form's value again
    return;
  }
  if (!answer.error) tell('');
  lastSeed = null;
  clearFault();
  showState(answer.state);
  history.changed(before, answer.state, typing);
  afterChange();
}

// A whole form put in place: New, Open, a link, the separator switched.
function replace(next, {undoable = true} = {}) {
  const before = state;
  history.typing = '';
  showState(next, {everything: true});
  if (!sameState(before, next)) {
    history.redo = [];
    if (undoable) history.undo.push(before);
  }
  afterChange();
}

// A key the page itself received (not typed into a control): the Max RoF hint.
function pageKey() {
  const before = state;
  const answer = answered(bridge.keypress(state, sep));
  if (!answer) return;
  showState(answer.state);
  history.changed(before, answer.state);
  afterChange();
}

// ---------------------------------------------------------------------------
// Design and the derivations

function clearFault() {
  for (const fault of document.querySelectorAll('.fault:not([hidden])')) {
    fault.hidden = true;
    fault.textContent = '';
    const input = $(fault.id.replace(/-fault$/, ''));
    if (input) input.removeAttribute('aria-invalid');
  }
}

function runDesign() {
  const answer = bridge.design(state, sep);
  if (answer.error) {
    tell(answer.error);
    return;
  }
  tell('');
  clearFault();
  design = {answer, state, sep, explain: new Map()};
  const memo = $('StatblockMemo');
  memo.textContent = '';
  answer.lines.forEach((line, i) => {
    memo.append(element('li', {tabindex: 0, 'data-line': i, text: line}));
  });
  const note = $('StatblockNote');
  note.hidden = true;
  note.removeAttribute('data-line');
  $('DerivationPanel').textContent = '';
  if (answer.failed !== undefined) {
    note.textContent = answer.field ? `Design failed: ${answer.caption}` : answer.failed;
    note.hidden = false;
    note.tabIndex = 0;
    note.dataset.line = String(answer.lines.length);
    if (answer.field) {
      const fault = $(`${answer.field}-fault`);
      fault.textContent = answer.failed;
      fault.hidden = false;
      const input = $(answer.field);
      input.setAttribute('aria-invalid', 'true');
      // The field the run could not read, ready to be typed over.
      input.closest('details').open = true;
      if (!input.disabled) {
        input.focus();
        input.select();
      }
    } else {
      tell(answer.failed);
    }
  } else if (window.matchMedia('(max-width: 720px)').matches) {
    // On a phone the statblock is below the form: it comes into view.
    $('OutputSectionDetails').open = true;
    memo.scrollIntoView({block: 'start'});
  }
  markStale();
}

function showDerivation(line) {
  if (!design) return;
  // Worked out when first looked at, for the form the statblock is of.
  if (!design.explain.has(line)) {
    const answer = bridge.explain(design.state, line, design.sep);
    design.explain.set(line, answer.error ? null : answer.derivation);
  }
  const steps = design.explain.get(line);
  const panel = $('DerivationPanel');
  panel.textContent = '';
  if (!steps) return;
  for (const item of memoItems()) item.classList.toggle('current', Number(item.dataset.line) === line);
  const list = element('ol');
  for (const step of steps) list.append(element('li', {text: step}));
  panel.append(list);
}

function memoItems() {
  return $('StatblockMemo').querySelectorAll('li');
}

// Whether the statblock shows the form as it is now.
function markStale() {
  const stale = design !== null && !sameState(design.state, state);
  $('StatblockMemo').classList.toggle('stale', stale);
  const note = $('StatblockNote');
  if (stale && note.hidden) {
    note.textContent = 'The form has changed since this statblock: Design (Ctrl+Enter) updates it';
    note.hidden = false;
    note.dataset.stale = '1';
  } else if (!stale && note.dataset.stale) {
    note.hidden = true;
    delete note.dataset.stale;
  }
}

// ---------------------------------------------------------------------------
// Randomize

function randomSeed() {
  // A test may name the next seed, as the window's tests set its clock.
  if (window.brennick.nextSeed !== undefined) {
    const seed = window.brennick.nextSeed;
    delete window.brennick.nextSeed;
    return seed;
  }
  const words = new Uint32Array(1);
  crypto.getRandomValues(words);
  return words[0];
}

function randomize(seed = randomSeed()) {
  const before = state;
  const answer = answered(bridge.randomize(state, seed, sep));
  if (!answer) return;
  if (!answer.error) tell('');
  clearFault();
  showState(answer.state);
  history.changed(before, answer.state);
  // The link names the seed when the form is what the seed makes on a fresh form.
  const fresh = bridge.randomize(startState, seed, sep, answer.state.OnlyAuto.checked);
  lastSeed = !fresh.error && sameState(fresh.state, answer.state)
      ? {seed, auto: answer.state.OnlyAuto.checked} : null;
  afterChange();
}

// ---------------------------------------------------------------------------
// Links: the fragment holds what differs from the start form, or the seed.

function linkOf(form) {
  if (lastSeed && sameState(form, state)) {
    return `seed=${lastSeed.seed}${lastSeed.auto ? '&auto=1' : ''}${sep === ',' ? '&sep=,' : ''}`;
  }
  const parts = [];
  const on = [];
  const off = [];
  for (const field of fields) {
    const now = form[field.name];
    const then = startState[field.name];
    if (field.kind === 'text' && now.text !== then.text) {
      parts.push(`${field.name}=${encodeURIComponent(now.text)}`);
    } else if (field.kind === 'check' && now.checked !== then.checked) {
      parts.push(`${field.name}=${now.checked ? 1 : 0}`);
    } else if (field.kind === 'group' && now.index !== then.index) {
      parts.push(`${field.name}=${now.index}`);
    }
    if (now.enabled !== then.enabled) (now.enabled ? on : off).push(field.name);
  }
  if (on.length) parts.push(`on=${on.join(',')}`);
  if (off.length) parts.push(`off=${off.join(',')}`);
  if (form.MaxRoFLabel !== startState.MaxRoFLabel) {
    parts.push(`hint=${encodeURIComponent(form.MaxRoFLabel)}`);
  }
  if (parts.length && sep === ',') parts.push('sep=,');
  return parts.join('&');
}

// The address is written once the page is idle after the change: the browser
// takes several milliseconds over a new address (up to 25 ms measured), which
// would hold back the frame that shows the change, and a burst of changes
// then writes it once.
const whenIdle = window.requestIdleCallback
    ? (work) => window.requestIdleCallback(work, {timeout: 500})
    : (work) => setTimeout(work, 50);
let linkPending = false;
function writeLink() {
  if (linkPending) return;
  linkPending = true;
  whenIdle(() => {
    linkPending = false;
    const fragment = linkOf(state);
    const url = fragment ? `#${fragment}` : location.pathname + location.search;
    if (location.hash.slice(1) !== fragment) history_.replaceState(null, '', url);
  });
}
const history_ = window.history;

// The form a fragment names, or an error message.
function formOfLink(fragment) {
  const keys = new Map();
  for (const part of fragment.split('&')) {
    if (part === '') continue;
    const at = part.indexOf('=');
    const key = at < 0 ? part : part.slice(0, at);
    let value = at < 0 ? '' : part.slice(at + 1);
    try {
      value = decodeURIComponent(value);
    } catch {
      return {error: `The link's "${key}" is not properly encoded.`};
    }
    keys.set(key, value);
  }
  const linkSep = keys.get('sep') === ',' ? ',' : '.';
  if (keys.has('seed')) {
    const text = keys.get('seed');
    if (!/^\d{1,10}$/.test(text) || Number(text) > 0xFFFFFFFF) {
      return {error: `The link's seed "${text}" is not a number from 0 to 4294967295.`};
    }
    const answer = bridge.randomize(startState, Number(text), linkSep, keys.get('auto') === '1');
    if (answer.error) return {error: answer.error};
    return {state: answer.state, linkSep, seed: {seed: Number(text), auto: keys.get('auto') === '1'}};
  }
  const form = JSON.parse(JSON.stringify(startState));
  for (const [key, value] of keys) {
    if (key === 'sep') continue;
    if (key === 'on' || key === 'off') {
      for (const name of value.split(',')) {
        if (!form[name]) return {error: `The link names no control "${name}".`};
        form[name].enabled = key === 'on';
      }
      continue;
    }
    if (key === 'hint') {
      form.MaxRoFLabel = value;
      continue;
    }
    const field = byName.get(key);
    if (!field) return {error: `The link names no control "${key}".`};
    if (field.kind === 'text') form[key].text = value;
    else if (field.kind === 'check') form[key].checked = value === '1';
    else form[key].index = /^-?\d+$/.test(value) ? Number(value) : NaN;
  }
  // Read back as a design file would be: the bridge checks every value (an
  // item that does not exist, a hint the form never shows).
  const written = bridge.writeDesignFile(form, linkSep);
  if (written.error) return {error: `The link does not hold a design: ${written.error}`};
  const read = bridge.readDesignFile(written.text, linkSep);
  if (read.error) return {error: `The link does not hold a design: ${read.error}`};
  return {state: read.state, linkSep};
}

function openLink() {
  const fragment = location.hash.slice(1);
  if (fragment === '') return;
  const opened = formOfLink(fragment);
  if (opened.error) {
    tell(opened.error);
    return;
  }
  let form = opened.state;
  if (opened.linkSep !== sep) form = convert(form, opened.linkSep, sep);
  if (!form) return;
  // The seed first, so that the link is written once, as it was opened.
  lastSeed = opened.seed && opened.linkSep === sep ? opened.seed : null;
  history.undo = [];
  replace(form, {undoable: false});
}

// ---------------------------------------------------------------------------
// The decimal separator: the texts are taken over as a design file written
// with one separator is read with the other.

function convert(form, from, to) {
  const written = bridge.writeDesignFile(form, from);
  const read = written.error ? written : bridge.readDesignFile(written.text, to);
  if (read.error) {
    tell(read.error);
    return null;
  }
  return read.state;
}

// The separator of the browser's language, from the tables below rather than
// the browser's number formatting, whose locale data takes 30 to 50 ms to
// load on a first use, longer than everything else the page does to start.
// The languages that write one and a half as 1,5 (with Latin digits):
const commaLanguages = new Set(('af az be bg bs ca cs da de el es et eu fi fo fr gl hr hu hy id ' +
                                'is it ka kk ky lb lt lv mk nb nl nn no pl pt ro ru sk sl sq sr ' +
                                'sv tk tr uk uz vi').split(' '));
// ... and the countries where a language writes it the other way.
const pointRegions = new Set(['de-CH', 'de-LI', 'it-CH', 'es-419', 'es-BR', 'es-CU', 'es-DO',
                              'es-GT', 'es-HN', 'es-MX', 'es-NI', 'es-PA', 'es-PE', 'es-PR',
                              'es-SV', 'es-US']);
const commaRegions = new Set(['en-150', 'en-AT', 'en-BE', 'en-CZ', 'en-DE', 'en-DK', 'en-EE',
                              'en-ES', 'en-FI', 'en-FR', 'en-HU', 'en-IT', 'en-LT', 'en-LV',
                              'en-NL', 'en-NO', 'en-PL', 'en-PT', 'en-RO', 'en-SE', 'en-SI',
                              'en-SK', 'en-UA', 'en-ZA', 'ar-DZ', 'ar-LY', 'ar-MA', 'ar-TN',
                              'qu-BO', 'sw-CD']);

function separatorOf(tag) {
  const [language = '', ...subtags] = String(tag || '').split(/[-_]/);
  const lang = language.toLowerCase();
  const region = subtags.find((part) => /^([A-Za-z]{2}|[0-9]{3})$/.test(part));
  const place = region ? `${lang}-${region.toUpperCase()}` : '';
  if (commaRegions.has(place)) return ',';
  if (pointRegions.has(place)) return '.';
  return commaLanguages.has(lang) ? ',' : '.';
}

function browserSeparator() {
  return separatorOf(navigator.language);
}

function setSeparator(next) {
  if (next === sep) return;
  const form = convert(state, sep, next);
  if (!form) {
    $('SeparatorBox').value = sep;
    return;
  }
  // The steps to undo are taken over too, so an undo brings back a form
  // typed with the separator in use; the switch itself is no step.
  const from = sep;
  const take = (steps) => steps.map((step) => convert(step, from, next) || step);
  history.undo = take(history.undo);
  history.redo = take(history.redo);
  history.typing = '';
  sep = next;
  try {
    localStorage.setItem('brennick.separator', next);
  } catch {
    // A page without storage keeps the choice for this visit.
  }
  lastSeed = null;
  showState(form, {everything: true});
  afterChange();
  if (design) runDesign();
}

// ---------------------------------------------------------------------------
// Design files

function openFileText(text) {
  const answer = bridge.readDesignFile(text, sep);
  if (answer.error) {
    tell(answer.error);
    return false;
  }
  tell('');
  lastSeed = null;
  replace(answer.state);
  return true;
}

async function openFile(file) {
  if (!file) return;
  // A design file is small; a big one is refused before it is read.
  if (file.size > 16 * 1024 * 1024) {
    tell(`'${file.name}' is too large to be a design file.`);
    return;
  }
  openFileText(await file.text());
}

function download(name, text, type) {
  const url = URL.createObjectURL(new Blob([text], {type}));
  const link = element('a', {href: url, download: name});
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function fileNameOf(form) {
  const name = form.NameEdit.text.replace(/[\u0000-\u001f/\\:*?"<>|]+/g, ' ').trim();
  return `${name || 'design'}.json`;
}

function save() {
  const answer = bridge.writeDesignFile(state, sep);
  if (answer.error) {
    tell(answer.error);
    return;
  }
  download(fileNameOf(state), answer.text, 'application/json');
}

async function copy(text) {
  try {
    await navigator.clipboard.writeText(text);
    tell('');
  } catch {
    tell('The browser did not let the page copy; select the statblock and copy it instead.');
  }
}

// ---------------------------------------------------------------------------
// The armoury: several design files as one weapon table

const armoury = {files: [], answer: null, sortColumn: -1, ascending: true};

async function openArmoury(fileList) {
  const files = [...fileList];
  armoury.files = [];
  for (const file of files) {
    if (file.size > 16 * 1024 * 1024) {
      tell(`'${file.name}' is too large to be a design file.`);
      continue;
    }
    armoury.files.push({name: file.name, text: await file.text()});
  }
  const answer = bridge.table(armoury.files.map((f) => f.text), sep);
  if (answer.error) {
    tell(answer.error);
    return;
  }
  armoury.answer = answer;
  showArmoury();
}

function compareRows(a, b, column) {
  const fa = a.figures[column];
  const fb = b.figures[column];
  if (fa !== null && fb !== null && fa !== fb) return fa - fb;
  if (fa !== null && fb === null) return -1;
  if (fa === null && fb !== null) return 1;
  if (column === 2 && a.damageAdds !== null && b.damageAdds !== null) {
    if (a.damageAdds !== b.damageAdds) return a.damageAdds - b.damageAdds;
  }
  return a.cells[column] < b.cells[column] ? -1 : a.cells[column] > b.cells[column] ? 1 : 0;
}

function showArmoury() {
  const answer = armoury.answer;
  if (!answer) return;
  const table = $('ArmouryTable');
  const head = table.tHead.rows[0];
  head.textContent = '';
  answer.columns.forEach((title, c) => {
    const button = element('button', {type: 'button', text: title, class: 'sort'});
    button.addEventListener('click', () => {
      armoury.ascending = armoury.sortColumn === c ? !armoury.ascending : true;
      armoury.sortColumn = c;
      showArmoury();
    });
    const sort = armoury.sortColumn !== c ? 'none' : armoury.ascending ? 'ascending' : 'descending';
    head.append(element('th', {scope: 'col', 'aria-sort': sort}, button));
  });
  const filter = $('ArmouryFilter').value.toLocaleLowerCase();
  let rows = answer.rows.map((row, i) => ({...row, i}));
  if (filter) rows = rows.filter((row) => row.cells[0].toLocaleLowerCase().includes(filter));
  if (armoury.sortColumn >= 0) {
    rows.sort((a, b) => compareRows(a, b, armoury.sortColumn) || a.i - b.i);
    if (!armoury.ascending) rows.reverse();
  }
  const body = table.tBodies[0];
  body.textContent = '';
  for (const row of rows) {
    const tr = element('tr');
    row.cells.forEach((cell, c) => {
      if (c === 0 && armoury.files[row.i]) {
        const open = element('button', {type: 'button', class: 'link', text: cell || '(no name)',
                                        title: 'Open this design in the form'});
        open.addEventListener('click', () => {
          if (openFileText(armoury.files[row.i].text)) $('NameEdit').focus();
        });
        tr.append(element('td', {}, open));
      } else {
        tr.append(element('td', {text: cell}));
      }
    });
    body.append(tr);
  }
}

// ---------------------------------------------------------------------------
// Keys and the page's own controls

function bindPage() {
  $('NewButton').addEventListener('click', () => {
    lastSeed = null;
    replace(JSON.parse(JSON.stringify(startState)));
  });
  $('OpenFile').addEventListener('change', async (event) => {
    await openFile(event.target.files[0]);
    event.target.value = '';
  });
  $('SaveButton').addEventListener('click', save);
  $('DesignBarButton').addEventListener('click', runDesign);
  $('StatblockBarButton').addEventListener('click', () => {
    $('OutputSectionDetails').open = true;
    $('StatblockMemo').scrollIntoView({block: 'start'});
  });
  $('FormBarButton').addEventListener('click', () => window.scrollTo(0, 0));
  $('UndoButton').addEventListener('click', undo);
  $('RedoButton').addEventListener('click', redo);
  $('CopyButton').addEventListener('click', () => {
    if (design) copy(design.answer.plain);
  });
  $('CopyMarkdownButton').addEventListener('click', () => {
    if (design) copy(design.answer.markdown);
  });
  $('PrintButton').addEventListener('click', () => window.print());
  $('SeparatorBox').addEventListener('change', (event) => setSeparator(event.target.value));
  $('ArmouryFiles').addEventListener('change', (event) => openArmoury(event.target.files));
  $('ArmouryFilter').addEventListener('input', showArmoury);
  $('ArmouryMarkdown').addEventListener('click', () => {
    if (armoury.answer) copy(armoury.answer.markdown);
  });
  $('ArmouryCsv').addEventListener('click', () => {
    if (armoury.answer) download('armoury.csv', armoury.answer.csv, 'text/csv');
  });

  const memo = $('StatblockMemo');
  const lineOf = (target) => {
    const item = target.closest('li[data-line], #StatblockNote');
    return item && item.dataset.line !== undefined ? Number(item.dataset.line) : null;
  };
  for (const type of ['click', 'focusin']) {
    memo.addEventListener(type, (event) => {
      const line = lineOf(event.target);
      if (line !== null) showDerivation(line);
    });
    $('StatblockNote').addEventListener(type, () => {
      const line = $('StatblockNote').dataset.line;
      if (line !== undefined) showDerivation(Number(line));
    });
  }
  memo.addEventListener('keydown', (event) => {
    const item = event.target.closest('li');
    if (!item) return;
    const next = event.key === 'ArrowDown' ? item.nextElementSibling
               : event.key === 'ArrowUp' ? item.previousElementSibling : null;
    if (next) {
      event.preventDefault();
      next.focus();
    }
  });

  document.addEventListener('keydown', (event) => {
    const ctrl = event.ctrlKey || event.metaKey;
    const key = event.key.toLowerCase();
    const inText = event.target instanceof HTMLInputElement && event.target.type === 'text';
    if (ctrl && event.key === 'Enter') {
      event.preventDefault();
      runDesign();
    } else if (ctrl && !event.shiftKey && key === 'z' && !inText) {
      event.preventDefault();
      undo();
    } else if (ctrl && (key === 'y' || (event.shiftKey && key === 'z')) && !inText) {
      event.preventDefault();
      redo();
    } else if (ctrl && key === 's') {
      event.preventDefault();
      save();
    } else if (ctrl && key === 'o') {
      event.preventDefault();
      $('OpenFile').click();
    } else if (ctrl && key === 'z' && inText) {
      // The form's undo, not the text field's own: the step is the form's.
      event.preventDefault();
      if (event.shiftKey) redo(); else undo();
    } else if (ctrl && key === 'y' && inText) {
      event.preventDefault();
      redo();
    } else if (!ctrl && !event.altKey && event.key.length === 1 &&
               (event.target === document.body || event.target === document.documentElement)) {
      pageKey();
    }
  });

  // Drag and drop of a design file anywhere on the page.
  let dragging = 0;
  document.addEventListener('dragenter', (event) => {
    if (![...event.dataTransfer.types].includes('Files')) return;
    dragging += 1;
    $('Drop').hidden = false;
  });
  document.addEventListener('dragleave', () => {
    dragging = Math.max(0, dragging - 1);
    if (dragging === 0) $('Drop').hidden = true;
  });
  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    dragging = 0;
    $('Drop').hidden = true;
    const file = event.dataTransfer.files[0];
    if (file) openFile(file);
  });
  window.addEventListener('hashchange', () => {
    if (location.hash.slice(1) !== linkOf(state)) openLink();
  });
}

// ---------------------------------------------------------------------------
// Start

// The field table the site was built with (fields.json, written by the bridge
// itself), or the bridge's own where the file cannot be fetched.
async function fieldTable() {
  try {
    const response = await fetch('fields.json');
    if (response.ok) return await response.json();
  } catch {
    // Asked of the bridge below.
  }
  return null;
}

async function start() {
  // The module compiles while the form is built from the table; the form
  // takes no input until the module can run its rules.
  const loading = loadBridge();
  const main = $('Form');
  main.inert = true;
  let table = await fieldTable();
  if (!table) {
    bridge = await loading;
    table = bridge.fields();
  }
  fields = table.fields;
  byName = new Map(fields.map((f) => [f.name, f]));
  startState = table.start;
  let stored = null;
  try {
    stored = localStorage.getItem('brennick.separator');
  } catch {
    stored = null;
  }
  sep = stored === ',' || stored === '.' ? stored : browserSeparator();
  $('SeparatorBox').value = sep;
  buildForm(table);
  showState(startState, {everything: true});
  bridge = await loading;
  main.inert = false;
  bindPage();
  openLink();
  afterChange();
  document.body.dataset.ready = '1';
  window.brennick.readyAt = performance.now();
  // The first run of each kind compiles its code in the browser, which took
  // 20 ms on a slow machine; done once now, while the page waits for the
  // user, the first Design and Randomize take what later ones take.
  setTimeout(() => {
    const random = bridge.randomize(startState, 1, sep);
    if (!random.error) bridge.design(random.state, sep);
  }, 0);
}

// What the browser tests read: the form as a design file, and the session's
// own steps by name.
window.brennick = {
  designFile: () => bridge.writeDesignFile(state, sep).text,
  state: () => state,
  separator: () => sep,
  separatorOf,
  design: () => design && design.answer,
  randomize,
  link: () => linkOf(state),
  stateText: () => JSON.stringify([state, history.undo.length > 0, history.redo.length > 0]),
  // The page as it opens, without loading it again.
  reset: () => {
    history.undo = [];
    history.redo = [];
    history.typing = '';
    lastSeed = null;
    design = null;
    $('StatblockMemo').textContent = '';
    $('DerivationPanel').textContent = '';
    clearFault();
    tell('');
    showState(startState, {everything: true});
    afterChange();
  },
  bridge: () => bridge,
};

start().catch((error) => {
  // In place of the form, which may be half built: it cannot run.
  const text = `The designer could not start: ${error && error.message ? error.message : error}`;
  $('Form').replaceChildren(element('p', {id: 'Loading', class: 'loading', text}));
  $('Form').inert = false;
});
