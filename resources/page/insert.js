// What the program inserts: pasted and dropped content (a link, an image,
// text or markup, already read from the clipboard or the drop) and the image
// of the image dialog.

import { announceEdit, elementOf, selectBodyEnd, selectRange, selectionRange } from './dom.js';
import { resolveImages } from './images.js';

// Pasted markup may come from any web page: drop what could run script.
function sanitizeFragment(fragment) {
    var blocked = fragment.querySelectorAll('script,iframe,frame,object,embed,link,meta,style,base,form');
    for (var i = 0; i < blocked.length; i++)
        blocked[i].remove();
    var elements = fragment.querySelectorAll('*');
    for (var j = 0; j < elements.length; j++) {
        var attributes = Array.prototype.slice.call(elements[j].attributes);
        for (var k = 0; k < attributes.length; k++) {
            var name = attributes[k].name.toLowerCase();
            var value = attributes[k].value.replace(/[\s\u0000-\u001f]+/g, '').toLowerCase();
            if (name.indexOf('on') === 0
                || (/^(href|src|action|formaction|xlink:href|srcdoc)$/.test(name)
                    && (/^(javascript|vbscript):/.test(value) || name === 'srcdoc')))
                elements[j].removeAttribute(attributes[k].name);
        }
    }
    return fragment;
}

// The node an insert payload stands for, or null for an unknown type.
function buildPayloadNode(arg) {
    switch (arg.type) {
    case 'a': {
        var link = document.createElement('a');
        link.setAttribute('href', arg.url);
        link.textContent = arg.title;
        return link;
    }
    case 'img': {
        var image = document.createElement('img');
        image.setAttribute('src', arg.url);
        image.setAttribute('alt', typeof arg.alt === 'string' ? arg.alt : arg.title);
        if (arg.title)
            image.setAttribute('title', arg.title);
        return image;
    }
    case 'text': {
        // Line breaks of plain text would collapse into spaces in the page.
        var lines = String(arg.text).split(/\r\n|\r|\n/);
        if (lines.length === 1)
            return document.createTextNode(lines[0]);
        var text = document.createDocumentFragment();
        for (var i = 0; i < lines.length; i++) {
            if (i > 0)
                text.appendChild(document.createElement('br'));
            if (lines[i] !== '')
                text.appendChild(document.createTextNode(lines[i]));
        }
        return text;
    }
    case 'html': {
        // Parsed inert (a template runs nothing and loads nothing), then cleaned.
        var holder = document.createElement('template');
        holder.innerHTML = arg.html;
        return sanitizeFragment(document.importNode(holder.content, true));
    }
    }
    return null;
}

function resolveInsertedImages(container) {
    if (container)
        resolveImages(container);
}

// Inserts node at the start of range (selected content stays) and puts the caret
// after it.
function insertNodeAt(node, range) {
    var last = node.nodeType === Node.DOCUMENT_FRAGMENT_NODE ? node.lastChild : node;
    if (!last)
        return;
    var hasImages = node.nodeName === 'IMG' || (node.querySelector && node.querySelector('img'));
    range.collapse(true);
    range.insertNode(node);
    var container = last.parentNode;
    var after = document.createRange();
    after.setStartAfter(last);
    after.collapse(true);
    selectRange(after);
    if (hasImages)
        resolveInsertedImages(container);
    announceEdit();
}

// A collapsed range at the text position under (x, y), or null when there is
// none the body can take (outside it, or inside a code block's editor).
function rangeAtPoint(x, y) {
    var range = null;
    if (document.caretPositionFromPoint) {
        var position = document.caretPositionFromPoint(x, y);
        if (position) {
            range = document.createRange();
            range.setStart(position.offsetNode, position.offset);
        }
    } else if (document.caretRangeFromPoint) {
        range = document.caretRangeFromPoint(x, y);
    }
    if (!range || !document.body.contains(range.startContainer))
        return null;
    var element = elementOf(range.startContainer);
    return element && element.closest('.CodeMirror,pre.veltrane-code') ? null : range;
}

// A payload of a paste or a drop: at the selection, or, for a drop (arg.x and
// arg.y in CSS pixels), where it was dropped.
export function insertPayload(arg) {
    var node = buildPayloadNode(arg);
    if (!node)
        return;
    var dropped = typeof arg.x === 'number' ? rangeAtPoint(arg.x, arg.y) : null;
    insertNodeAt(node, dropped || selectionRange() || selectBodyEnd());
}

// The image dialog's image, at the selection.
export function insertImage(src) {
    var before = Array.prototype.slice.call(document.images);
    if (!selectionRange()) {
        document.body.focus();
        selectBodyEnd();
    }
    document.execCommand('insertImage', false, src);
    var images = document.images;
    for (var i = 0; i < images.length; i++) {
        if (before.indexOf(images[i]) < 0)
            resolveInsertedImages(images[i].parentNode);
    }
}
