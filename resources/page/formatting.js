// Formatting commands of the toolbar that the browser has no command for:
// inline code, headings that toggle, quotes. Every change goes through the
// browser's editing commands, so that each is one step of the undo history.

import { blockOf, blockSelector, isInCodeEditor, lineEndRange, lineStartRange, selectRange, selectionRange,
         tableCellOf } from './dom.js';

// Inline code: the selected text, inside one block, goes into a code element
// (inside the formatting around it). The line is rebuilt in a copy and put in
// place of the original through one editing command: inserting just the code
// element, the browser would turn it into a styled span at a line's start.
export function inlineCode() {
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
export function toggleHeading(level) {
    var range = selectionRange();
    if (!range || tableCellOf(range.startContainer))
        return;
    var tag = 'h' + level;
    var block = blockOf(range.startContainer);
    document.execCommand('formatBlock', false, block.tagName.toLowerCase() === tag ? 'p' : tag);
}

// Chrome's own quote carries an indenting style instead of the theme's look.
const indentStyle = 'margin: 0 0 0 40px; border: none; padding: 0px;';

// Quote: the block (a heading stays a heading) goes inside a quote.
export function quoteBlock() {
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
