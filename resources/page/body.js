// The body's own handlers: clicks, pastes, input and focus, and the empty
// line the page keeps at the end.

import { isEmptyLine } from './dom.js';
import { isFilling } from './fill.js';
import { onLinkClick } from './links.js';
import * as longLayout from './longlayout.js';
import { program } from './program.js';
import * as wordCount from './wordcount.js';

// Keeps an empty paragraph at the end, so the caret can get below a trailing
// table or code block. It holds the browser's own empty-line placeholder: a
// no-break space would end up in the text typed there.
export function ensureTrailingParagraph() {
    // While the document is still coming in, its own last block is not there yet.
    if (isFilling())
        return null;
    var last = document.body.lastElementChild;
    if (!last || !isEmptyLine(last)) {
        var p = document.createElement('p');
        p.innerHTML = '<br>';
        document.body.appendChild(p);
        return p;
    }
    return null;
}

function onClick(event) {
    var last = document.body.lastElementChild;
    var added = ensureTrailingParagraph();
    // A click below the content meant the new empty line, not the end of the
    // text above it where the browser put the caret.
    if (added && last && event.clientY > last.getBoundingClientRect().bottom) {
        var caret = document.createRange();
        caret.setStart(added, 0);
        window.getSelection().removeAllRanges();
        window.getSelection().addRange(caret);
    }
    var target = event.target;
    if (target && target.closest && target.closest('a'))
        onLinkClick(event);
}

// A middle click pastes the selection buffer on X11, through the same event: that
// is not the clipboard the program would insert.
let middleButtonDown = false;

function onMouseDown(event) {
    middleButtonDown = event.button === 1;
}

function onMouseUp() {
    // The engine pastes within the release's own task.
    setTimeout(function () { middleButtonDown = false; }, 0);
}

// Every paste (Ctrl+V on its press, Shift+Insert, the engine's own command) comes
// here once: the program inserts the clipboard, cleaned. A code block's editor
// takes its plain text itself.
function onPaste(event) {
    var target = event.target;
    if (target && target.closest && target.closest('.CodeMirror'))
        return;
    event.preventDefault();
    if (!middleButtonDown)
        program.paste();
}

function onInput() {
    // The mark first, at once, whatever the size of the document.
    program.edited();
    wordCount.schedule();
}

function onFocusIn() {
    // The engine's find is over.
    if (longLayout.keepsWhole('find'))
        longLayout.keepWhole('find', false);
    program.focused();
}

export function install(body) {
    // Also a click below the body's box: it puts the caret into the body too.
    document.addEventListener('click', onClick);
    body.addEventListener('input', onInput);
    body.addEventListener('paste', onPaste);
    body.addEventListener('mousedown', onMouseDown);
    body.addEventListener('mouseup', onMouseUp);
    body.addEventListener('focusin', onFocusIn);
}
