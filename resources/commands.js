// Formatting helpers, the page's own keys (typed Markdown, Enter, Tab) and the
// word count of the editing page. Every change goes through the browser's
// editing commands, so that each is one step of the page's undo history.

// The nearest block around node inside the body: the body itself for a line of
// bare text in it.
var blockSelector = 'p,div,h1,h2,h3,h4,h5,h6,li,blockquote,pre,td,th,dd,dt';

function blockOf(node) {
    var element = node && (node.nodeType === Node.ELEMENT_NODE ? node : node.parentElement);
    var block = element ? element.closest(blockSelector) : null;
    return block && document.body.contains(block) ? block : document.body;
}

// The selection's first range when it lies in the body, else null.
function selectionRange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return null;
    var range = selection.getRangeAt(0);
    return document.body.contains(range.commonAncestorContainer) ? range : null;
}

function selectRange(range) {
    var selection = window.getSelection();
    selection.removeAllRanges();
    selection.addRange(range);
}

function isInCodeEditor(node) {
    var element = node && (node.nodeType === Node.ELEMENT_NODE ? node : node.parentElement);
    return !!(element && element.closest('.CodeMirror'));
}

function tableCellOf(node) {
    var element = node && (node.nodeType === Node.ELEMENT_NODE ? node : node.parentElement);
    return element ? element.closest('td,th') : null;
}

// Inline code: the selected text, inside one block, goes into a code element
// (inside the formatting around it). The line is rebuilt in a copy and put in
// place of the original through one editing command: inserting just the code
// element, the browser would turn it into a styled span at a line's start.
function inserCode() {
    var range = selectionRange();
    if (!range || range.collapsed || isInCodeEditor(range.commonAncestorContainer))
        return;
    // Code spans no blocks: a selection across blocks is left as it is.
    var holder = document.createElement('div');
    holder.appendChild(range.cloneContents());
    if (holder.querySelector(blockSelector + ',ul,ol,table,hr,.CodeMirror'))
        return;
    // A line of bare text in the body becomes a paragraph first: rebuilt, it
    // would merge with the paragraph after it.
    if (blockOf(range.startContainer) === document.body) {
        document.execCommand('formatBlock', false, 'p');
        range = selectionRange();
        if (!range || blockOf(range.startContainer) === document.body)
            return;
    }
    var block = blockOf(range.startContainer);
    var line = lineStartRange(range.startContainer, range.startOffset);
    var end = lineEndRange(range.endContainer, range.endOffset);
    line.setEnd(end.endContainer, end.endOffset);
    // The copy of the line, and the selection's twin in it.
    var root = line.startContainer;
    var first = line.startOffset;
    var copy = document.createElement('div');
    for (var i = first; i < line.endOffset; i++)
        copy.appendChild(root.childNodes[i].cloneNode(true));
    var twin = document.createRange();
    twin.setStart.apply(twin, twinPoint(root, first, copy, range.startContainer, range.startOffset));
    twin.setEnd.apply(twin, twinPoint(root, first, copy, range.endContainer, range.endOffset));
    var code = document.createElement('code');
    code.appendChild(twin.extractContents());
    twin.insertNode(code);
    // Formatting that the selection took whole is left empty beside the code.
    [code.previousSibling, code.nextSibling].forEach(function (node) {
        if (node && node.nodeType === Node.ELEMENT_NODE && node.textContent === '' && !node.querySelector('img,br')
            && !/^(IMG|BR)$/.test(node.tagName))
            node.parentNode.removeChild(node);
    });
    selectRange(line);
    var ended = block.lastChild && block.lastChild.nodeName === 'BR';
    document.execCommand('insertHTML', false, copy.innerHTML);
    // The browser ends the rebuilt line with an empty-line placeholder, which
    // in a table cell would be saved as a line break. (A redo brings it back.)
    var last = block.lastChild;
    if (!ended && last && last.nodeName === 'BR' && last.previousSibling)
        block.removeChild(last);
}

// The point of copy (holding copies of root's children from first on) that
// stands where (node, offset) stands under root.
function twinPoint(root, first, copy, node, offset) {
    if (node === root)
        return [copy, offset - first];
    var path = [];
    for (; node !== root; node = node.parentNode)
        path.unshift(Array.prototype.indexOf.call(node.parentNode.childNodes, node));
    path[0] -= first;
    var twin = copy;
    for (var i = 0; i < path.length; i++)
        twin = twin.childNodes[path[i]];
    return [twin, offset];
}

// H1..H6: the block becomes a heading of that level, or a paragraph when it is
// one already. A table cell keeps its text: a heading cannot live in a row.
function toggleHeading(level) {
    var range = selectionRange();
    if (!range || tableCellOf(range.startContainer))
        return;
    var tag = 'h' + level;
    var block = blockOf(range.startContainer);
    document.execCommand('formatBlock', false, block.tagName.toLowerCase() === tag ? 'p' : tag);
}

// Chrome's own quote carries an indenting style instead of the theme's look.
var indentStyle = 'margin: 0 0 0 40px; border: none; padding: 0px;';

// Quote: the block (a heading stays a heading) goes inside a quote.
function quoteBlock() {
    var range = selectionRange();
    if (!range || tableCellOf(range.startContainer) || isInCodeEditor(range.startContainer))
        return;
    var block = blockOf(range.startContainer);
    if (block.closest('li')) {
        // Indenting a list item nests the list; the item is quoted instead.
        document.execCommand('formatBlock', false, 'blockquote');
        return;
    }
    document.execCommand('indent');
    var quotes = document.body.querySelectorAll('blockquote[style]');
    for (var i = 0; i < quotes.length; i++) {
        if (quotes[i].getAttribute('style') === indentStyle)
            quotes[i].removeAttribute('style');
    }
}

// ---------------------------------------------------------------------------
// Keys

// Keys whose key-down the page received and whose key-up is still to come. A
// key released here after being pressed elsewhere (Return confirming a dialog
// or a menu) is not typing and changes nothing.
var keysDown = {};
window.addEventListener('blur', function () { keysDown = {}; });

function keyName(event) {
    return event.keyCode === 13 ? 'Enter' : String(event.key || event.keyCode);
}

// The line from the start of node's block (or of its line of bare text in the
// body) up to offset in node, as a range.
function lineStartRange(node, offset) {
    var block = blockOf(node);
    var range = document.createRange();
    if (block !== document.body) {
        range.setStart(block, 0);
    } else {
        var top = node;
        while (top.parentNode !== document.body)
            top = top.parentNode;
        var first = top;
        while (first.previousSibling && !isLineBoundary(first.previousSibling))
            first = first.previousSibling;
        range.setStartBefore(first);
    }
    range.setEnd(node, offset);
    return range;
}

// The line from offset in node to the end of its block (or of its line of
// bare text in the body), as a range.
function lineEndRange(node, offset) {
    var block = blockOf(node);
    var range = document.createRange();
    if (block !== document.body) {
        range.selectNodeContents(block);
    } else {
        var top = node;
        while (top.parentNode !== document.body)
            top = top.parentNode;
        var last = top;
        while (last.nextSibling && !isLineBoundary(last.nextSibling))
            last = last.nextSibling;
        range.setEndAfter(last);
    }
    range.setStart(node, offset);
    return range;
}

function isLineBoundary(node) {
    return node.nodeType === Node.ELEMENT_NODE && (node.tagName === 'BR' || node.matches(blockSelector + ',ul,ol,table,hr'));
}

// Typed Markdown: a marker and a space typed at the very start of a paragraph.
var typedMarkers = [
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

function onBodyKeyDown(event) {
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
        if (moveToCellAbove(cell, range, key === 'ArrowUp'))
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

function onBodyKeyUp(event) {
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

// Word count: counted off the page's thread in a worker when one can be made,
// else here with the same function, loaded on demand from the worker's script.
var myWorker;
var wordCountInPage = false;
var lastCountedText = '';

function reportWordCount(count) {
    if (contentObj)
        contentObj.showInfoInStatusBar(String(count));
}

function countInPage(text) {
    if (typeof fnGetCpmisWords === 'function') {
        reportWordCount(fnGetCpmisWords(text));
        return;
    }
    var script = document.getElementById('wordcountscript');
    if (!script) {
        script = document.createElement('script');
        script.id = 'wordcountscript';
        script.src = 'qrc:/resources/calculate.js';
        document.head.appendChild(script);
    }
    script.addEventListener('load', function () {
        reportWordCount(fnGetCpmisWords(text));
    });
}

function startWorker(text) {
    lastCountedText = text;
    if (!wordCountInPage && typeof Worker !== 'undefined') {
        try {
            if (!myWorker) {
                myWorker = new Worker('qrc:/resources/calculate.js');
                myWorker.onmessage = function (event) {
                    reportWordCount(event.data);
                };
                myWorker.onerror = function () {
                    // The engine refused the script: count in the page from now on.
                    myWorker = undefined;
                    wordCountInPage = true;
                    countInPage(lastCountedText);
                };
            }
            myWorker.postMessage(text);
            return;
        } catch (e) {
            myWorker = undefined;
            wordCountInPage = true;
        }
    }
    countInPage(text);
}
