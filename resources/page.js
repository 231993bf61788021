// Editing page: the bridge to the program, the body handlers and the page
// functions the program calls.

var contentObj;        // the program's bridge object "content"
var currentTarget;     // the link element being modified
var documentFolder = ''; // file URL of the open document's folder, '' when untitled

// ---------------------------------------------------------------------------
// Images: a document names its pictures relative to its own folder or by a
// local path, which the page (living in the resource scheme) cannot reach. The
// shown source is a file URL; the source as written stays in an attribute and
// is what getHtml() gives back.

var ORIGINAL_SRC = 'data-veltrane-src';

function isDrivePath(src) {
    return /^[a-zA-Z]:[\\\/]/.test(src);
}

// The file URL to show for a source as written, or '' when it needs no help.
function resolvedImageSrc(src) {
    if (!src)
        return '';
    if (isDrivePath(src))
        return new URL('/' + src.replace(/\\/g, '/'), 'file:///').href;
    if (/^[a-zA-Z][a-zA-Z0-9+.\-]*:/.test(src) || src.charAt(0) === '#' || src.indexOf('//') === 0)
        return '';
    if (src.charAt(0) === '/')
        return new URL(src, 'file:///').href;
    if (!documentFolder)
        return '';
    try {
        return new URL(src, documentFolder).href;
    } catch (e) {
        return '';
    }
}

function resolveImage(img) {
    if (img.hasAttribute(ORIGINAL_SRC))
        return;
    var src = img.getAttribute('src');
    var shown = resolvedImageSrc(src);
    if (!shown)
        return;
    img.setAttribute(ORIGINAL_SRC, src);
    img.setAttribute('src', shown);
}

// Makes the images of root (an element, itself included) show.
function resolveImages(root) {
    if (!root)
        root = document.body;
    if (!root)
        return;
    if (root.tagName === 'IMG')
        resolveImage(root);
    if (root.querySelectorAll) {
        var images = root.querySelectorAll('img');
        for (var i = 0; i < images.length; i++)
            resolveImage(images[i]);
    }
}

// Puts back the sources as written in a copy of the page. An image whose source
// was changed since it was resolved keeps its new source.
function restoreImageSources(root) {
    var images = root.querySelectorAll('img[' + ORIGINAL_SRC + ']');
    for (var i = 0; i < images.length; i++) {
        var img = images[i];
        var original = img.getAttribute(ORIGINAL_SRC);
        if (img.getAttribute('src') === resolvedImageSrc(original))
            img.setAttribute('src', original);
        img.removeAttribute(ORIGINAL_SRC);
    }
}

// A new folder (a document saved elsewhere) re-resolves the shown images, so
// every untouched image keeps showing what its written source names.
function setDocumentFolder(folderUrl) {
    folderUrl = folderUrl || '';
    if (folderUrl === documentFolder)
        return;
    if (document.body)
        restoreImageSources(document.body);
    documentFolder = folderUrl;
    resolveImages(document.body);
}

// ---------------------------------------------------------------------------
// Page functions the program runs

// The display name of a code-block mode from the language table, '' if none.
function languageName(mode) {
    if (typeof mode !== 'string' || mode === '' || !options)
        return '';
    if (Array.isArray(options)) {
        for (var i = 0; i < options.length; i++) {
            var entry = options[i];
            if (Array.isArray(entry) && entry[0] === mode)
                return String(entry[1]);
            if (entry && entry.key === mode)
                return String(entry.value);
        }
        return '';
    }
    return Object.prototype.hasOwnProperty.call(options, mode) ? String(options[mode]) : '';
}

// The document's HTML: code blocks become plain code blocks again and images
// carry their sources as written. The live page is left as it is.
function getHtml() {
    if (pageFill.broken)
        return null;
    // The part of the document still waiting to be shown is part of it.
    finishFill();
    var parts = [];
    for (var node = document.body.firstChild; node; node = node.nextSibling)
        parts.push(savedHtml(node));
    return parts.join('');
}

// What getHtml() writes otherwise than the page holds it.
var SAVED_OTHERWISE = 'pre, textarea, div, img[' + ORIGINAL_SRC + ']';

// The saved HTML of a top-level node. Only a node holding one of
// SAVED_OTHERWISE is copied to be changed: copying the whole page made a
// save of a long document slow.
function savedHtml(node) {
    if (node.nodeType === Node.TEXT_NODE)
        return node.data.replace(/&/g, '&amp;').replace(/\u00a0/g, '&nbsp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
    if (node.nodeType === Node.COMMENT_NODE)
        return '<!--' + node.data + '-->';
    if (node.nodeType !== Node.ELEMENT_NODE)
        return '';
    if (node.veltraneBlock)
        return savedCodeBlock(node, document).outerHTML;
    if (!node.matches(SAVED_OTHERWISE) && !node.querySelector(SAVED_OTHERWISE))
        return node.outerHTML;
    var holder = document.createElement('div');
    holder.appendChild(node.cloneNode(true));
    paragraphsForNewDivs(node, holder.firstChild);
    // Code blocks, live or static, are saved as their code.
    var blocks = node.querySelectorAll('pre.veltrane-code');
    var copied = holder.querySelectorAll('pre.veltrane-code');
    for (var i = 0; i < blocks.length && i < copied.length; i++) {
        if (blocks[i].veltraneBlock)
            copied[i].parentNode.replaceChild(savedCodeBlock(blocks[i], document), copied[i]);
    }
    restoreImageSources(holder);
    keepPreLineFeeds(holder);
    return holder.innerHTML;
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
function withClosedAnchors(html) {
    return html.replace(/<a(\s[^<>]*?)?\s*\/>/gi, '<a$1 data-veltrane-selfclosing></a>');
}

// What getHtml() gives back for each of pieces (a document's HTML) shown as
// it stands: the parser writes HTML its own way (quotes, end tags, case).
function pageForms(pieces) {
    return pieces.map(function (html) {
        var parsed = document.createElement('template');
        parsed.innerHTML = withClosedAnchors(html);
        keepPreLineFeeds(parsed.content);
        return parsed.innerHTML;
    });
}

// getHtml() for the program, in pieces of at most pieceSize characters: the
// first with the whole length, the rest by htmlTransferPiece. null when the
// page holds no document it could give.
var htmlTransfers = {};

function pieceEnd(text, from, pieceSize) {
    var end = Math.min(text.length, from + pieceSize);
    // A surrogate pair stays in one piece.
    var last = text.charCodeAt(end - 1);
    if (end < text.length && end - 1 > from && last >= 0xD800 && last <= 0xDBFF)
        end--;
    return end;
}

function startHtmlTransfer(id, pieceSize) {
    var html = getHtml();
    if (typeof html !== 'string')
        return null;
    var end = pieceEnd(html, 0, pieceSize);
    if (end < html.length)
        htmlTransfers[id] = html;
    return { length: html.length, piece: html.substring(0, end) };
}

function htmlTransferPiece(id, from, pieceSize) {
    var html = htmlTransfers[id];
    if (typeof html !== 'string')
        return null;
    var end = pieceEnd(html, from, pieceSize);
    if (end >= html.length)
        delete htmlTransfers[id];
    return html.substring(from, end);
}

// Divs the editing made (Enter in a bare line) are paragraphs; the divs the
// document brought stay what they were.
var loadedDivs = new WeakSet();

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

// The tag names from the document down to the element at (x, y), joined by "|".
function GetElementFromPoint(x, y) {
    var element = document.elementFromPoint(x, y);
    if (!element)
        return '';
    var names = [];
    for (var node = element; node && node.nodeType === Node.ELEMENT_NODE; node = node.parentNode)
        names.unshift(node.tagName);
    return names.join('|');
}

function openLinkWin() {
    contentObj.addLink(window.getSelection().toString());
}

// A large document comes from the program in pieces: all but the last are
// kept here, the last one comes with setBodyHtml.
var htmlPieces = [];
var htmlPiecesBroken = false;

function addHtmlPiece(piece) {
    if (typeof piece !== 'string')
        htmlPiecesBroken = true;
    htmlPieces.push(piece);
}

// The document is shown from the top: the first slice at once, the rest in
// slices that each leave the page to the user's input within a frame. Saving,
// switching and searching see the whole document (see getHtml, finishFill).
var pageFill = { nodes: [], next: 0, timer: 0, broken: false };
var FILL_FIRST_MS = 30;
// A screenful: the first frame lays out and paints only these, and shows sooner.
var FILL_FIRST_NODES = 100;
var FILL_SLICE_MS = 8;
var FILL_SLICE_MAX_MS = 100;
// A long document (above this many top-level blocks) lays out only the blocks
// near the view and near the selection, and the first and the last (see the
// page's style): what a key costs the engine grows with what is laid out. The
// mark sits on the root element, which an exported page drops.
var LONG_DOCUMENT_BLOCKS = 2000;
// Blocks laid out beyond the view (a few screens: scrolling and Page Down meet
// laid-out text) and around each end of the selection (the caret moves by the
// layout of the blocks it passes, and lands wrong in one that has none).
var AROUND_VIEW = 60;
var AROUND_SELECTION = 40;
var longLayout = { on: false, whole: false, view: null, selection: null, style: null };

// Everything is laid out while the search marks show (they measure text
// anywhere) and while the engine's find is at work (it finds laid-out text
// only), until the page has the focus again.
function updateLongLayout() {
    var marked = typeof searchMatches !== 'undefined' && searchMatches.length > 0;
    var on = longLayout.on && !marked && !longLayout.whole;
    if (document.documentElement.classList.contains('veltrane-long') !== on)
        keepingView(function () { document.documentElement.classList.toggle('veltrane-long', on); });
    if (longLayout.on) {
        followView();
        followSelection();
    }
}

function layOutWholeDocument(whole) {
    longLayout.whole = whole;
    updateLongLayout();
}

// The index among the body's elements of the block holding the point, -1 when none.
function blockIndex(node, offset) {
    var block = node === document.body ? node.childNodes[Math.max(0, offset - 1)] : topBlock(node);
    while (block && block.nodeType !== Node.ELEMENT_NODE)
        block = block.previousSibling;
    return block ? Array.prototype.indexOf.call(document.body.children, block) : -1;
}

// The index of the first block whose bottom is below y (view coordinates).
function blockIndexAtY(y) {
    var blocks = document.body.children;
    var low = 0;
    var high = blocks.length - 1;
    while (low < high) {
        var middle = (low + high) >> 1;
        if (blocks[middle].getBoundingClientRect().bottom < y)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Runs change (which lays out blocks anew) so that the text at the top of the
// view stays where it is: the blocks above it may change their height.
function keepingView(change) {
    var blocks = document.body.children;
    var anchor = blocks.length > 0 ? blocks[blockIndexAtY(0)] : null;
    var before = anchor ? anchor.getBoundingClientRect().top : 0;
    change();
    if (anchor && anchor.parentNode === document.body) {
        var after = anchor.getBoundingClientRect().top;
        if (after !== before)
            window.scrollBy(0, after - before);
    }
}

function writeLongLayout() {
    if (!longLayout.style) {
        longLayout.style = document.createElement('style');
        document.head.appendChild(longLayout.style);
    }
    var rules = [longLayout.view, longLayout.selection].filter(Boolean).map(function (range) {
        return 'html.veltrane-long body > :nth-child(n+' + (Math.max(0, range[0]) + 1) + '):nth-child(-n+' + (range[1] + 1) + ')';
    });
    var text = rules.length > 0 ? rules.join(',') + ' { content-visibility: visible; }' : '';
    if (longLayout.style.textContent !== text)
        keepingView(function () { longLayout.style.textContent = text; });
}

function followView() {
    if (!longLayout.on || !document.body.firstElementChild)
        return;
    var first = blockIndexAtY(0);
    var last = blockIndexAtY(window.innerHeight);
    var view = longLayout.view;
    // Moved only once the view nears its edge: each move lays out blocks anew.
    if (view && first - view[0] >= AROUND_VIEW / 2 && view[1] - last >= AROUND_VIEW / 2)
        return;
    longLayout.view = [first - AROUND_VIEW, last + AROUND_VIEW];
    writeLongLayout();
}

// Page Down and Page Up move the caret a screen at once: the blocks it may
// reach are laid out before the key moves it.
function beforePageKey(event) {
    if (!longLayout.on || (event.key !== 'PageDown' && event.key !== 'PageUp'))
        return;
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return;
    var at = blockIndex(selection.focusNode, selection.focusOffset);
    if (at < 0)
        return;
    longLayout.selection = [at - 2 * AROUND_SELECTION, at + 2 * AROUND_SELECTION];
    writeLongLayout();
}

function followSelection() {
    var selection = window.getSelection();
    var range = null;
    if (longLayout.on && selection && selection.rangeCount > 0) {
        var anchor = blockIndex(selection.anchorNode, selection.anchorOffset);
        var focus = blockIndex(selection.focusNode, selection.focusOffset);
        if (anchor >= 0 && focus >= 0)
            range = [Math.min(anchor, focus) - AROUND_SELECTION, Math.max(anchor, focus) + AROUND_SELECTION];
    }
    var old = longLayout.selection;
    if (old === range || (old && range && old[0] === range[0] && old[1] === range[1]))
        return;
    longLayout.selection = range;
    writeLongLayout();
}

// Replaces the document. Nothing in the new content can run: the page's
// security policy admits the program's own scripts only.
function setBodyHtml(html) {
    if (!document.body) {
        document.addEventListener('DOMContentLoaded', function () { setBodyHtml(html); });
        return;
    }
    var pieces = htmlPieces;
    var broken = htmlPiecesBroken || typeof html !== 'string';
    htmlPieces = [];
    htmlPiecesBroken = false;
    if (pageFill.timer)
        clearTimeout(pageFill.timer);
    pageFill = { nodes: [], next: 0, timer: 0, broken: broken };
    if (broken) {
        // A transfer that failed is no document: nothing of it is shown, and
        // the page refuses to give any text back until a good one arrives.
        document.body.innerHTML = '';
        contentObj.contentLoaded(false);
        return;
    }
    pieces.push(html);
    html = pieces.join('');
    var parsed = document.createElement('template');
    parsed.innerHTML = prepareCodeBlockHtml(withClosedAnchors(html));
    loadedDivs = new WeakSet(parsed.content.querySelectorAll('div'));
    pageFill.nodes = Array.prototype.slice.call(parsed.content.childNodes);
    longLayout.on = pageFill.nodes.length > LONG_DOCUMENT_BLOCKS;
    longLayout.whole = false;
    longLayout.view = null;
    longLayout.selection = null;
    document.body.innerHTML = '';
    updateLongLayout();
    resetWordCount();
    fillSlice(FILL_FIRST_MS, FILL_FIRST_NODES);
}

// Moves the next nodes of the document into the page for about budget ms,
// at most count of them when count is given.
function fillSlice(budget, count) {
    var fill = pageFill;
    fill.timer = 0;
    var start = Date.now();
    var body = document.body;
    while (fill.next < fill.nodes.length) {
        var node = fill.nodes[fill.next++];
        body.appendChild(node);
        if (node.nodeType === Node.ELEMENT_NODE) {
            disarmStyleSheets(node);
            resolveImages(node);
            if (node.tagName === 'PRE' || node.querySelector('pre'))
                changePreToCodeMirror(node);
        }
        if (budget >= 0 && Date.now() - start >= budget || --count === 0)
            break;
    }
    followView();
    if (fill.next < fill.nodes.length) {
        var end = Date.now();
        fill.timer = setTimeout(function () {
            // The longer the page, the longer the engine works between two
            // slices: a slice takes as long, so the fill keeps pace with it
            // instead of slowing down as the page grows.
            if (pageFill === fill)
                fillSlice(Math.max(FILL_SLICE_MS, Math.min(Date.now() - end, FILL_SLICE_MAX_MS)));
        }, 0);
        return;
    }
    fill.nodes = [];
    fill.next = 0;
    countWordsNow();
    contentObj.contentLoaded(true);
}

// A document's own style sheets style its text but cannot take it out of
// sight: what would hide content is dropped from their rules in the page. The
// style elements keep their text, so the saved document keeps them as written.
var HIDING_VALUES = {
    'display': function (v) { return v === 'none'; },
    'visibility': function (v) { return v === 'hidden' || v === 'collapse'; },
    'content-visibility': function (v) { return v === 'hidden'; },
    'opacity': function (v) { return parseFloat(v) < 0.2; },
    'font-size': function (v) { return parseFloat(v) === 0; }
};

function disarmStyleSheets(node) {
    var styles = node.tagName === 'STYLE' ? [node] : node.querySelectorAll('style');
    for (var i = 0; i < styles.length; i++) {
        if (styles[i].sheet)
            disarmRules(styles[i].sheet.cssRules);
    }
}

function disarmRules(rules) {
    for (var i = 0; i < rules.length; i++) {
        var rule = rules[i];
        if (rule.cssRules)
            disarmRules(rule.cssRules); // inside @media and @supports
        if (!rule.style)
            continue;
        for (var property in HIDING_VALUES) {
            if (HIDING_VALUES[property](rule.style.getPropertyValue(property).trim().toLowerCase()))
                rule.style.removeProperty(property);
        }
    }
}

// Whether part of the document is still waiting to be shown.
function isFilling() {
    return pageFill.next < pageFill.nodes.length;
}

// Shows the rest of the document at once (for what needs all of it in the page).
function finishFill() {
    if (!isFilling())
        return;
    clearTimeout(pageFill.timer);
    fillSlice(-1);
}

// ---------------------------------------------------------------------------
// Word count: the text of each top-level block is kept until the block
// changes, so a key press never makes the page read the whole document; the
// count itself runs in the worker, a moment after the typing stops.

var blockTexts = new WeakMap();
var changedBlocks = new Set();
var wordCountTimer = 0;
var WORD_COUNT_DELAY = 300;

var INLINE_TAGS = /^(A|ABBR|B|BDI|BDO|CITE|CODE|DEL|DFN|EM|FONT|I|IMG|INS|KBD|MARK|Q|S|SAMP|SMALL|SPAN|STRIKE|STRONG|SUB|SUP|TIME|U|VAR)$/;

// The document text of node: what a code editor holds, not its language
// selector; block boundaries and line breaks separate words.
function collectText(node, out) {
    if (node.nodeType === Node.TEXT_NODE) {
        out.push(node.data);
        return;
    }
    if (node.nodeType !== Node.ELEMENT_NODE)
        return;
    var tag = node.tagName;
    if (tag === 'SELECT' || tag === 'OPTION' || tag === 'SCRIPT' || tag === 'STYLE' || tag === 'TEXTAREA')
        return;
    if (node.classList.contains('CodeMirror') && node.CodeMirror) {
        out.push('\n', node.CodeMirror.getValue(), '\n');
        return;
    }
    var block = !INLINE_TAGS.test(tag);
    if (block)
        out.push('\n');
    for (var child = node.firstChild; child; child = child.nextSibling)
        collectText(child, out);
    if (block)
        out.push('\n');
}

function blockText(node) {
    if (!changedBlocks.has(node) && blockTexts.has(node))
        return blockTexts.get(node);
    var out = [];
    collectText(node, out);
    var text = out.join('');
    blockTexts.set(node, text);
    return text;
}

// The top-level block of the body that holds node (the body itself for the body).
function topBlock(node) {
    while (node && node.parentNode && node.parentNode !== document.body)
        node = node.parentNode;
    return node && node.parentNode === document.body ? node : null;
}

function noteChanges(records) {
    for (var i = 0; i < records.length; i++) {
        var record = records[i];
        if (record.target === document.body) {
            for (var j = 0; j < record.addedNodes.length; j++)
                changedBlocks.add(record.addedNodes[j]);
        } else {
            var block = topBlock(record.target);
            if (block)
                changedBlocks.add(block);
        }
    }
}

var blockWatcher = new MutationObserver(noteChanges);

function resetWordCount() {
    blockTexts = new WeakMap();
    changedBlocks = new Set();
    blockWatcher.takeRecords();
}

function countWordsNow() {
    if (wordCountTimer)
        clearTimeout(wordCountTimer);
    wordCountTimer = 0;
    noteChanges(blockWatcher.takeRecords());
    var parts = [];
    for (var node = document.body.firstChild; node; node = node.nextSibling)
        parts.push(blockText(node));
    changedBlocks.clear();
    startWorker(parts.join('\n'));
}

function scheduleWordCount() {
    if (wordCountTimer)
        clearTimeout(wordCountTimer);
    wordCountTimer = setTimeout(countWordsNow, WORD_COUNT_DELAY);
}

// ---------------------------------------------------------------------------
// Body handlers

// Keeps an empty paragraph at the end, so the caret can get below a trailing
// table or code block. It holds the browser's own empty-line placeholder: a
// no-break space would end up in the text typed there.
function ensureTrailingParagraph() {
    // While the document is still coming in, its own last block is not there yet.
    if (isFilling())
        return null;
    var last = document.body.lastElementChild;
    if (!last || last.tagName !== 'P' || !/^(&nbsp;|<br>)$/.test(last.innerHTML)) {
        var p = document.createElement('p');
        p.innerHTML = '<br>';
        document.body.appendChild(p);
        return p;
    }
    return null;
}

function onBodyClick(event) {
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
var middleButtonDown = false;

function onBodyMouseDown(event) {
    middleButtonDown = event.button === 1;
}

function onBodyMouseUp() {
    // The engine pastes within the release's own task.
    setTimeout(function () { middleButtonDown = false; }, 0);
}

// Every paste (Ctrl+V on its press, Shift+Insert, the engine's own command) comes
// here once: the program inserts the clipboard, cleaned. A code block's editor
// takes its plain text itself.
function onBodyPaste(event) {
    var target = event.target;
    if (target && target.closest && target.closest('.CodeMirror'))
        return;
    event.preventDefault();
    if (!middleButtonDown)
        contentObj.paste();
}

function onBodyInput() {
    // The mark first, at once, whatever the size of the document.
    contentObj.updateModifyStatus(true);
    scheduleWordCount();
}

window.addEventListener('load', function () {
    document.execCommand('enableObjectResizing', false, true);
    document.execCommand('enableInlineTableEditing', false, true);
    document.execCommand('enableAbsolutePositionEditor', false, true);
    // Enter after a heading starts a paragraph, not a div.
    document.execCommand('defaultParagraphSeparator', false, 'p');

    var body = document.body;
    body.addEventListener('keydown', onBodyKeyDown);
    body.addEventListener('keyup', onBodyKeyUp);
    // Also a click below the body's box: it puts the caret into the body too.
    document.addEventListener('click', onBodyClick);
    body.addEventListener('input', onBodyInput);
    body.addEventListener('paste', onBodyPaste);
    body.addEventListener('mousedown', onBodyMouseDown);
    body.addEventListener('mouseup', onBodyMouseUp);
    body.addEventListener('focusin', function () {
        if (longLayout.whole)
            layOutWholeDocument(false);
        contentObj.webViewFocus();
    });
    blockWatcher.observe(body, { childList: true, subtree: true, characterData: true });
    document.addEventListener('selectionchange', followSelection);
    document.addEventListener('keydown', beforePageKey, true);
    window.addEventListener('scroll', followView, { passive: true });
    window.addEventListener('resize', followView);
});

// ---------------------------------------------------------------------------
// Channel: theme first, then the start-up document, then the other signals.

new QWebChannel(qt.webChannelTransport, function (channel) {
    contentObj = channel.objects.content;
    contentObj.loadThemeCss();
    contentObj.documentFolderSignal.connect(setDocumentFolder);
    contentObj.htmlPieceSignal.connect(addHtmlPiece);
    contentObj.setHtmlSignal.connect(setBodyHtml);
    contentObj.loadRecentMd();

    contentObj.addLinkSignal.connect(onAddLink);
    contentObj.dealCopySignal.connect(insertPayload);
    // Searching and replacing work on the whole document.
    contentObj.highLightKeyword.connect(function (text) { finishFill(); highLightKeyword(text); });
    contentObj.replaceSelectedText.connect(replaceSelectedText);
    contentObj.replaceAllHighText.connect(function (text) { finishFill(); replaceAllHighText(text); });
    contentObj.insertImageSignal.connect(insertImage);
});
