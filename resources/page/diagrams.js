// Diagrams: a code block in mermaid shows its diagram under its code, drawn
// by mermaid (loaded when a document first has one), and drawn again a moment
// after its code changes. The code is what is saved: the drawing lives inside
// the block, which saves from its code alone. A syntax error shows the error.

import { codeBlockSelector, codeBlockText, onActivated } from './codeblocks.js';
import { loadScript, sliceQueue } from './libraries.js';

const REDRAW_DELAY = 400;

let mermaidReady = null;
let drawings = 0;

function ensureMermaid() {
    if (!mermaidReady) {
        mermaidReady = loadScript('qrc:/lib/mermaid/mermaid.min.js').then(function () {
            mermaid.initialize({
                startOnLoad: false,
                securityLevel: 'strict',
                theme: document.documentElement.classList.contains('dark') ? 'dark' : 'default'
            });
        });
    }
    return mermaidReady;
}

function isDiagram(pre) {
    var state = pre.veltraneBlock;
    return !!(state && state.kept && state.kept.info.toLowerCase() === 'mermaid');
}

// The element under the code that holds the drawing.
function drawingOf(pre) {
    if (!pre.veltraneDrawing) {
        var div = document.createElement('div');
        div.className = 'veltrane-diagram';
        div.setAttribute('contenteditable', 'false');
        div.setAttribute('data-veltrane-uncounted', '');
        pre.veltraneDrawing = div;
    }
    if (pre.veltraneDrawing.parentNode !== pre)
        pre.appendChild(pre.veltraneDrawing);
    return pre.veltraneDrawing;
}

function draw(pre) {
    if (!pre.isConnected)
        return;
    var drawing = drawingOf(pre);
    var text = codeBlockText(pre);
    var id = 'veltrane-diagram-' + ++drawings;
    try {
        mermaid.parse(text);
        // mermaid measures in an element of its own that it adds to the body
        // and takes away again.
        var svg = mermaid.mermaidAPI.render(id, text);
        drawing.classList.remove('veltrane-diagram-error');
        drawing.innerHTML = svg;
    } catch (error) {
        drawing.classList.add('veltrane-diagram-error');
        drawing.textContent = String(error && (error.str || error.message) ? (error.str || error.message) : error);
    }
    // What an error leaves of the measuring element.
    var left = document.getElementById('d' + id);
    if (left)
        left.remove();
}

const queueDraw = sliceQueue(draw);

function drawLater(pre) {
    ensureMermaid().then(function () { queueDraw(pre); });
}

// A node of the document has come into the page (after the code blocks were made).
export function shown(node) {
    var pres = node.matches(codeBlockSelector) ? [node] : node.querySelectorAll(codeBlockSelector);
    for (var i = 0; i < pres.length; i++) {
        if (isDiagram(pres[i]))
            drawLater(pres[i]);
    }
}

// A block that becomes an editor keeps its drawing, and redraws as its code changes.
function onBlockActivated(pre, editor) {
    if (!isDiagram(pre))
        return;
    if (pre.veltraneDrawing)
        pre.appendChild(pre.veltraneDrawing);
    var timer = 0;
    editor.on('changes', function () {
        clearTimeout(timer);
        timer = setTimeout(function () { drawLater(pre); }, REDRAW_DELAY);
    });
}

export function install() {
    onActivated(onBlockActivated);
}
