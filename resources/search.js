// Search highlighting and replacing in the editing page. A match is a
// span.search-hit; the current match is a span.search-select instead.

var searchSpanSelector = 'span.search-hit,span.search-select';

function searchSpans() {
    return Array.prototype.slice.call(document.body.querySelectorAll(searchSpanSelector));
}

// Replaces element by the given nodes (its own children when none are given) and
// joins the text around it again, so that later searches see whole words.
function replaceElementWith(element, replacement) {
    var parent = element.parentNode;
    if (!parent)
        return;
    if (replacement === undefined) {
        while (element.firstChild)
            parent.insertBefore(element.firstChild, element);
    } else {
        parent.insertBefore(replacement, element);
    }
    parent.removeChild(element);
    parent.normalize();
}

function clearHighLight() {
    var spans = searchSpans();
    for (var i = 0; i < spans.length; i++)
        replaceElementWith(spans[i]);
}

// Text that is not document text (scripts, styles, form controls) or that a code
// editor owns (its display is rebuilt from its own model) is not searched.
function isSearchableText(node) {
    var parent = node.parentElement;
    return !!parent && !parent.closest('script,style,textarea,select,.CodeMirror');
}

function highLightKeyword(text) {
    clearHighLight();
    if (!text)
        return;
    var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, null, false);
    var nodes = [];
    for (var node = walker.nextNode(); node; node = walker.nextNode()) {
        if (node.data.indexOf(text) >= 0 && isSearchableText(node))
            nodes.push(node);
    }
    for (var i = 0; i < nodes.length; i++) {
        var data = nodes[i].data;
        var pieces = document.createDocumentFragment();
        var from = 0;
        for (var at = data.indexOf(text); at >= 0; at = data.indexOf(text, from)) {
            if (at > from)
                pieces.appendChild(document.createTextNode(data.substring(from, at)));
            var hit = document.createElement('span');
            hit.className = 'search-hit';
            hit.textContent = text;
            pieces.appendChild(hit);
            from = at + text.length;
        }
        if (from < data.length)
            pieces.appendChild(document.createTextNode(data.substring(from)));
        nodes[i].parentNode.replaceChild(pieces, nodes[i]);
    }
}

// Moves the current match one step back or forward, wrapping at the ends; the
// first call picks the first match.
function selectedText(isBack) {
    var spans = searchSpans();
    if (spans.length === 0)
        return;
    var current = -1;
    for (var i = 0; i < spans.length; i++) {
        if (spans[i].classList.contains('search-select'))
            current = i;
    }
    var next = 0;
    if (current >= 0) {
        next = (current + (isBack ? -1 : 1) + spans.length) % spans.length;
        var selected = document.body.querySelectorAll('span.search-select');
        for (var j = 0; j < selected.length; j++)
            selected[j].className = 'search-hit';
    }
    spans[next].className = 'search-select';
    if (spans[next].scrollIntoView)
        spans[next].scrollIntoView({ block: 'nearest' });
}

// The replacement always goes in as text: markup typed into the field is shown,
// not applied.
function replaceSelectedText(newText) {
    if (!document.body.querySelector('span.search-select'))
        selectedText(false);
    var current = document.body.querySelector('span.search-select');
    if (!current)
        return;
    selectedText(false);
    replaceElementWith(current, document.createTextNode(newText));
    notifyPageEdited();
}

function replaceAllHighText(newText) {
    var spans = searchSpans();
    if (spans.length === 0)
        return;
    for (var i = 0; i < spans.length; i++)
        replaceElementWith(spans[i], document.createTextNode(newText));
    notifyPageEdited();
}
