// The document coming into the page. It is shown from the top: the first slice
// at once, the rest in slices that each leave the page to the user's input
// within a frame. What needs all of it (saving, switching, searching) has the
// rest shown at once first (finish).

import * as longLayout from './longlayout.js';
import { program } from './program.js';
import { noteLoadedDivs, withClosedAnchors } from './saved.js';
import * as wordCount from './wordcount.js';

const FILL_FIRST_MS = 30;
// A screenful: the first frame lays out and paints only these, and shows sooner.
const FILL_FIRST_NODES = 100;
const FILL_SLICE_MS = 8;
const FILL_SLICE_MAX_MS = 100;

let fill = { nodes: [], next: 0, timer: 0, broken: false, shown: null };

// Replaces the document with html, or with nothing for a transfer that failed
// (null). content.prepare(markup) gives the markup to parse, content.shown(node)
// sees each top-level element as it comes into the page. Nothing in the new
// content can run: the page's security policy admits the program's own
// scripts only.
export function show(html, content) {
    if (fill.timer)
        clearTimeout(fill.timer);
    fill = { nodes: [], next: 0, timer: 0, broken: typeof html !== 'string', shown: content.shown };
    if (fill.broken) {
        // A transfer that failed is no document: nothing of it is shown, and
        // the page refuses to give any text back until a good one arrives.
        document.body.innerHTML = '';
        program.contentLoaded(false);
        return;
    }
    var parsed = document.createElement('template');
    parsed.innerHTML = content.prepare(withClosedAnchors(html));
    noteLoadedDivs(parsed.content);
    fill.nodes = Array.prototype.slice.call(parsed.content.childNodes);
    longLayout.reset(fill.nodes.length);
    document.body.innerHTML = '';
    longLayout.update();
    wordCount.reset();
    fillSlice(FILL_FIRST_MS, FILL_FIRST_NODES);
}

// Moves the next nodes of the document into the page for about budget ms,
// at most count of them when count is given.
function fillSlice(budget, count) {
    var current = fill;
    current.timer = 0;
    var start = Date.now();
    var body = document.body;
    while (current.next < current.nodes.length) {
        var node = current.nodes[current.next++];
        body.appendChild(node);
        if (node.nodeType === Node.ELEMENT_NODE)
            current.shown(node);
        if (budget >= 0 && Date.now() - start >= budget || --count === 0)
            break;
    }
    longLayout.followView();
    if (current.next < current.nodes.length) {
        var end = Date.now();
        current.timer = setTimeout(function () {
            // The longer the page, the longer the engine works between two
            // slices: a slice takes as long, so the fill keeps pace with it
            // instead of slowing down as the page grows.
            if (fill === current)
                fillSlice(Math.max(FILL_SLICE_MS, Math.min(Date.now() - end, FILL_SLICE_MAX_MS)));
        }, 0);
        return;
    }
    current.nodes = [];
    current.next = 0;
    wordCount.countNow();
    program.contentLoaded(true);
}

// Whether part of the document is still waiting to be shown.
export function isFilling() {
    return fill.next < fill.nodes.length;
}

// Whether the page holds no document because the last one arrived broken.
export function isBroken() {
    return fill.broken;
}

// Shows the rest of the document at once.
export function finish() {
    if (!isFilling())
        return;
    clearTimeout(fill.timer);
    fillSlice(-1);
}
