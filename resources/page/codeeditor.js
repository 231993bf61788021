// A code block's live editor: CodeMirror, with a language selector shown while
// it has the focus, and undo and redo that go on into the page's history.

import { announceEdit } from './dom.js';
import { languageList } from './languages.js';

// Past the editor's own history, undo and redo go on in the page's.
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

// The language selector of editor (inside its wrapper), shown while the
// editor has the focus. A change of language is an edit of the document.
function addLanguageSelector(editor, wrapper) {
    var select = document.createElement('select');
    select.className = 'code-language';
    select.style.display = 'none';
    wrapper.appendChild(select);
    editor.veltraneSelect = select;

    // While the pointer is over the selector, the editor losing the focus to it
    // must not hide it.
    var pointerOnSelector = false;
    var enter = function () { pointerOnSelector = true; };
    var leave = function () { pointerOnSelector = false; };
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
        pointerOnSelector = false;
        hide();
    });
    select.addEventListener('change', function () {
        editor.setOption('mode', select.value);
        pointerOnSelector = false;
        announceEdit();
    });
    editor.on('focus', function () {
        select.style.display = 'block';
        select.innerHTML = '';
        var current = editor.getOption('mode') || '';
        var languages = languageList();
        for (var i = 0; i < languages.length; i++) {
            var option = document.createElement('option');
            option.value = languages[i][0];
            option.text = languages[i][1];
            option.selected = languages[i][0] === current;
            select.appendChild(option);
        }
    });
    editor.on('blur', function () {
        if (!pointerOnSelector)
            hide();
    });
}

// Turns the pre element into a code editor (inside it) and returns the editor.
export function createCodeEditor(pre, mode, text) {
    var editor = CodeMirror(function (wrapper) {
        pre.appendChild(wrapper);
    }, {
        lineNumbers: false,
        styleActiveLine: false,
        matchBrackets: false,
        lineWrapping: true,
        mode: mode,
        value: CodeMirror.Doc(text, mode),
        // The block's insertion is the page's step before its first typing.
        extraKeys: {
            'Ctrl-Z': function (cm) { historyStep(cm, true); },
            'Ctrl-Y': function (cm) { historyStep(cm, false); },
            'Shift-Ctrl-Z': function (cm) { historyStep(cm, false); }
        }
    });
    var wrapper = editor.getWrapperElement();
    // The editor edits its own text: the page's editing must not reach into it.
    wrapper.setAttribute('contenteditable', 'false');
    addLanguageSelector(editor, wrapper);
    return editor;
}
