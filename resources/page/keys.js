// The page's own keys: typed Markdown (a marker and a space at the start of a
// paragraph, a fence and Enter), Enter, Tab and the arrows in table cells.
// Every change goes through the browser's editing commands, so that each is
// one step of the page's undo history.

import { insertCodeBlockAt } from './codeblocks.js';
import { blockOf, isInCodeEditor, lineStartRange, selectRange, selectionRange, tableCellOf } from './dom.js';
import { modeForFenceWord } from './languages.js';
import { moveToCellAboveOrBelow, moveToNextCell } from './tables.js';

// Keys whose key-down the page received and whose key-up is still to come. A
// key released here after being pressed elsewhere (Return confirming a dialog
// or a menu) is not typing and changes nothing.
let keysDown = {};

function keyName(event) {
    return event.keyCode === 13 ? 'Enter' : String(event.key || event.keyCode);
}

// Typed Markdown: a marker and a space typed at the very start of a paragraph.
const typedMarkers = [
    { pattern: /^(#{1,6})[ \xA0]$/, apply: function (m) { document.execCommand('formatBlock', false, 'h' + m[1].length); } },
    { pattern: /^>[ \xA0]$/, apply: function () { document.execCommand('formatBlock', false, 'blockquote'); } },
    { pattern: /^\d+\.[ \xA0]$/, apply: function () { document.execCommand('insertOrderedList'); } },
    { pattern: /^[-+*][ \xA0]$/, apply: function () { document.execCommand('insertUnorderedList'); } }
];

function applyTypedMarker() {
    var range = selectionRange();
    if (!range || !range.collapsed || range.endContainer.nodeType !== Node.TEXT_NODE)
        return;
    var block = blockOf(range.endContainer);
    if (block !== document.body && block.tagName !== 'P' && block.tagName !== 'DIV')
        return;
    var line = lineStartRange(range.endContainer, range.endOffset);
    for (var i = 0; i < typedMarkers.length; i++) {
        var match = typedMarkers[i].pattern.exec(line.toString());
        if (!match)
            continue;
        selectRange(line);
        document.execCommand('delete');
        typedMarkers[i].apply(match);
        return;
    }
}

// Three backticks (and a language) alone on a line, then Enter: a code block
// in the paragraph's place.
function startCodeBlock(range) {
    var line = lineStartRange(range.endContainer, range.endOffset);
    var match = /^```([^`\s]*)$/.exec(line.toString());
    var block = blockOf(range.endContainer);
    if (block !== document.body && block.tagName !== 'P' && block.tagName !== 'DIV')
        return false;
    var rest = document.createRange();
    rest.selectNodeContents(block === document.body ? range.endContainer : block);
    rest.setStart(range.endContainer, range.endOffset);
    if (!match || rest.toString().replace(/\xA0/g, '') !== '')
        return false;
    // The fence and the block it leaves empty go in the same editing command
    // that inserts the code block: one undo step takes all of it back.
    var place = line;
    if (block !== document.body && block.textContent.replace(/\xA0/g, '') === line.toString()) {
        // The fence's line goes whole. Taken from the end of the text block
        // before it, the browser's undo step restores it cleanly.
        place = document.createRange();
        place.selectNodeContents(block);
        var before = block.previousElementSibling;
        if (before && /^(P|H[1-6])$/.test(before.tagName) && before.lastChild && before.lastChild.nodeName !== 'BR')
            place.setStart(before, before.childNodes.length);
    }
    var mode = modeForFenceWord(match[1]);
    // The word typed is what the saved fence says, as for a loaded block.
    var kept = match[1] ? { info: match[1], mode: mode, className: 'language-' + match[1] } : null;
    insertCodeBlockAt(place, '', mode, kept);
    return true;
}

function onKeyDown(event) {
    var key = keyName(event);
    keysDown[key] = false;
    if (event.defaultPrevented || isInCodeEditor(event.target) || event.ctrlKey || event.altKey || event.metaKey)
        return;
    var range = selectionRange();
    var cell = range ? tableCellOf(range.startContainer) : null;
    if (key === 'Tab') {
        // The focus stays in the page; in a table Tab moves between the cells.
        event.preventDefault();
        if (cell)
            moveToNextCell(cell, event.shiftKey);
        return;
    }
    if ((key === 'ArrowUp' || key === 'ArrowDown') && cell && !event.shiftKey) {
        if (moveToCellAboveOrBelow(cell, range, key === 'ArrowUp'))
            event.preventDefault();
        return;
    }
    if (key === 'Enter' && range && !event.shiftKey) {
        if (cell) {
            // A cell holds one paragraph: Enter breaks the line inside it.
            event.preventDefault();
            document.execCommand('insertLineBreak');
            return;
        }
        if (range.collapsed && startCodeBlock(range)) {
            event.preventDefault();
            return;
        }
    }
    keysDown[key] = true;
}

function onKeyUp(event) {
    var key = keyName(event);
    var pressedHere = keysDown[key] === true;
    delete keysDown[key];
    if (!pressedHere || isInCodeEditor(event.target))
        return;
    var range = selectionRange();
    if (!range)
        return;

    if (key === 'Enter') {
        if (event.shiftKey || tableCellOf(range.endContainer))
            return;
        var block = blockOf(range.endContainer);
        if (block.tagName === 'P' || block.closest('li,ul,ol'))
            return;
        // A new line starts a paragraph.
        document.execCommand('formatblock', false, 'p');
        return;
    }
    if (key === ' ')
        applyTypedMarker();
}

export function install(body) {
    window.addEventListener('blur', function () { keysDown = {}; });
    body.addEventListener('keydown', onKeyDown);
    body.addEventListener('keyup', onKeyUp);
}
