// Word count, all of it. The text of each top-level block is kept until the
// block changes, so a key press never makes the page read the whole document;
// the count itself runs in a worker made from this same module, a moment after
// the typing stops, or in the page when the engine makes no worker.

import { topBlock } from './dom.js';

// A run of Latin-1 characters counts as one word, every other character
// (each Chinese character, each full-width mark) as one; white space separates.
export function countWords(str) {
    try {
        var text = String(str);
        text = text.replace(/(\r\n+|\s+|\u3000+)/g, '\u9F98');
        text = text.replace(/[\u0000-\u00FF]/g, 'm');
        text = text.replace(/m+/g, '*');
        text = text.replace(/\u9F98+/g, '');
        return text.length;
    } catch (e) {
        return 0;
    }
}

// Loaded as the worker: each message is a text, the answer its count.
if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
    self.onmessage = function (event) {
        self.postMessage(countWords(event.data));
    };
}

// ---------------------------------------------------------------------------
// The page's side

const DELAY = 300;
const INLINE_TAGS = /^(A|ABBR|B|BDI|BDO|CITE|CODE|DEL|DFN|EM|FONT|I|IMG|INS|KBD|MARK|Q|S|SAMP|SMALL|SPAN|STRIKE|STRONG|SUB|SUP|TIME|U|VAR)$/;

let report = function () {};
let blockTexts = new WeakMap();
let changedBlocks = new Set();
let watcher = null;
let timer = 0;
let worker = null;
let inPage = false;
let lastText = '';

// The document text of node: what a code editor holds, not its language
// selector; block boundaries and line breaks separate words.
function collectText(node, out) {
    if (node.nodeType === Node.TEXT_NODE) {
        out.push(node.data);
        return;
    }
    if (node.nodeType !== Node.ELEMENT_NODE)
        return;
    var tag = node.tagName;
    if (tag === 'SELECT' || tag === 'OPTION' || tag === 'SCRIPT' || tag === 'STYLE' || tag === 'TEXTAREA')
        return;
    // Metadata, formulas and drawings are not the document's words.
    if (node.hasAttribute('data-veltrane-uncounted'))
        return;
    if (node.classList.contains('CodeMirror') && node.CodeMirror) {
        out.push('\n', node.CodeMirror.getValue(), '\n');
        return;
    }
    var block = !INLINE_TAGS.test(tag);
    if (block)
        out.push('\n');
    for (var child = node.firstChild; child; child = child.nextSibling)
        collectText(child, out);
    if (block)
        out.push('\n');
}

function blockText(node) {
    if (!changedBlocks.has(node) && blockTexts.has(node))
        return blockTexts.get(node);
    var out = [];
    collectText(node, out);
    var text = out.join('');
    blockTexts.set(node, text);
    return text;
}

function noteChanges(records) {
    for (var i = 0; i < records.length; i++) {
        var record = records[i];
        if (record.target === document.body) {
            for (var j = 0; j < record.addedNodes.length; j++)
                changedBlocks.add(record.addedNodes[j]);
        } else {
            var block = topBlock(record.target);
            if (block)
                changedBlocks.add(block);
        }
    }
}

// Follows the changes of body; each count goes to onCount.
export function watch(body, onCount) {
    report = onCount;
    watcher = new MutationObserver(noteChanges);
    watcher.observe(body, { childList: true, subtree: true, characterData: true });
}

// A new document: nothing known of its blocks.
export function reset() {
    blockTexts = new WeakMap();
    changedBlocks = new Set();
    if (watcher)
        watcher.takeRecords();
}

export function countNow() {
    if (timer)
        clearTimeout(timer);
    timer = 0;
    if (watcher)
        noteChanges(watcher.takeRecords());
    var parts = [];
    for (var node = document.body.firstChild; node; node = node.nextSibling)
        parts.push(blockText(node));
    changedBlocks.clear();
    count(parts.join('\n'));
}

export function schedule() {
    if (timer)
        clearTimeout(timer);
    timer = setTimeout(countNow, DELAY);
}

// Counts text and reports the count.
export function count(text) {
    lastText = text;
    if (!inPage && typeof Worker !== 'undefined') {
        try {
            if (!worker) {
                worker = new Worker(import.meta.url, { type: 'module' });
                worker.onmessage = function (event) {
                    report(event.data);
                };
                worker.onerror = function () {
                    // The engine refused the script.
                    countInPageFromNowOn();
                    report(countWords(lastText));
                };
            }
            worker.postMessage(text);
            return;
        } catch (e) {
            countInPageFromNowOn();
        }
    }
    report(countWords(text));
}

// Counts are made in the page from now on: no worker can be made.
export function countInPageFromNowOn() {
    if (worker)
        worker.terminate();
    worker = null;
    inPage = true;
}

// Whether counts are made off the page's thread.
export function countsInWorker() {
    return !!worker;
}
