// Code blocks: CodeMirror editors with a language selector.

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
    'text/x-cmake': 'Cmake',
    'text/css': 'CSS',
    'text/x-erlang': 'Erlang',
    'text/x-fortran': 'Fortran',
    'text/x-go': 'Go',
    'text/x-perl': 'Perl',
    'application/x-httpd-php': 'PHP HTML',
    'text/x-php': 'PHP',
    'text/x-pascal': 'Pascal',
    'application/x-powershell': 'PowerShell',
    'text/x-python': 'Python',
    'text/x-ruby': 'Ruby',
    'text/x-sql': 'SQL',
    'text/x-swift': 'Swift',
    'text/x-vb': 'VB.NET',
    'text/x-verilog': 'Verilog',
    'text/x-vue': 'Vue.js',
    'application/xml': 'XML'
};

// The mode whose display name is exactly text, "" when there is none.
function findLanguageKey(text) {
    for (var key in options) {
        if (options.hasOwnProperty(key) && options[key] === text)
            return key;
    }
    return '';
}

// Turns a pre element into a code editor in its place and returns the editor.
function createCodeMirror(pre, mode) {
    // The code exactly as written; only the line feed that ends the last line goes.
    var text = pre.textContent.replace(/\n$/, '');
    var editor = CodeMirror(function (wrapper) {
        pre.parentNode.replaceChild(wrapper, pre);
    }, {
        lineNumbers: false,
        styleActiveLine: false,
        matchBrackets: false,
        lineWrapping: true,
        mode: mode,
        value: CodeMirror.Doc(text, mode)
    });
    var wrapper = editor.getWrapperElement();
    // The editor edits its own text: the page's editing must not reach into it.
    wrapper.setAttribute('contenteditable', 'false');

    var select = document.createElement('select');
    select.className = 'son';
    select.style.display = 'none';
    wrapper.appendChild(select);

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
    });
    editor.on('focus', function () {
        select.style.display = 'block';
        select.innerHTML = '';
        var current = editor.getOption('mode') || '';
        for (var key in options) {
            if (!options.hasOwnProperty(key))
                continue;
            var option = document.createElement('option');
            option.value = key;
            option.text = options[key];
            option.selected = key === current;
            select.appendChild(option);
        }
    });
    editor.on('blur', function () {
        if (!isSelectMouseEnter)
            hide();
    });
    return editor;
}

// Turns every pre of the page into an editor, with the language its code
// element's class names ("language-Python").
function changePreToCodeMirror() {
    var pres = document.querySelectorAll('pre');
    // From the last to the first, so that replacing one leaves the rest in place.
    for (var i = pres.length - 1; i >= 0; i--) {
        var pre = pres[i];
        // The lines of an existing editor are pre elements too.
        if (!pre.parentNode || pre.closest('.CodeMirror'))
            continue;
        // A pre without its code element is HTML the document wrote: it stays.
        if (!pre.firstChild || pre.firstChild.nodeName !== 'CODE' || pre.childNodes.length !== 1)
            continue;
        var mode = '';
        var first = pre.firstChild;
        var info = '';
        if (first && first.nodeType === Node.ELEMENT_NODE && first.classList.length > 0) {
            info = first.classList[0].replace('language-', '');
            mode = findLanguageKey(info);
        }
        var empty = pre.textContent === '';
        var editor = createCodeMirror(pre, mode);
        editor.veltraneEmpty = empty;
        // The fence's own language word ("python", "rust"), written back
        // unless the user picks another language.
        editor.veltraneInfo = { info: info, mode: mode, className: info ? first.className : '' };
    }
}

// The selection's first range, moved out of any code editor (a new block goes
// after the editor, never inside it); null without a selection in the body.
function blockInsertionRange() {
    var selection = window.getSelection();
    if (!selection || selection.rangeCount === 0)
        return null;
    var range = selection.getRangeAt(0);
    if (!document.body.contains(range.commonAncestorContainer))
        return null;
    var start = range.startContainer;
    var element = start.nodeType === Node.ELEMENT_NODE ? start : start.parentElement;
    var wrapper = element ? element.closest('.CodeMirror') : null;
    if (wrapper) {
        range = document.createRange();
        range.setStartAfter(wrapper);
        range.collapse(true);
    }
    return range;
}

// A new, empty-mode code block at the selection, holding the selected text.
function insertCodeMirror() {
    var range = blockInsertionRange();
    if (!range)
        return;
    var selection = window.getSelection();
    var pre = document.createElement('pre');
    // Moved out of an editor, the range no longer holds the selected text.
    pre.innerText = range === selection.getRangeAt(0) ? selection.toString() : '';
    range.deleteContents();
    range.insertNode(pre);
    selection.removeAllRanges();
    range.setStartAfter(pre);
    range.collapse(true);
    selection.addRange(range);
    var editor = createCodeMirror(pre, '');
    editor.focus();
}

// The language items of the context menu: sets the mode of the code block at
// the point (view coordinates). Returns whether there was a block there.
function setCodeBlockModeAt(x, y, mode) {
    var element = document.elementFromPoint(x, y);
    var wrapper = element ? element.closest('.CodeMirror') : null;
    if (!wrapper || !wrapper.CodeMirror)
        return false;
    wrapper.CodeMirror.setOption('mode', mode);
    return true;
}
