// The document's HTML as it is saved: what the page shows otherwise than it
// is written (a code block's editor, a resolved image, a div the editing made)
// goes back to its written form. The live page is left as it is.

import { resolvedImageSelector, restoreImageSources } from './images.js';

// Kinds of element the page shows otherwise than they are saved: each with
// save(live), the element to write in its place (null: as it stands).
const savedForms = [];

// What the saved HTML writes otherwise than the page holds it.
let savedOtherwise = 'pre, textarea, div, ' + resolvedImageSelector;

export function addSavedForm(selector, save) {
    savedForms.push({ selector: selector, save: save });
    savedOtherwise += ', ' + selector;
}

// The HTML of the body's nodes.
export function documentHtml() {
    var parts = [];
    for (var node = document.body.firstChild; node; node = node.nextSibling)
        parts.push(savedHtml(node));
    return parts.join('');
}

// The saved HTML of a top-level node. Only a node holding something saved
// otherwise is copied to be changed: copying the whole page made a save of a
// long document slow.
function savedHtml(node) {
    if (node.nodeType === Node.TEXT_NODE)
        return node.data.replace(/&/g, '&amp;').replace(/\u00a0/g, '&nbsp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
    if (node.nodeType === Node.COMMENT_NODE)
        return '<!--' + node.data + '-->';
    if (node.nodeType !== Node.ELEMENT_NODE)
        return '';
    for (var f = 0; f < savedForms.length; f++) {
        var saved = node.matches(savedForms[f].selector) ? savedForms[f].save(node) : null;
        if (saved)
            return saved.outerHTML;
    }
    if (!node.matches(savedOtherwise) && !node.querySelector(savedOtherwise))
        return node.outerHTML;
    var holder = document.createElement('div');
    holder.appendChild(node.cloneNode(true));
    paragraphsForNewDivs(node, holder.firstChild);
    for (var g = 0; g < savedForms.length; g++)
        replaceSavedForms(node, holder, savedForms[g]);
    restoreImageSources(holder);
    keepPreLineFeeds(holder);
    return holder.innerHTML;
}

// Puts the saved form of each element of form in live into its twin in copy.
function replaceSavedForms(live, copy, form) {
    var elements = live.querySelectorAll(form.selector);
    var copied = copy.querySelectorAll(form.selector);
    for (var i = 0; i < elements.length && i < copied.length; i++) {
        var saved = form.save(elements[i]);
        if (saved)
            copied[i].parentNode.replaceChild(saved, copied[i]);
    }
}

// The serializer drops the line feed the parser takes from the start of a
// pre: a pre whose text starts with a line feed needs one more.
function keepPreLineFeeds(root) {
    var pres = root.querySelectorAll('pre, textarea');
    for (var j = 0; j < pres.length; j++) {
        var first = pres[j].firstChild;
        if (first && first.nodeType === Node.TEXT_NODE && first.data.charAt(0) === '\n')
            first.data = '\n' + first.data;
    }
}

// "<a name=x />" is an empty anchor to its writer; the HTML parser would
// leave it open around everything after it.
export function withClosedAnchors(html) {
    return html.replace(/<a(\s[^<>]*?)?\s*\/>/gi, '<a$1 data-veltrane-selfclosing></a>');
}

// What the saved HTML gives back for each of pieces (a document's HTML) shown
// as it stands: the parser writes HTML its own way (quotes, end tags, case).
export function pageForms(pieces) {
    return pieces.map(function (html) {
        var parsed = document.createElement('template');
        parsed.innerHTML = withClosedAnchors(html);
        keepPreLineFeeds(parsed.content);
        return parsed.innerHTML;
    });
}

// ---------------------------------------------------------------------------
// Divs the editing made (Enter in a bare line) are paragraphs; the divs the
// document brought stay what they were.

let loadedDivs = new WeakSet();

// The divs of a document coming in (root holds all of it).
export function noteLoadedDivs(root) {
    loadedDivs = new WeakSet(root.querySelectorAll('div'));
}

function paragraphsForNewDivs(live, copy) {
    var divs = divsOf(live);
    var copied = divsOf(copy);
    for (var i = 0; i < divs.length && i < copied.length; i++) {
        if (loadedDivs.has(divs[i]) || divs[i].attributes.length > 0 || divs[i].closest('.CodeMirror'))
            continue;
        var p = document.createElement('p');
        while (copied[i].firstChild)
            p.appendChild(copied[i].firstChild);
        copied[i].parentNode.replaceChild(p, copied[i]);
    }
}

// The divs in root, root itself included, in document order.
function divsOf(root) {
    var divs = Array.prototype.slice.call(root.querySelectorAll('div'));
    if (root.tagName === 'DIV')
        divs.unshift(root);
    return divs;
}
