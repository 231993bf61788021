// A long document (above LONG_DOCUMENT_BLOCKS top-level blocks) lays out only
// the blocks near the view and near the selection, and the first and the last
// (see the page's style): what a key costs the engine grows with what is laid
// out. The mark sits on the root element, which an exported page drops.

import { topBlock } from './dom.js';

const LONG_DOCUMENT_BLOCKS = 2000;
// Blocks laid out beyond the view (a few screens: scrolling and Page Down meet
// laid-out text) and around each end of the selection (the caret moves by the
// layout of the blocks it passes, and lands wrong in one that has none).
const AROUND_VIEW = 60;
const AROUND_SELECTION = 40;

const state = { on: false, view: null, selection: null, style: null };
// Why everything is laid out for now, if it is: while the search marks show
// (they measure text anywhere), while the engine's find is at work (it finds
// laid-out text only, until the page has the focus again).
const wholeFor = new Set();

// A new document of blockCount top-level blocks.
export function reset(blockCount) {
    state.on = blockCount > LONG_DOCUMENT_BLOCKS;
    wholeFor.delete('find');
    state.view = null;
    state.selection = null;
}

export function update() {
    var on = state.on && wholeFor.size === 0;
    if (document.documentElement.classList.contains('veltrane-long') !== on)
        keepingView(function () { document.documentElement.classList.toggle('veltrane-long', on); });
    if (state.on) {
        followView();
        followSelection();
    }
}

// Lays out the whole document for reason ('find', 'marks'), or no longer for it.
export function keepWhole(reason, keep) {
    if (keep)
        wholeFor.add(reason);
    else
        wholeFor.delete(reason);
    update();
}

export function keepsWhole(reason) {
    return wholeFor.has(reason);
}

// The index among the body's elements of the block holding the point, -1 when none.
function blockIndex(node, offset) {
    var block = node === document.body ? node.childNodes[Math.max(0, offset - 1)] : topBlock(node);
    while (block && block.nodeType !== Node.ELEMENT_NODE)
        block = block.previousSibling;
    return block ? Array.prototype.indexOf.call(document.body.children, block) : -1;
}

// The index of the first block whose bottom is below y (view coordinates).
function blockIndexAtY(y) {
    var blocks = document.body.children;
    var low = 0;
    var high = blocks.length - 1;
    while (low < high) {
        var middle = (low + high) >> 1;
        if (blocks[middle].getBoundingClientRect().bottom < y)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Runs change (which lays out blocks anew) so that the text at the top of the
// view stays where it is: the blocks above it may change their height.
function keepingView(change) {
    var blocks = document.body.children;
    var anchor = blocks.length > 0 ? blocks[blockIndexAtY(0)] : null;
    var before = anchor ? anchor.getBoundingClientRect().top : 0;
    change();
    if (anchor && anchor.parentNode === document.body) {
        var after = anchor.getBoundingClientRect().top;
        if (after !== before)
            window.scrollBy(0, after - before);
    }
}

function writeLayout() {
    if (!state.style) {
        state.style = document.createElement('style');
        document.head.appendChild(state.style);
    }
    var rules = [state.view, state.selection].filter(Boolean).map(function (range) {
        return 'html.veltrane-long body > :nth-child(n+' + (Math.max(0, range[0]) + 1) + '):nth-child(-n+' + (range[1] + 1) + ')';
    });
    var text = rules.length > 0 ? rules.join(',') + ' { content-visibility: visible; }' : '';
    if (state.style.textContent !== text)
        keepingView(function () { state.style.textContent = text; });
}

export function followView() {
    if (!state.on || !document.body.firstElementChild)
        return;
    var first = blockIndexAtY(0);
    var last = blockIndexAtY(window.innerHeight);
    var view = state.view;
    // Moved only once the view nears its edge: each move lays out blocks anew.
    if (view && first - view[0] >= AROUND_VIEW / 2 && view[1] - last >= AROUND_VIEW / 2)
        return;
    state.view = [first - AROUND_VIEW, last + AROUND_VIEW];
    writeLayout();
}

// Page Down and Page Up move the caret a screen at once: the blocks it may
// reach are laid out before the key moves it.
function beforePageKey(event) {
    if (!state.on || (event.key !== 'PageDown' && event.key !== 'PageUp'))
        return;
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return;
    var at = blockIndex(selection.focusNode, selection.focusOffset);
    if (at < 0)
        return;
    state.selection = [at - 2 * AROUND_SELECTION, at + 2 * AROUND_SELECTION];
    writeLayout();
}

function followSelection() {
    var selection = window.getSelection();
    var range = null;
    if (state.on && selection && selection.rangeCount > 0) {
        var anchor = blockIndex(selection.anchorNode, selection.anchorOffset);
        var focus = blockIndex(selection.focusNode, selection.focusOffset);
        if (anchor >= 0 && focus >= 0)
            range = [Math.min(anchor, focus) - AROUND_SELECTION, Math.max(anchor, focus) + AROUND_SELECTION];
    }
    var old = state.selection;
    if (old === range || (old && range && old[0] === range[0] && old[1] === range[1]))
        return;
    state.selection = range;
    writeLayout();
}

export function install() {
    document.addEventListener('selectionchange', followSelection);
    document.addEventListener('keydown', beforePageKey, true);
    window.addEventListener('scroll', followView, { passive: true });
    window.addEventListener('resize', followView);
}
