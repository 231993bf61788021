// Code blocks. A loaded block is shown as static code, coloured by the
// editor's own modes, and becomes a CodeMirror editor with a language selector
// only when the user works in it: an editor costs far more than its text.
// Either way a block is a pre element of class "veltrane-code" holding the
// code (static) or the editor (live, class "veltrane-live").

// Language table: CodeMirror mode -> the name shown in the selector and written
// as the code element's class when the page is saved. The order is the
// selector's order.
var options = {
    '': 'default',
    'text/html': 'html',
    'text/x-csrc': 'C',
    'text/x-c++src': 'C++',
    'text/x-java': 'Java',
    'text/x-csharp': 'C#',
    'text/x-objectivec': 'Objective-C',
    'text/x-scala': 'Scala',
    'text/javascript': 'javascript',
    'text/typescript': 'TypeScript',
    'application/json': 'JSON',
    'text/x-cmake': 'Cmake',
    'text/css': 'CSS',
    'text/x-erlang': 'Erlang',
    'text/x-fortran': 'Fortran',
    'text/x-go': 'Go',
    'text/x-kotlin': 'Kotlin',
    'text/x-markdown': 'Markdown',
    'text/x-perl': 'Perl',
    'application/x-httpd-php': 'PHP HTML',
    'text/x-php': 'PHP',
    'text/x-pascal': 'Pascal',
    'application/x-powershell': 'PowerShell',
    'text/x-python': 'Python',
    'text/x-ruby': 'Ruby',
    'text/x-rustsrc': 'Rust',
    'text/x-sh': 'Shell',
    'text/x-sql': 'SQL',
    'text/x-swift': 'Swift',
    'text/x-vb': 'VB.NET',
    'text/x-verilog': 'Verilog',
    'text/x-vue': 'Vue.js',
    'text/x-diff': 'Diff',
    'text/x-yaml': 'YAML',
    'application/xml': 'XML'
};


// The words fences commonly carry (lower case) for the modes of the table.
var fenceAliases = {
    'html': 'text/html', 'htm': 'text/html', 'xhtml': 'text/html',
    'c': 'text/x-csrc', 'h': 'text/x-csrc',
    'c++': 'text/x-c++src', 'cpp': 'text/x-c++src', 'cc': 'text/x-c++src', 'cxx': 'text/x-c++src',
    'hpp': 'text/x-c++src', 'hxx': 'text/x-c++src',
    'java': 'text/x-java',
    'c#': 'text/x-csharp', 'cs': 'text/x-csharp', 'csharp': 'text/x-csharp',
    'objective-c': 'text/x-objectivec', 'objectivec': 'text/x-objectivec', 'objc': 'text/x-objectivec',
    'scala': 'text/x-scala',
    'javascript': 'text/javascript', 'js': 'text/javascript', 'node': 'text/javascript',
    'mjs': 'text/javascript', 'cjs': 'text/javascript',
    'typescript': 'text/typescript', 'ts': 'text/typescript',
    'json': 'application/json',
    'cmake': 'text/x-cmake',
    'css': 'text/css',
    'erlang': 'text/x-erlang', 'erl': 'text/x-erlang',
    'fortran': 'text/x-fortran', 'f90': 'text/x-fortran', 'f95': 'text/x-fortran',
    'go': 'text/x-go', 'golang': 'text/x-go',
    'kotlin': 'text/x-kotlin', 'kt': 'text/x-kotlin', 'kts': 'text/x-kotlin',
    'markdown': 'text/x-markdown', 'md': 'text/x-markdown',
    'perl': 'text/x-perl', 'pl': 'text/x-perl',
    'php': 'application/x-httpd-php',
    'pascal': 'text/x-pascal', 'delphi': 'text/x-pascal',
    'powershell': 'application/x-powershell', 'ps1': 'application/x-powershell', 'pwsh': 'application/x-powershell',
    'python': 'text/x-python', 'py': 'text/x-python', 'python3': 'text/x-python', 'py3': 'text/x-python',
    'ruby': 'text/x-ruby', 'rb': 'text/x-ruby',
    'rust': 'text/x-rustsrc', 'rs': 'text/x-rustsrc',
    'sh': 'text/x-sh', 'bash': 'text/x-sh', 'shell': 'text/x-sh', 'zsh': 'text/x-sh', 'ksh': 'text/x-sh',
    'console': 'text/x-sh', 'shell-session': 'text/x-sh',
    'sql': 'text/x-sql', 'mysql': 'text/x-sql', 'postgresql': 'text/x-sql', 'sqlite': 'text/x-sql',
    'swift': 'text/x-swift',
    'vb': 'text/x-vb', 'vbnet': 'text/x-vb', 'vb.net': 'text/x-vb',
    'verilog': 'text/x-verilog', 'v': 'text/x-verilog',
    'vue': 'text/x-vue', 'vue.js': 'text/x-vue',
    'diff': 'text/x-diff', 'patch': 'text/x-diff',
    'yaml': 'text/x-yaml', 'yml': 'text/x-yaml',
    'xml': 'application/xml', 'svg': 'application/xml', 'xsl': 'application/xml', 'xsd': 'application/xml'
};

// The mode whose display name is exactly text, "" when there is none.
function findLanguageKey(text) {
    for (var key in options) {
        if (options.hasOwnProperty(key) && options[key] === text)
            return key;
    }
    return '';
}

// The mode for a fence's word: a display name, or a usual name of the
// language in any case; "" for a word the table does not know.
function modeForFenceWord(word) {
    if (!word)
        return '';
    var mode = findLanguageKey(word);
    if (mode)
        return mode;
    var lower = word.toLowerCase();
    return Object.prototype.hasOwnProperty.call(fenceAliases, lower) ? fenceAliases[lower] : '';
}

// The selector's languages in its order, as [mode, name] pairs.
function codeBlockLanguages() {
    var list = [];
    for (var key in options) {
        if (options.hasOwnProperty(key))
            list.push([key, options[key]]);
    }
    return list;
}

// ---------------------------------------------------------------------------
// Blocks and their state. A block's state lives on its pre element:
//   text   the code, lines joined by "\n", without the line feed ending the last
//   mode   the current mode
//   kept   the fence's own word: { info, mode, className }, written back while
//          the block keeps the mode the word gave
//   empty  whether the block was empty when loaded
//   editor the live editor, once there is one

function codeBlockOf(node) {
    var element = node && (node.nodeType === Node.ELEMENT_NODE ? node : node.parentElement);
    var pre = element ? element.closest('pre.veltrane-code') : null;
    return pre && pre.veltraneBlock ? pre : null;
}

function isStaticCodeBlock(pre) {
    return !!(pre && pre.veltraneBlock && !pre.veltraneBlock.editor);
}

// The code of a block as its editor has it (or would have it).
function codeBlockText(pre) {
    var state = pre.veltraneBlock;
    return state.editor ? state.editor.getValue() : state.text;
}

function codeBlockMode(pre) {
    var state = pre.veltraneBlock;
    return state.editor ? (state.editor.getOption('mode') || '') : state.mode;
}

// The pre and code elements a block is saved as, built in doc.
function savedCodeBlock(pre, doc) {
    var state = pre.veltraneBlock;
    var mode = codeBlockMode(pre);
    var kept = state.kept;
    var language = kept && kept.info && kept.mode === mode ? kept.className : languageName(mode);
    var out = doc.createElement('pre');
    var code = doc.createElement('code');
    if (language)
        code.className = language;
    // The editor holds the lines without the line feed that ends the last
    // one: it goes back, unless the block never had a line.
    var value = codeBlockText(pre);
    code.textContent = value === '' && state.empty ? '' : value + '\n';
    out.appendChild(code);
    return out;
}

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
var colourQueue = [];
var colourNext = 0;
var colourTimer = 0;

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

// The page's HTML with its code blocks marked not editable: set on each
// block once it is in the page, the attribute costs a style update apiece
// (seconds on a thousand blocks); written in the markup it costs nothing.
function prepareCodeBlockHtml(html) {
    return html.replace(/<pre><code/g, '<pre contenteditable="false"><code');
}

// Makes the code blocks among the pre elements in root (the whole body by
// default, root itself included) static blocks.
function changePreToCodeMirror(root) {
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

// The live editor of a block, made now if it is static.
function activateCodeBlock(pre) {
    var state = pre.veltraneBlock;
    if (state.editor)
        return state.editor;
    pre.textContent = '';
    pre.className = 'veltrane-code veltrane-live';
    pre.setAttribute('contenteditable', 'false');
    state.editor = createCodeMirror(pre, state.mode, state.text);
    return state.editor;
}

// Every block in root made live (a whole-document operation wants editors).
function activateCodeBlocks(root) {
    var pres = (root || document.body).querySelectorAll('pre.veltrane-code');
    for (var i = 0; i < pres.length; i++) {
        if (isStaticCodeBlock(pres[i]))
            activateCodeBlock(pres[i]);
    }
}

// The offset in the text of element of the point (node, offset) inside it.
function textOffsetIn(element, node, offset) {
    var range = document.createRange();
    range.selectNodeContents(element);
    try {
        range.setEnd(node, offset);
    } catch (e) {
        return 0;
    }
    return range.toString().length;
}

// The DOM range of the characters start..end of a static block's code.
function staticBlockRange(pre, start, end) {
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

// Makes a block live and puts the caret at offset (-1: the end) of its text;
// focus says whether the editor takes the keyboard.
function enterCodeBlock(pre, offset, focus, selectionEnd) {
    var editor = activateCodeBlock(pre);
    var doc = editor.getDoc();
    var length = doc.getValue().length;
    var from = doc.posFromIndex(offset < 0 ? length : Math.min(offset, length));
    var to = typeof selectionEnd === 'number' ? doc.posFromIndex(Math.min(selectionEnd, length)) : from;
    if (focus)
        editor.focus();
    doc.setSelection(from, to);
    return editor;
}

// A press on a static block: the editor takes its place with the caret where
// the press was.
function onCodeBlockMouseDown(event) {
    var pre = codeBlockOf(event.target);
    if (!isStaticCodeBlock(pre) || event.button !== 0)
        return;
    var offset = -1;
    var point = document.caretRangeFromPoint ? document.caretRangeFromPoint(event.clientX, event.clientY) : null;
    if (point && pre.contains(point.startContainer))
        offset = textOffsetIn(pre.firstElementChild || pre, point.startContainer, point.startOffset);
    event.preventDefault();
    enterCodeBlock(pre, offset, true);
}

// Focus (a static block can take it) or a selection put into a static block
// (find's match) make it live; the selection moves into the editor.
function onCodeBlockFocusIn(event) {
    var pre = codeBlockOf(event.target);
    if (isStaticCodeBlock(pre) && event.target === pre)
        enterCodeBlock(pre, 0, true);
}

function onCodeBlockSelectionChange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return;
    var pre = codeBlockOf(selection.anchorNode);
    if (!isStaticCodeBlock(pre))
        return;
    var range = selection.getRangeAt(0);
    var code = pre.firstElementChild || pre;
    var start = pre.contains(range.startContainer) ? textOffsetIn(code, range.startContainer, range.startOffset) : 0;
    var end = pre.contains(range.endContainer) ? textOffsetIn(code, range.endContainer, range.endOffset) : -1;
    var focused = document.activeElement && document.body.contains(document.activeElement);
    enterCodeBlock(pre, start, focused, end < 0 ? undefined : end);
}

// Arrow keys: the browser's caret passes over a block it cannot enter. When
// a key moved the caret past one (or could not move below or above the text
// next to it), the caret goes into the first such block instead.
function caretPoint() {
    var range = selectionRange();
    return range ? { node: range.startContainer, offset: range.startOffset, block: blockOf(range.startContainer) } : null;
}

function isBefore(node, offset, other) {
    var range = document.createRange();
    range.setStart(node, offset);
    return range.comparePoint(other, 0) > 0;
}

function codeBlockPassed(before, after, forward) {
    var pres = document.body.querySelectorAll('pre.veltrane-code');
    var candidate = null;
    for (var i = 0; i < pres.length; i++) {
        var pre = forward ? pres[i] : pres[pres.length - 1 - i];
        if (!pre.veltraneBlock || pre.contains(before.node))
            continue;
        if (isBefore(before.node, before.offset, pre) === forward) {
            candidate = pre;
            break;
        }
    }
    if (!candidate)
        return null;
    var moved = after.node !== before.node || after.offset !== before.offset;
    if (moved)
        return isBefore(after.node, after.offset, candidate) !== forward ? candidate : null;
    var neighbour = forward ? before.block.nextElementSibling : before.block.previousElementSibling;
    return neighbour === candidate ? candidate : null;
}

function onCodeBlockArrow(event) {
    var forward = event.key === 'ArrowDown' || event.key === 'ArrowRight';
    if (!forward && event.key !== 'ArrowUp' && event.key !== 'ArrowLeft')
        return;
    if (event.shiftKey || event.ctrlKey || event.altKey || event.metaKey || isInCodeEditor(event.target))
        return;
    var before = caretPoint();
    if (!before)
        return;
    setTimeout(function () {
        var after = caretPoint() || before;
        var pre = codeBlockPassed(before, after, forward);
        if (pre)
            enterCodeBlock(pre, forward ? 0 : -1, true);
    }, 0);
}

function historyStep(cm, back) {
    var size = cm.historySize();
    if (back ? size.undo > 0 : size.redo > 0) {
        if (back)
            cm.undo();
        else
            cm.redo();
        return;
    }
    cm.getInputField().blur();
    document.body.focus();
    // The editor's hidden input field leaves steps of its own in the page's
    // history, which change nothing that shows: they are passed over.
    var observer = new MutationObserver(function () {});
    observer.observe(document.body, { childList: true, subtree: true, characterData: true, attributes: true });
    var shows = function (record) {
        var target = record.target.nodeType === Node.ELEMENT_NODE ? record.target : record.target.parentElement;
        return !target || !target.closest('.CodeMirror');
    };
    for (var i = 0; i < 50; i++) {
        if (!document.execCommand(back ? 'undo' : 'redo') || observer.takeRecords().some(shows))
            break;
    }
    observer.disconnect();
}

// Turns the pre element into a code editor (inside it) and returns the editor.
function createCodeMirror(pre, mode, text) {
    var editor = CodeMirror(function (wrapper) {
        pre.appendChild(wrapper);
    }, {
        lineNumbers: false,
        styleActiveLine: false,
        matchBrackets: false,
        lineWrapping: true,
        mode: mode,
        value: CodeMirror.Doc(text, mode),
        // Past the editor's own history, undo and redo go on in the page's:
        // the block's insertion is the step before its first typing.
        extraKeys: {
            'Ctrl-Z': function (cm) { historyStep(cm, true); },
            'Ctrl-Y': function (cm) { historyStep(cm, false); },
            'Shift-Ctrl-Z': function (cm) { historyStep(cm, false); }
        }
    });
    var wrapper = editor.getWrapperElement();
    // The editor edits its own text: the page's editing must not reach into it.
    wrapper.setAttribute('contenteditable', 'false');

    var select = document.createElement('select');
    select.className = 'son';
    select.style.display = 'none';
    wrapper.appendChild(select);
    editor.veltraneSelect = select;

    // While the pointer is over the selector, the editor losing the focus to it
    // must not hide it.
    var isSelectMouseEnter = false;
    var enter = function () { isSelectMouseEnter = true; };
    var leave = function () { isSelectMouseEnter = false; };
    select.addEventListener('mouseenter', enter);
    select.addEventListener('mouseover', enter);
    select.addEventListener('focus', enter);
    select.addEventListener('mouseout', leave);
    select.addEventListener('mouseleave', leave);

    var hide = function () {
        select.style.display = 'none';
        select.innerHTML = '';
    };
    select.addEventListener('blur', function () {
        isSelectMouseEnter = false;
        hide();
    });
    select.addEventListener('change', function () {
        editor.setOption('mode', select.value);
        isSelectMouseEnter = false;
        noteCodeBlockChange();
    });
    editor.on('focus', function () {
        select.style.display = 'block';
        select.innerHTML = '';
        var current = editor.getOption('mode') || '';
        var languages = codeBlockLanguages();
        for (var i = 0; i < languages.length; i++) {
            var option = document.createElement('option');
            option.value = languages[i][0];
            option.text = languages[i][1];
            option.selected = languages[i][0] === current;
            select.appendChild(option);
        }
    });
    editor.on('blur', function () {
        if (!isSelectMouseEnter)
            hide();
    });
    return editor;
}

// The selection's first range, moved out of any code block (a new block goes
// after it, never inside it); null without a selection in the body.
function blockInsertionRange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return null;
    var range = selection.getRangeAt(0);
    if (!document.body.contains(range.commonAncestorContainer))
        return null;
    var start = range.startContainer;
    var element = start.nodeType === Node.ELEMENT_NODE ? start : start.parentElement;
    var block = element ? element.closest('pre.veltrane-code, .CodeMirror') : null;
    if (block) {
        block = block.closest('pre.veltrane-code') || block;
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
function insertCodeBlockAt(range, text, mode, kept) {
    // The command works where the focus is: not in an editor's input field.
    if (document.activeElement !== document.body)
        document.body.focus();
    // The editing command's undo step loses its new block when an empty line
    // follows (the browser reworks that line): the page's empty last line
    // goes for the time of the command and comes back after it.
    var last = document.body.lastElementChild;
    var trailing = last && last.tagName === 'P' && /^(&nbsp;|<br>)$/.test(last.innerHTML)
        && !last.contains(range.startContainer) && last.previousElementSibling ? last : null;
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
    if (trailing && typeof ensureTrailingParagraph === 'function')
        ensureTrailingParagraph();
    pre.veltraneBlock = { text: text, mode: mode, kept: kept || null, empty: false, editor: null };
    var editor = activateCodeBlock(pre);
    editor.focus();
    editor.setCursor(editor.lineCount(), 0);
    return editor;
}

// A new, empty-mode code block at the selection, holding the selected text.
function insertCodeMirror() {
    var range = blockInsertionRange();
    if (!range)
        return;
    var selection = window.getSelection();
    // Moved out of an editor, the range no longer holds the selected text.
    var text = range === selection.getRangeAt(0) ? selection.toString() : '';
    insertCodeBlockAt(range, text.split(/\r\n?|\n/).join('\n'), '', null);
}

// The block at the point (view coordinates), or null.
function codeBlockAt(x, y) {
    return codeBlockOf(document.elementFromPoint(x, y));
}

// The context menu's languages for the block at the point: the selector's
// list, or null when there is no block there.
function codeBlockLanguagesAt(x, y) {
    return codeBlockAt(x, y) ? codeBlockLanguages() : null;
}

// The language items of the context menu: sets the mode of the code block at
// the point (view coordinates). Returns whether there was a block there. A
// static block stays static, coloured for its new language.
function setCodeBlockModeAt(x, y, mode) {
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
    noteCodeBlockChange();
    return true;
}

// Replaces start..end of a block's text with text: through the editor (its
// own undo history) when live, in the shown code when static.
function replaceInCodeBlock(pre, start, end, text) {
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
    var pres = document.body.querySelectorAll('pre.veltrane-code:not([contenteditable])');
    for (var i = 0; i < pres.length; i++) {
        pres[i].setAttribute('contenteditable', 'false');
        if (pres[i].veltraneBlock && pres[i].veltraneBlock.editor)
            pres[i].veltraneBlock.editor.refresh();
    }
}

// A change of a block's language or text made outside the typing is told as
// typing would tell it.
function noteCodeBlockChange() {
    if (contentObj && typeof onBodyInput === 'function')
        onBodyInput();
}

window.addEventListener('load', function () {
    document.body.addEventListener('input', onHistoryInput);
    document.addEventListener('mousedown', onCodeBlockMouseDown, true);
    document.addEventListener('focusin', onCodeBlockFocusIn);
    document.addEventListener('selectionchange', onCodeBlockSelectionChange);
    document.addEventListener('keydown', onCodeBlockArrow);
});
