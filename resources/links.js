// Links, images, pasted and dropped content in the editing page.

// Changes made by script raise no input event; send one so that the page's input
// handling (modified mark, word count) sees them like typed changes.
function notifyPageEdited() {
    document.body.dispatchEvent(new Event('input', { bubbles: true }));
}

// The first selection range when it lies inside the body, else null.
function bodySelectionRange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return null;
    var range = selection.getRangeAt(0);
    return document.body.contains(range.commonAncestorContainer) ? range : null;
}

// A collapsed range at the end of the body, selected, for insertions made while
// the page has no caret (a drop or a dialog before the page was ever clicked).
function selectBodyEnd() {
    var range = document.createRange();
    range.selectNodeContents(document.body);
    range.collapse(false);
    var selection = window.getSelection();
    selection.removeAllRanges();
    selection.addRange(range);
    return range;
}

function resolveInsertedImages(container) {
    if (container)
        resolveImages(container);
}

// addLinkSignal: a new link at the selection, or new text and address for the
// link last clicked. Both go in through DOM calls only, never as markup.
function onAddLink(arg) {
    var url = arg.url || '';
    var title = arg.title === '' ? url : (arg.title || '');
    if (url === '' || title === '')
        return;

    if (arg.isModify) {
        if (!currentTarget || !currentTarget.isConnected)
            return;
        currentTarget.setAttribute('href', url);
        currentTarget.textContent = title;
        notifyPageEdited();
        return;
    }

    var link = document.createElement('a');
    link.setAttribute('href', url);
    link.setAttribute('target', '_blank');
    link.textContent = title;

    var range = bodySelectionRange() || selectBodyEnd();
    range.deleteContents();
    range.insertNode(link);
    range.setStartAfter(link);
    range.collapse(true);
    var selection = window.getSelection();
    selection.removeAllRanges();
    selection.addRange(range);
    notifyPageEdited();
}

// Body click: Ctrl+click opens the link, a plain click edits it. Returns whether
// the click was on a link.
function onLinkClick(event) {
    var target = event.target;
    if (target && target.nodeType !== Node.ELEMENT_NODE)
        target = target.parentElement;
    var link = target && target.closest ? target.closest('a') : null;
    if (!link || !document.body.contains(link))
        return false;
    event.preventDefault();
    if (event.ctrlKey) {
        contentObj.openUrl(link.href);
    } else {
        currentTarget = link;
        // The address as written: a relative one stays relative when edited.
        contentObj.modifyLink(link.innerText, link.getAttribute('href') || '');
    }
    return true;
}

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
    var selection = window.getSelection();
    selection.removeAllRanges();
    selection.addRange(after);
    if (hasImages)
        resolveInsertedImages(container);
    notifyPageEdited();
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
    var element = range.startContainer.nodeType === Node.ELEMENT_NODE ? range.startContainer
                                                                       : range.startContainer.parentElement;
    return element && element.closest('.CodeMirror,pre.veltrane-code') ? null : range;
}

// dealCopySignal (paste and drop): the payload at the selection, or, for a drop
// (arg.x and arg.y in CSS pixels), where it was dropped.
function insertPayload(arg) {
    var node = buildPayloadNode(arg);
    if (!node)
        return;
    var dropped = typeof arg.x === 'number' ? rangeAtPoint(arg.x, arg.y) : null;
    insertNodeAt(node, dropped || bodySelectionRange() || selectBodyEnd());
}

// insertImageSignal: an image at the selection.
function insertImage(src) {
    var before = Array.prototype.slice.call(document.images);
    if (!bodySelectionRange()) {
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
