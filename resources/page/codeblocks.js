// Code blocks. A loaded block is shown as static code, coloured by the
// editor's own modes, and becomes a CodeMirror editor with a language selector
// only when the user works in it: an editor costs far more than its text.
// Either way a block is a pre element of class "veltrane-code" holding the
// code (static) or the editor (live, class "veltrane-live").
//
// A block's state lives on its pre element, as veltraneBlock:
//   text   the code, lines joined by "\n", without the line feed ending the last
//   mode   the current mode
//   kept   the fence's own word: { info, mode, className }, written back while
//          the block keeps the mode the word gave
//   empty  whether the block was empty when loaded
//   editor the live editor, once there is one

import { ensureTrailingParagraph } from './body.js';
import { createCodeEditor } from './codeeditor.js';
import { announceEdit, elementOf, isEmptyLine, selectRange } from './dom.js';
import { languageList, languageName, modeForFenceWord } from './languages.js';

export const codeBlockSelector = 'pre.veltrane-code';

export function codeBlockOf(node) {
    var element = elementOf(node);
    var pre = element ? element.closest(codeBlockSelector) : null;
    return pre && pre.veltraneBlock ? pre : null;
}

export function isStaticCodeBlock(pre) {
    return !!(pre && pre.veltraneBlock && !pre.veltraneBlock.editor);
}

// The code of a block as its editor has it (or would have it).
export function codeBlockText(pre) {
    var state = pre.veltraneBlock;
    return state.editor ? state.editor.getValue() : state.text;
}

export function codeBlockMode(pre) {
    var state = pre.veltraneBlock;
    return state.editor ? (state.editor.getOption('mode') || '') : state.mode;
}

// The pre and code elements a block is saved as (null for a pre that is no block).
export function savedCodeBlock(pre) {
    var state = pre.veltraneBlock;
    if (!state)
        return null;
    var mode = codeBlockMode(pre);
    var kept = state.kept;
    var language = kept && kept.info && kept.mode === mode ? kept.className : languageName(mode);
    var out = document.createElement('pre');
    var code = document.createElement('code');
    if (language)
        code.className = language;
    // The editor holds the lines without the line feed that ends the last
    // one: it goes back, unless the block never had a line.
    var value = codeBlockText(pre);
    code.textContent = value === '' && state.empty ? '' : value + '\n';
    out.appendChild(code);
    return out;
}

// ---------------------------------------------------------------------------
// Static blocks

// The current theme's class, so that a code theme colours static code as it
// colours the editors.
function codeThemeClass() {
    return 'cm-s-' + (CodeMirror.defaults.theme || 'default');
}

// Fills code with text coloured by mode, with the editor's token classes. The
// text is kept exactly (tabs included): the shown text is the block's text.
function colourCode(code, text, mode) {
    var fragment = document.createDocumentFragment();
    var plain = '';
    var flush = function () {
        if (plain) {
            fragment.appendChild(document.createTextNode(plain));
            plain = '';
        }
    };
    var add = function (token, style) {
        if (!style || token === '\n') {
            plain += token;
            return;
        }
        flush();
        var span = document.createElement('span');
        span.className = 'cm-' + style.replace(/ +/g, ' cm-');
        span.textContent = token;
        fragment.appendChild(span);
    };
    if (mode && CodeMirror.runMode) {
        try {
            CodeMirror.runMode(text, mode, add);
        } catch (e) {
            plain = text;
        }
    } else {
        plain = text;
    }
    flush();
    code.textContent = '';
    code.appendChild(fragment);
}

// Shows a static block's state in it.
function renderStaticBlock(pre) {
    var state = pre.veltraneBlock;
    var code = pre.firstElementChild;
    if (!code || code.tagName !== 'CODE') {
        pre.textContent = '';
        code = pre.appendChild(document.createElement('code'));
    }
    colourCode(code, state.text, state.mode);
    state.coloured = true;
}

// Colouring waits until the page has shown: blocks are coloured in document
// order, a few milliseconds at a time, so that the input is never held up.
let colourQueue = [];
let colourNext = 0;
let colourTimer = 0;

function queueColouring(pre) {
    colourQueue.push(pre);
    if (!colourTimer)
        colourTimer = setTimeout(colourSome, 0);
}

function colourSome() {
    colourTimer = 0;
    var until = performance.now() + 8;
    while (colourNext < colourQueue.length && performance.now() < until) {
        var pre = colourQueue[colourNext++];
        if (isStaticCodeBlock(pre) && !pre.veltraneBlock.coloured && document.body.contains(pre))
            renderStaticBlock(pre);
    }
    if (colourNext < colourQueue.length) {
        colourTimer = setTimeout(colourSome, 0);
    } else {
        colourQueue = [];
        colourNext = 0;
    }
}

// Makes pre (a pre holding just its code element) a static block.
function makeStaticBlock(pre) {
    var first = pre.firstChild;
    var info = '';
    var className = '';
    if (first.classList.length > 0) {
        info = first.classList[0].replace('language-', '');
        className = first.className;
    }
    var mode = modeForFenceWord(info);
    var raw = pre.textContent;
    pre.veltraneBlock = {
        // As the editor would take it: the last line feed goes, line ends are "\n".
        text: raw.replace(/\n$/, '').split(/\r\n?|\n/).join('\n'),
        mode: mode,
        // The fence's own language word ("python", "rust"), written back
        // unless the user picks another language.
        kept: { info: info, mode: mode, className: info ? className : '' },
        empty: raw === '',
        editor: null,
        coloured: false
    };
    // Not editable in the page, but it can take the focus.
    pre.className = 'veltrane-code ' + codeThemeClass();
    if (pre.getAttribute('contenteditable') !== 'false')
        pre.setAttribute('contenteditable', 'false');
    pre.setAttribute('tabindex', '-1');
    // Until then it shows its code as written, uncoloured.
    queueColouring(pre);
}

// A document's HTML with its code blocks marked not editable: set on each
// block once it is in the page, the attribute costs a style update apiece
// (seconds on a thousand blocks); written in the markup it costs nothing.
export function prepareMarkup(html) {
    return html.replace(/<pre><code/g, '<pre contenteditable="false"><code');
}

// Makes the code blocks among the pre elements in root (the whole body by
// default, root itself included) static blocks.
export function makeCodeBlocks(root) {
    root = root || document.body;
    if (!root)
        return;
    var pres = Array.prototype.slice.call(root.querySelectorAll ? root.querySelectorAll('pre') : []);
    if (root.tagName === 'PRE')
        pres.unshift(root);
    for (var i = 0; i < pres.length; i++) {
        var pre = pres[i];
        // The lines of an editor are pre elements too, and a block is one once.
        if (!pre.parentNode || pre.veltraneBlock || pre.closest('.CodeMirror'))
            continue;
        // A pre without its code element is HTML the document wrote: it stays.
        if (!pre.firstChild || pre.firstChild.nodeName !== 'CODE' || pre.childNodes.length !== 1)
            continue;
        makeStaticBlock(pre);
    }
}

// A node of the document has come into the page.
export function shown(node) {
    if (node.tagName === 'PRE' || node.querySelector('pre'))
        makeCodeBlocks(node);
}

// The DOM range of the characters start..end of a static block's code.
export function staticBlockRange(pre, start, end) {
    // Its text as the state has it (line ends included).
    if (!pre.veltraneBlock.coloured)
        renderStaticBlock(pre);
    var code = pre.firstElementChild || pre;
    var walker = document.createTreeWalker(code, NodeFilter.SHOW_TEXT, null, false);
    var range = document.createRange();
    var at = 0;
    var started = false;
    for (var node = walker.nextNode(); node; node = walker.nextNode()) {
        var length = node.data.length;
        if (!started && start <= at + length) {
            range.setStart(node, start - at);
            started = true;
        }
        if (started && end <= at + length) {
            range.setEnd(node, end - at);
            return range;
        }
        at += length;
    }
    range.selectNodeContents(code);
    range.collapse(false);
    return range;
}

// ---------------------------------------------------------------------------
// Live blocks

// What else a block shows (a diagram) follows it becoming live: each
// listener(pre, editor) runs once its editor is made.
const activationListeners = [];

export function onActivated(listener) {
    activationListeners.push(listener);
}

// The live editor of a block, made now if it is static.
export function activateCodeBlock(pre) {
    var state = pre.veltraneBlock;
    if (state.editor)
        return state.editor;
    pre.textContent = '';
    // Its own marks (a front matter's fold) go, the classes of a block come.
    pre.className = 'veltrane-code veltrane-live';
    pre.setAttribute('contenteditable', 'false');
    state.editor = createCodeEditor(pre, state.mode, state.text);
    for (var i = 0; i < activationListeners.length; i++)
        activationListeners[i](pre, state.editor);
    return state.editor;
}

// Every block in root made live (a whole-document operation wants editors).
export function activateCodeBlocks(root) {
    var pres = (root || document.body).querySelectorAll(codeBlockSelector);
    for (var i = 0; i < pres.length; i++) {
        if (isStaticCodeBlock(pres[i]))
            activateCodeBlock(pres[i]);
    }
}

// Where a new block (a code block, a table) goes: the selection's first range,
// moved out of any code block (a new block goes after it, never inside it);
// null without a selection in the body.
export function blockInsertionRange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return null;
    var range = selection.getRangeAt(0);
    if (!document.body.contains(range.commonAncestorContainer))
        return null;
    var element = elementOf(range.startContainer);
    var block = element ? element.closest(codeBlockSelector + ', .CodeMirror') : null;
    if (block) {
        block = block.closest(codeBlockSelector) || block;
        // Into the paragraph after the block (the empty line the page keeps
        // at the end when there is none): only there can the editing go on.
        var next = block.nextElementSibling;
        if (!next || next.tagName !== 'P') {
            next = document.createElement('p');
            next.innerHTML = '<br>';
            block.parentNode.insertBefore(next, block.nextSibling);
        }
        range = document.createRange();
        range.selectNodeContents(next);
        if (next.textContent.replace(/\xA0/g, '') !== '')
            range.collapse(true);
    }
    return range;
}

// A new live block of mode, holding text, in the place of range, through one
// editing command (one undo step); returns its editor, or null.
export function insertCodeBlockAt(range, text, mode, kept) {
    // The command works where the focus is: not in an editor's input field.
    if (document.activeElement !== document.body)
        document.body.focus();
    // The editing command's undo step loses its new block when an empty line
    // follows (the browser reworks that line): the page's empty last line
    // goes for the time of the command and comes back after it.
    var last = document.body.lastElementChild;
    var trailing = last && isEmptyLine(last) && !last.contains(range.startContainer) && last.previousElementSibling
        ? last : null;
    if (trailing)
        trailing.remove();
    selectRange(range);
    // An empty, editable pre is what the editing command places cleanly (and
    // takes back whole); it gets its editor afterwards.
    document.execCommand('insertHTML', false, '<pre class="veltrane-code veltrane-inserted"></pre>');
    var pre = document.body.querySelector('pre.veltrane-inserted');
    if (!pre)
        return null;
    pre.classList.remove('veltrane-inserted');
    if (trailing)
        ensureTrailingParagraph();
    pre.veltraneBlock = { text: text, mode: mode, kept: kept || null, empty: false, editor: null };
    var editor = activateCodeBlock(pre);
    editor.focus();
    editor.setCursor(editor.lineCount(), 0);
    return editor;
}

// A new, empty-mode code block at the selection, holding the selected text.
export function insertCodeBlock() {
    var range = blockInsertionRange();
    if (!range)
        return;
    var selection = window.getSelection();
    // Moved out of an editor, the range no longer holds the selected text.
    var text = range === selection.getRangeAt(0) ? selection.toString() : '';
    insertCodeBlockAt(range, text.split(/\r\n?|\n/).join('\n'), '', null);
}

// ---------------------------------------------------------------------------
// Changes from outside the block

// The block at the point (view coordinates), or null.
function codeBlockAt(x, y) {
    return codeBlockOf(document.elementFromPoint(x, y));
}

// The context menu's languages for the block at the point: the selector's
// list, or null when there is no block there.
export function languagesAt(x, y) {
    return codeBlockAt(x, y) ? languageList() : null;
}

// The language items of the context menu: sets the mode of the code block at
// the point (view coordinates). Returns whether there was a block there. A
// static block stays static, coloured for its new language.
export function setModeAt(x, y, mode) {
    var pre = codeBlockAt(x, y);
    if (!pre)
        return false;
    var state = pre.veltraneBlock;
    if (state.editor) {
        state.editor.setOption('mode', mode);
        if (state.editor.veltraneSelect.options.length > 0)
            state.editor.veltraneSelect.value = mode;
    } else {
        state.mode = mode;
        renderStaticBlock(pre);
    }
    announceEdit();
    return true;
}

// Replaces start..end of a block's text with text: through the editor (its
// own undo history) when live, in the shown code when static.
export function replaceInCodeBlock(pre, start, end, text) {
    var state = pre.veltraneBlock;
    if (state.editor) {
        var doc = state.editor.getDoc();
        doc.replaceRange(text, doc.posFromIndex(start), doc.posFromIndex(end));
        return;
    }
    state.text = state.text.slice(0, start) + text + state.text.slice(end);
    renderStaticBlock(pre);
}

// A block an undo or redo step brings back comes without its mark; its
// editor was out of the page and measures itself again.
function onHistoryInput(event) {
    if (event.inputType !== 'historyUndo' && event.inputType !== 'historyRedo')
        return;
    var pres = document.body.querySelectorAll(codeBlockSelector + ':not([contenteditable])');
    for (var i = 0; i < pres.length; i++) {
        pres[i].setAttribute('contenteditable', 'false');
        if (pres[i].veltraneBlock && pres[i].veltraneBlock.editor)
            pres[i].veltraneBlock.editor.refresh();
    }
}

export function install() {
    document.body.addEventListener('input', onHistoryInput);
}
