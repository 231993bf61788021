// Formatting helpers, typed Markdown shortcuts and the word count of the editing page.

// Inline code: wraps the selected contents in a code element.
function inserCode() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return;
    var range = selection.getRangeAt(0);
    var fragment = range.extractContents();
    var code = document.createElement('code');
    code.appendChild(fragment);
    range.insertNode(code);
}

// Typed Markdown: "# " to "###### ", "> ", "1. " and "- " at the start of an
// empty block turn it into a heading, quote or list; Enter starts a paragraph.
var markdownShortcuts = [
    { pattern: /^#{6}\xA0$/, command: 'formatblock', value: 'h6', text: '\xA0' },
    { pattern: /^#{5}\xA0$/, command: 'formatblock', value: 'h5', text: '\xA0' },
    { pattern: /^#{4}\xA0$/, command: 'formatblock', value: 'h4', text: '\xA0' },
    { pattern: /^#{3}\xA0$/, command: 'formatblock', value: 'h3', text: '\xA0' },
    { pattern: /^#{2}\xA0$/, command: 'formatblock', value: 'h2', text: '\xA0' },
    { pattern: /^#{1}\xA0$/, command: 'formatblock', value: 'h1', text: '\xA0' },
    { pattern: /^>\xA0$/, command: 'formatblock', value: 'blockquote', text: '\xA0' },
    { pattern: /^\d+\.\xA0$/, command: 'insertOrderedList', value: null, text: '' },
    { pattern: /^[\-+*]\xA0+$/, command: 'insertUnorderedList', value: null, text: '' }
];

// Whether the Enter being released was pressed in the page: Return that closes a
// dialog is released here too, and must not reformat the block at the caret (a
// table just inserted, a heading).
var enterPressedInPage = false;

function isEnterKey(event) {
    return event.key === 'Enter' || event.keyCode === 13;
}

function onBodyKeyDown(event) {
    if (isEnterKey(event))
        enterPressedInPage = true;
}

function onBodyKeyUp(event) {
    var pressedHere = !isEnterKey(event) || enterPressedInPage;
    if (isEnterKey(event))
        enterPressedInPage = false;
    if (!pressedHere)
        return;
    // Keys typed into a code block belong to its editor.
    if (event.target && event.target.closest && event.target.closest('.CodeMirror'))
        return;
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return;
    var range = selection.getRangeAt(0);
    if (!range)
        return;
    var container = range.endContainer;
    var line = container.nodeType === Node.TEXT_NODE ? container.data : '';

    if (isEnterKey(event)) {
        if (event.shiftKey)
            return;
        var parent = container.parentNode;
        var tag = parent ? parent.nodeName : '';
        if (tag !== 'LI' && tag !== 'UL' && tag !== 'OL')
            document.execCommand('formatblock', false, 'p');
        return;
    }

    for (var i = 0; i < markdownShortcuts.length; i++) {
        var shortcut = markdownShortcuts[i];
        if (!shortcut.pattern.test(line))
            continue;
        document.execCommand(shortcut.command, false, shortcut.value);
        // The command rebuilds the block, so the typed marker now sits in a new
        // text node: find it again through the caret.
        var node = container.isConnected ? container : null;
        if (!node && selection.rangeCount > 0)
            node = selection.getRangeAt(0).endContainer;
        var block = node && node.nodeType === Node.TEXT_NODE ? node.parentNode : node;
        if (!block || block === document.body)
            return;
        // A list made inside a paragraph is left there by the browser; a
        // paragraph may not hold a list, so the list takes its place.
        var list = block.closest('ul,ol');
        var holder = list ? list.parentElement : null;
        if (holder && holder.tagName === 'P' && holder.childNodes.length === 1)
            holder.parentNode.replaceChild(list, holder);
        block.innerText = shortcut.text;
        var caret = document.createRange();
        caret.setStart(block, 0);
        caret.collapse(true);
        selection.removeAllRanges();
        selection.addRange(caret);
        return;
    }
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
