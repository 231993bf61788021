// Search highlighting and replacing. A match is a range of the document's
// text, or a stretch of a code block's text (see blockMatch); the marks that
// show the matches are drawn over the page, outside the edited body, so that
// searching never changes the document nor the browser's undo history.
// Replacing goes through the editing commands, so each replacement is a step
// that Ctrl+Z takes back.

import { codeBlockText, replaceInCodeBlock, staticBlockRange } from './codeblocks.js';
import { announceEdit, selectRange } from './dom.js';
import * as longLayout from './longlayout.js';

let matches = [];  // the matches, in document order (live ranges)
let current = -1;  // index of the current match, -1 when there is none
let layer = null;  // the element holding the marks, outside the body

// The matches in document order, and the index of the current one (-1: none).
export function marked() {
    return { matches: matches, current: current };
}

// Text that is not document text (scripts, styles, form controls) or that is
// a code block's (searched in the block's own text) is not searched here.
function isSearchableText(node) {
    var parent = node.parentElement;
    return !!parent && !parent.closest('script,style,textarea,select,.CodeMirror,pre.veltrane-code,x-equation');
}

// The characters start..end of a code block's text, static or live. Its
// marks are measured when drawn: the block's display changes with its text.
function blockMatch(pre, start, end) {
    return {
        block: pre,
        start: start,
        end: end,
        getClientRects: function () { return blockMatchRects(this); },
        getBoundingClientRect: function () {
            var rects = blockMatchRects(this);
            return rects.length > 0 ? rects[0] : { top: 0, bottom: 0, left: 0, right: 0, width: 0, height: 0 };
        }
    };
}

function blockMatchRects(match) {
    var editor = match.block.veltraneBlock.editor;
    if (!editor)
        return staticBlockRange(match.block, match.start, match.end).getClientRects();
    var doc = editor.getDoc();
    var from = editor.charCoords(doc.posFromIndex(match.start), 'window');
    var to = editor.charCoords(doc.posFromIndex(Math.max(match.start, match.end - 1)), 'window');
    var rect = function (left, top, right, bottom) {
        return { left: left, top: top, right: right, bottom: bottom, width: right - left, height: bottom - top };
    };
    if (from.top === to.top)
        return [rect(from.left, from.top, to.right, to.bottom)];
    // A match wrapped onto the next line.
    var box = editor.getWrapperElement().getBoundingClientRect();
    return [rect(from.left, from.top, box.right, from.bottom), rect(box.left, to.top, to.right, to.bottom)];
}

function addBlockMatches(pre, text) {
    var value = codeBlockText(pre);
    for (var at = value.indexOf(text); at >= 0; at = value.indexOf(text, at + text.length))
        matches.push(blockMatch(pre, at, at + text.length));
}

// Draws one mark per line box of every match; the current one inverts its text.
function drawMatches() {
    longLayout.keepWhole('marks', matches.length > 0);
    if (matches.length === 0) {
        if (layer && layer.parentNode)
            layer.parentNode.removeChild(layer);
        return;
    }
    if (!layer) {
        layer = document.createElement('div');
        // No stacking context of its own: the marks blend with the page under them.
        layer.style.cssText = 'position:absolute;left:0;top:0;width:0;height:0;pointer-events:none';
    }
    if (layer.parentNode !== document.documentElement)
        document.documentElement.appendChild(layer);
    layer.textContent = '';
    for (var i = 0; i < matches.length; i++) {
        var rects = matches[i].getClientRects();
        for (var j = 0; j < rects.length; j++) {
            var mark = document.createElement('div');
            mark.className = i === current ? 'search-select' : 'search-hit';
            mark.style.cssText = 'position:absolute;background:' + (i === current ? '#fff' : '#FFD700')
                + ';mix-blend-mode:' + (i === current ? 'difference' : 'multiply')
                + ';left:' + (rects[j].left + window.scrollX) + 'px;top:' + (rects[j].top + window.scrollY)
                + 'px;width:' + rects[j].width + 'px;height:' + rects[j].height + 'px';
            layer.appendChild(mark);
        }
    }
}

export function clearMatches() {
    matches = [];
    current = -1;
    drawMatches();
}

// Every occurrence of text (exact, case kept, left to right without overlap)
// in the text of the body.
export function markMatches(text) {
    clearMatches();
    if (!text)
        return;
    // Code blocks are met in document order and searched whole.
    var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT, {
        acceptNode: function (node) {
            if (node.nodeType !== Node.TEXT_NODE) {
                if (!node.veltraneBlock)
                    return NodeFilter.FILTER_SKIP;
                addBlockMatches(node, text);
                return NodeFilter.FILTER_REJECT;
            }
            return isSearchableText(node) ? NodeFilter.FILTER_ACCEPT : NodeFilter.FILTER_SKIP;
        }
    }, false);
    for (var node = walker.nextNode(); node; node = walker.nextNode()) {
        for (var at = node.data.indexOf(text); at >= 0; at = node.data.indexOf(text, at + text.length)) {
            var range = document.createRange();
            range.setStart(node, at);
            range.setEnd(node, at + text.length);
            matches.push(range);
        }
    }
    drawMatches();
}

// Moves the current match one step back or forward, wrapping at the ends; the
// first call picks the first match.
export function stepMatch(backward) {
    if (matches.length === 0)
        return;
    if (current < 0)
        current = 0;
    else
        current = (current + (backward ? -1 : 1) + matches.length) % matches.length;
    var rect = matches[current].getBoundingClientRect();
    if (rect.top < 0 || rect.bottom > window.innerHeight)
        window.scrollBy(0, rect.top - window.innerHeight / 2);
    drawMatches();
}

// The text of range replaced by newText (always as text: markup typed into the
// field is shown, not applied) through one editing command; in a code block
// through the block (a live one's editor records it for its undo).
function replaceMatchText(range, newText) {
    if (range.block) {
        replaceInCodeBlock(range.block, range.start, range.end, newText);
        // The later matches of the block move with the text.
        var shift = newText.length - (range.end - range.start);
        for (var i = 0; i < matches.length; i++) {
            var other = matches[i];
            if (other !== range && other.block === range.block && other.start >= range.end) {
                other.start += shift;
                other.end += shift;
            }
        }
        return;
    }
    selectRange(range.cloneRange());
    if (newText)
        document.execCommand('insertText', false, newText);
    else
        document.execCommand('delete');
}

// Replaces the current match (the first when there is none) and makes the next
// one current.
export function replaceCurrentMatch(newText) {
    if (matches.length === 0)
        return;
    var index = current < 0 ? 0 : current;
    var match = matches.splice(index, 1)[0];
    current = matches.length === 0 ? -1 : index % matches.length;
    replaceMatchText(match, newText);
    // A code block's change raises no input event of its own.
    if (match.block)
        announceEdit();
    drawMatches();
}

export function replaceAllMatches(newText) {
    // From the last to the first, so that each replacement leaves the earlier
    // matches where they are.
    var inBlocks = false;
    for (var i = matches.length - 1; i >= 0; i--) {
        replaceMatchText(matches[i], newText);
        inBlocks = inBlocks || !!matches[i].block;
    }
    clearMatches();
    if (inBlocks)
        announceEdit();
}

export function install() {
    window.addEventListener('resize', drawMatches);
}
