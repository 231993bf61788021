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
    var copy = document.cloneNode(true);
    paragraphsForNewDivs(copy);
    // Code blocks, live or static, are saved as their code.
    var blocks = document.querySelectorAll('pre.veltrane-code');
    var copied = copy.querySelectorAll('pre.veltrane-code');
    for (var i = 0; i < blocks.length && i < copied.length; i++) {
        if (blocks[i].veltraneBlock)
            copied[i].parentNode.replaceChild(savedCodeBlock(blocks[i], copy), copied[i]);
    }
    restoreImageSources(copy);
    // The serializer drops the line feed the parser takes from the start of
    // a pre: a pre whose text starts with a line feed needs one more.
    var pres = copy.querySelectorAll('pre, textarea');
    for (var j = 0; j < pres.length; j++) {
        var first = pres[j].firstChild;
        if (first && first.nodeType === Node.TEXT_NODE && first.data.charAt(0) === '\n')
            first.data = '\n' + first.data;
    }
    return copy.body ? copy.body.innerHTML : '';
}

// Divs the editing made (Enter in a bare line) are paragraphs; the divs the
// document brought stay what they were.
var loadedDivs = new WeakSet();

function paragraphsForNewDivs(copy) {
    var live = document.body ? document.body.querySelectorAll('div') : [];
    var copied = copy.body ? copy.body.querySelectorAll('div') : [];
    for (var i = 0; i < live.length && i < copied.length; i++) {
        if (loadedDivs.has(live[i]) || live[i].attributes.length > 0 || live[i].closest('.CodeMirror'))
            continue;
        var p = copy.createElement('p');
        while (copied[i].firstChild)
            p.appendChild(copied[i].firstChild);
        copied[i].parentNode.replaceChild(p, copied[i]);
    }
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

// Replaces the document. Nothing in the new content can run: the page's
// security policy admits the program's own scripts only.
function setBodyHtml(html) {
    if (!document.body) {
        document.addEventListener('DOMContentLoaded', function () { setBodyHtml(html); });
        return;
    }
    // "<a name=x />" is an empty anchor to its writer; the HTML parser
    // would leave it open around everything after it.
    document.body.innerHTML = prepareCodeBlockHtml(html.replace(/<a(\s[^<>]*?)?\s*\/>/gi, '<a$1 data-veltrane-selfclosing></a>'));
    loadedDivs = new WeakSet(document.body.querySelectorAll('div'));
    resolveImages(document.body);
    changePreToCodeMirror();
}

// ---------------------------------------------------------------------------
// Body handlers

// Keeps an empty paragraph at the end, so the caret can get below a trailing
// table or code block. It holds the browser's own empty-line placeholder: a
// no-break space would end up in the text typed there.
function ensureTrailingParagraph() {
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
    startWorker(document.body.innerText);
    contentObj.updateModifyStatus(true);
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
    body.addEventListener('focusin', function () { contentObj.webViewFocus(); });
});

// ---------------------------------------------------------------------------
// Channel: theme first, then the start-up document, then the other signals.

new QWebChannel(qt.webChannelTransport, function (channel) {
    contentObj = channel.objects.content;
    contentObj.loadThemeCss();
    contentObj.documentFolderSignal.connect(setDocumentFolder);
    contentObj.setHtmlSignal.connect(setBodyHtml);
    contentObj.loadRecentMd();

    contentObj.addLinkSignal.connect(onAddLink);
    contentObj.dealCopySignal.connect(insertPayload);
    contentObj.highLightKeyword.connect(highLightKeyword);
    contentObj.replaceSelectedText.connect(replaceSelectedText);
    contentObj.replaceAllHighText.connect(replaceAllHighText);
    contentObj.insertImageSignal.connect(insertImage);
});
