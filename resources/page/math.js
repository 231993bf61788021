// TeX formulas: <x-equation>, type="display" for a displayed one, holding the
// formula's source. Each shows rendered by KaTeX (loaded with the first
// formula); a click, or an arrow key moving the caret into it, opens the
// source for editing in place, and the selection leaving it renders it again.
// A TeX error shows in place with the source. Saved as the source.

import { announceEdit } from './dom.js';
import { loadScript, loadStyle, sliceQueue } from './libraries.js';

export const formulaSelector = 'x-equation';

let katexReady = null;
let open = null; // the formula whose source is being edited

function ensureKatex() {
    if (!katexReady)
        katexReady = Promise.all([loadScript('qrc:/lib/katex/katex.min.js'), loadStyle('qrc:/lib/katex/katex.min.css')]);
    return katexReady;
}

function isDisplay(formula) {
    return formula.getAttribute('type') === 'display';
}

// The source as the user left it in an open formula: line breaks the editing
// made are line feeds.
function typedSource(formula) {
    var text = '';
    var walk = function (node) {
        for (var child = node.firstChild; child; child = child.nextSibling) {
            if (child.nodeType === Node.TEXT_NODE)
                text += child.data;
            else if (child.nodeName === 'BR')
                text += '\n';
            else if (child.nodeType === Node.ELEMENT_NODE) {
                if (/^(DIV|P)$/.test(child.nodeName) && text && !text.endsWith('\n'))
                    text += '\n';
                walk(child);
            }
        }
    };
    walk(formula);
    return text.replace(/\u00a0/g, ' ');
}

export function formulaSource(formula) {
    return formula === open ? typedSource(formula) : formula.veltraneTex;
}

function render(formula) {
    if (formula === open || !formula.isConnected)
        return;
    var tex = formula.veltraneTex;
    formula.classList.remove('veltrane-math-error');
    try {
        katex.render(tex, formula, { displayMode: isDisplay(formula), throwOnError: true, output: 'html', strict: 'ignore' });
    } catch (error) {
        // The source stays readable, the reason beside it.
        formula.classList.add('veltrane-math-error');
        formula.textContent = '';
        var source = formula.appendChild(document.createElement('code'));
        source.textContent = tex;
        var reason = formula.appendChild(document.createElement('span'));
        reason.className = 'veltrane-math-reason';
        reason.textContent = String(error && error.message ? error.message : error);
    }
}

const queueRender = sliceQueue(render);

function prepare(formula) {
    if (formula.veltraneTex !== undefined)
        return;
    formula.veltraneTex = formula.textContent;
    formula.setAttribute('contenteditable', 'false');
    formula.setAttribute('data-veltrane-uncounted', '');
}

// A node of the document has come into the page.
export function shown(node) {
    var formulas = node.tagName === 'X-EQUATION' ? [node] : node.querySelectorAll(formulaSelector);
    if (formulas.length === 0)
        return;
    for (var i = 0; i < formulas.length; i++)
        prepare(formulas[i]);
    ensureKatex().then(function () {
        for (var k = 0; k < formulas.length; k++)
            queueRender(formulas[k]);
    });
}

// The element a formula is saved as (null: one the page never showed).
export function savedFormula(formula) {
    if (formula.veltraneTex === undefined)
        return null;
    var out = document.createElement('x-equation');
    if (isDisplay(formula))
        out.setAttribute('type', 'display');
    out.textContent = formulaSource(formula);
    return out;
}

// ---------------------------------------------------------------------------
// Editing in place

function openFormula(formula, atStart) {
    if (formula === open)
        return;
    closeFormula();
    open = formula;
    formula.classList.remove('veltrane-math-error');
    formula.classList.add('veltrane-math-source');
    formula.removeAttribute('contenteditable');
    formula.textContent = formula.veltraneTex;
    var range = document.createRange();
    range.selectNodeContents(formula);
    range.collapse(!!atStart);
    var selection = window.getSelection();
    selection.removeAllRanges();
    selection.addRange(range);
}

function closeFormula() {
    var formula = open;
    if (!formula)
        return;
    open = null;
    var tex = typedSource(formula);
    formula.classList.remove('veltrane-math-source');
    formula.setAttribute('contenteditable', 'false');
    if (!formula.isConnected)
        return;
    if (tex.trim() === '') {
        formula.remove();
        announceEdit();
        return;
    }
    if (tex !== formula.veltraneTex) {
        formula.veltraneTex = tex;
        announceEdit();
    }
    ensureKatex().then(function () { render(formula); });
}

function formulaAt(node) {
    var element = node && (node.nodeType === Node.ELEMENT_NODE ? node : node.parentElement);
    return element ? element.closest(formulaSelector) : null;
}

function onClick(event) {
    var formula = formulaAt(event.target);
    if (formula && formula !== open && formula.veltraneTex !== undefined && event.button === 0) {
        event.preventDefault();
        openFormula(formula, false);
    }
}

function onSelectionChange() {
    if (!open)
        return;
    var selection = window.getSelection();
    if (!selection.rangeCount || !open.contains(selection.getRangeAt(0).commonAncestorContainer))
        closeFormula();
}

// The node just after (forward) or before the collapsed caret.
function nodeBesideCaret(forward) {
    var selection = window.getSelection();
    if (!selection.rangeCount || !selection.isCollapsed)
        return null;
    var node = selection.anchorNode;
    var offset = selection.anchorOffset;
    if (node.nodeType === Node.TEXT_NODE) {
        if (forward ? offset < node.data.length : offset > 0)
            return null;
        return forward ? node.nextSibling : node.previousSibling;
    }
    return forward ? node.childNodes[offset] : node.childNodes[offset - 1];
}

function onKeyDown(event) {
    if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey)
        return;
    if (open && event.key === 'Enter') {
        // A line of its own inside the formula.
        event.preventDefault();
        event.stopPropagation();
        document.execCommand('insertText', false, '\n');
        return;
    }
    if (event.key !== 'ArrowRight' && event.key !== 'ArrowLeft')
        return;
    var beside = nodeBesideCaret(event.key === 'ArrowRight');
    if (beside && beside.nodeType === Node.ELEMENT_NODE && beside.matches(formulaSelector) && beside.veltraneTex !== undefined) {
        event.preventDefault();
        openFormula(beside, event.key === 'ArrowRight');
    }
}

export function install() {
    document.addEventListener('click', onClick, true);
    document.addEventListener('keydown', onKeyDown, true);
    document.addEventListener('selectionchange', onSelectionChange);
}
