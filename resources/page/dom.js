// Where things are in the editing page's body: blocks, lines, the selection.
// Shared by the modules that edit the body. Nothing runs when it is loaded (the
// word count's worker loads it too).

// The elements that make a block of text; a line of bare text in the body is
// a block too, which the body stands for.
export const blockSelector = 'p,div,h1,h2,h3,h4,h5,h6,li,blockquote,pre,td,th,dd,dt';

// node itself when it is an element, else its parent element.
export function elementOf(node) {
    return node && (node.nodeType === Node.ELEMENT_NODE ? node : node.parentElement);
}

// The nearest block around node inside the body: the body itself for a line of
// bare text in it.
export function blockOf(node) {
    var element = elementOf(node);
    var block = element ? element.closest(blockSelector) : null;
    return block && document.body.contains(block) ? block : document.body;
}

// The top-level block of the body that holds node (the body itself for the body).
export function topBlock(node) {
    while (node && node.parentNode && node.parentNode !== document.body)
        node = node.parentNode;
    return node && node.parentNode === document.body ? node : null;
}

export function isInCodeEditor(node) {
    var element = elementOf(node);
    return !!(element && element.closest('.CodeMirror'));
}

export function tableCellOf(node) {
    var element = elementOf(node);
    return element ? element.closest('td,th') : null;
}

// A paragraph holding nothing but the browser's empty-line placeholder.
export function isEmptyLine(element) {
    return element.tagName === 'P' && /^(&nbsp;|<br>)$/.test(element.innerHTML);
}

// The tag names from the document down to the element at (x, y) (view
// coordinates), joined by "|"; '' when there is none.
export function tagPathAt(x, y) {
    var element = document.elementFromPoint(x, y);
    if (!element)
        return '';
    var names = [];
    for (var node = element; node && node.nodeType === Node.ELEMENT_NODE; node = node.parentNode)
        names.unshift(node.tagName);
    return names.join('|');
}

// ---------------------------------------------------------------------------
// The selection

// The selection's first range when it lies in the body, else null.
export function selectionRange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return null;
    var range = selection.getRangeAt(0);
    return document.body.contains(range.commonAncestorContainer) ? range : null;
}

export function selectRange(range) {
    var selection = window.getSelection();
    selection.removeAllRanges();
    selection.addRange(range);
}

// A collapsed range at the end of the body, selected, for insertions made while
// the page has no caret (a drop or a dialog before the page was ever clicked).
export function selectBodyEnd() {
    var range = document.createRange();
    range.selectNodeContents(document.body);
    range.collapse(false);
    selectRange(range);
    return range;
}

// Changes made by script raise no input event; one is sent so that the page's
// input handling (modified mark, word count) sees them like typed changes.
export function announceEdit() {
    document.body.dispatchEvent(new Event('input', { bubbles: true }));
}

// ---------------------------------------------------------------------------
// Lines

// The line from the start of node's block (or of its line of bare text in the
// body) up to offset in node, as a range.
export function lineStartRange(node, offset) {
    return lineRange(node, offset, false);
}

// The line from offset in node to the end of its block (or of its line of
// bare text in the body), as a range.
export function lineEndRange(node, offset) {
    return lineRange(node, offset, true);
}

function lineRange(node, offset, toEnd) {
    var block = blockOf(node);
    var range = document.createRange();
    if (block !== document.body) {
        range.selectNodeContents(block);
    } else {
        var top = node;
        while (top.parentNode !== document.body)
            top = top.parentNode;
        var step = toEnd ? 'nextSibling' : 'previousSibling';
        var edge = top;
        while (edge[step] && !isLineBoundary(edge[step]))
            edge = edge[step];
        if (toEnd)
            range.setEndAfter(edge);
        else
            range.setStartBefore(edge);
    }
    if (toEnd)
        range.setStart(node, offset);
    else
        range.setEnd(node, offset);
    return range;
}

function isLineBoundary(node) {
    return node.nodeType === Node.ELEMENT_NODE && (node.tagName === 'BR' || node.matches(blockSelector + ',ul,ol,table,hr'));
}
