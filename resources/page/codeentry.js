// How the caret gets into a code block: a press, the focus, a selection put
// there (find's match) or an arrow key make a static block live, with the
// caret where it was meant to be.

import { activateCodeBlock, codeBlockOf, codeBlockSelector, isStaticCodeBlock } from './codeblocks.js';
import { blockOf, isInCodeEditor, selectionRange } from './dom.js';

// The offset in the text of element of the point (node, offset) inside it.
function textOffsetIn(element, node, offset) {
    var range = document.createRange();
    range.selectNodeContents(element);
    try {
        range.setEnd(node, offset);
    } catch (e) {
        return 0;
    }
    return range.toString().length;
}

// Makes a block live and puts the caret at offset (-1: the end) of its text;
// focus says whether the editor takes the keyboard.
export function enterCodeBlock(pre, offset, focus, selectionEnd) {
    var editor = activateCodeBlock(pre);
    var doc = editor.getDoc();
    var length = doc.getValue().length;
    var from = doc.posFromIndex(offset < 0 ? length : Math.min(offset, length));
    var to = typeof selectionEnd === 'number' ? doc.posFromIndex(Math.min(selectionEnd, length)) : from;
    if (focus)
        editor.focus();
    doc.setSelection(from, to);
    return editor;
}

// A press on a static block: the editor takes its place with the caret where
// the press was.
function onMouseDown(event) {
    var pre = codeBlockOf(event.target);
    if (!isStaticCodeBlock(pre) || event.button !== 0)
        return;
    var offset = -1;
    var point = document.caretRangeFromPoint ? document.caretRangeFromPoint(event.clientX, event.clientY) : null;
    if (point && pre.contains(point.startContainer))
        offset = textOffsetIn(pre.firstElementChild || pre, point.startContainer, point.startOffset);
    event.preventDefault();
    enterCodeBlock(pre, offset, true);
}

// Focus (a static block can take it) or a selection put into a static block
// (find's match) make it live; the selection moves into the editor.
function onFocusIn(event) {
    var pre = codeBlockOf(event.target);
    if (isStaticCodeBlock(pre) && event.target === pre)
        enterCodeBlock(pre, 0, true);
}

function onSelectionChange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return;
    var pre = codeBlockOf(selection.anchorNode);
    if (!isStaticCodeBlock(pre))
        return;
    var range = selection.getRangeAt(0);
    var code = pre.firstElementChild || pre;
    var start = pre.contains(range.startContainer) ? textOffsetIn(code, range.startContainer, range.startOffset) : 0;
    var end = pre.contains(range.endContainer) ? textOffsetIn(code, range.endContainer, range.endOffset) : -1;
    var focused = document.activeElement && document.body.contains(document.activeElement);
    enterCodeBlock(pre, start, focused, end < 0 ? undefined : end);
}

// Arrow keys: the browser's caret passes over a block it cannot enter. When
// a key moved the caret past one (or could not move below or above the text
// next to it), the caret goes into the first such block instead.
function caretPoint() {
    var range = selectionRange();
    return range ? { node: range.startContainer, offset: range.startOffset, block: blockOf(range.startContainer) } : null;
}

function isBefore(node, offset, other) {
    var range = document.createRange();
    range.setStart(node, offset);
    return range.comparePoint(other, 0) > 0;
}

function codeBlockPassed(before, after, forward) {
    var pres = document.body.querySelectorAll(codeBlockSelector);
    var candidate = null;
    for (var i = 0; i < pres.length; i++) {
        var pre = forward ? pres[i] : pres[pres.length - 1 - i];
        if (!pre.veltraneBlock || pre.contains(before.node))
            continue;
        if (isBefore(before.node, before.offset, pre) === forward) {
            candidate = pre;
            break;
        }
    }
    if (!candidate)
        return null;
    var moved = after.node !== before.node || after.offset !== before.offset;
    if (moved)
        return isBefore(after.node, after.offset, candidate) !== forward ? candidate : null;
    var neighbour = forward ? before.block.nextElementSibling : before.block.previousElementSibling;
    return neighbour === candidate ? candidate : null;
}

function onArrow(event) {
    var forward = event.key === 'ArrowDown' || event.key === 'ArrowRight';
    if (!forward && event.key !== 'ArrowUp' && event.key !== 'ArrowLeft')
        return;
    if (event.shiftKey || event.ctrlKey || event.altKey || event.metaKey || isInCodeEditor(event.target))
        return;
    var before = caretPoint();
    if (!before)
        return;
    setTimeout(function () {
        var after = caretPoint() || before;
        var pre = codeBlockPassed(before, after, forward);
        if (pre)
            enterCodeBlock(pre, forward ? 0 : -1, true);
    }, 0);
}

export function install() {
    document.addEventListener('mousedown', onMouseDown, true);
    document.addEventListener('focusin', onFocusIn);
    document.addEventListener('selectionchange', onSelectionChange);
    document.addEventListener('keydown', onArrow);
}
