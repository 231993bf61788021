// Search highlighting and replacing in the editing page. A match is a range of
// the document's text; the marks that show the matches are drawn over the page,
// outside the edited body, so that searching never changes the document nor
// the browser's undo history. Replacing goes through the editing commands, so
// each replacement is a step that Ctrl+Z takes back.

var searchMatches = [];  // the matches, in document order (live ranges)
var searchCurrent = -1;  // index of the current match, -1 when there is none
var searchLayer = null;  // the element holding the marks, outside the body

// Text that is not document text (scripts, styles, form controls) or that a code
// editor owns (its display is rebuilt from its own model) is not searched.
function isSearchableText(node) {
    var parent = node.parentElement;
    return !!parent && !parent.closest('script,style,textarea,select,.CodeMirror');
}

// Draws one mark per line box of every match; the current one inverts its text.
function drawMatches() {
    if (searchMatches.length === 0) {
        if (searchLayer && searchLayer.parentNode)
            searchLayer.parentNode.removeChild(searchLayer);
        return;
    }
    if (!searchLayer) {
        searchLayer = document.createElement('div');
        // No stacking context of its own: the marks blend with the page under them.
        searchLayer.style.cssText = 'position:absolute;left:0;top:0;width:0;height:0;pointer-events:none';
    }
    if (searchLayer.parentNode !== document.documentElement)
        document.documentElement.appendChild(searchLayer);
    searchLayer.textContent = '';
    for (var i = 0; i < searchMatches.length; i++) {
        var rects = searchMatches[i].getClientRects();
        for (var j = 0; j < rects.length; j++) {
            var mark = document.createElement('div');
            mark.className = i === searchCurrent ? 'search-select' : 'search-hit';
            mark.style.cssText = 'position:absolute;background:' + (i === searchCurrent ? '#fff' : '#FFD700')
                + ';mix-blend-mode:' + (i === searchCurrent ? 'difference' : 'multiply')
                + ';left:' + (rects[j].left + window.scrollX) + 'px;top:' + (rects[j].top + window.scrollY)
                + 'px;width:' + rects[j].width + 'px;height:' + rects[j].height + 'px';
            searchLayer.appendChild(mark);
        }
    }
}

window.addEventListener('resize', drawMatches);

function clearHighLight() {
    searchMatches = [];
    searchCurrent = -1;
    drawMatches();
}

// Every occurrence of text (exact, case kept, left to right without overlap)
// in the text of the body.
function highLightKeyword(text) {
    clearHighLight();
    if (!text)
        return;
    var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, null, false);
    for (var node = walker.nextNode(); node; node = walker.nextNode()) {
        if (!isSearchableText(node))
            continue;
        for (var at = node.data.indexOf(text); at >= 0; at = node.data.indexOf(text, at + text.length)) {
            var range = document.createRange();
            range.setStart(node, at);
            range.setEnd(node, at + text.length);
            searchMatches.push(range);
        }
    }
    drawMatches();
}

// Moves the current match one step back or forward, wrapping at the ends; the
// first call picks the first match.
function selectedText(isBack) {
    if (searchMatches.length === 0)
        return;
    if (searchCurrent < 0)
        searchCurrent = 0;
    else
        searchCurrent = (searchCurrent + (isBack ? -1 : 1) + searchMatches.length) % searchMatches.length;
    var rect = searchMatches[searchCurrent].getBoundingClientRect();
    if (rect.top < 0 || rect.bottom > window.innerHeight)
        window.scrollBy(0, rect.top - window.innerHeight / 2);
    drawMatches();
}

// The text of range replaced by newText (always as text: markup typed into the
// field is shown, not applied) through one editing command.
function replaceMatchText(range, newText) {
    var selection = window.getSelection();
    selection.removeAllRanges();
    selection.addRange(range.cloneRange());
    if (newText)
        document.execCommand('insertText', false, newText);
    else
        document.execCommand('delete');
}

// Replaces the current match (the first when there is none) and makes the next
// one current.
function replaceSelectedText(newText) {
    if (searchMatches.length === 0)
        return;
    var index = searchCurrent < 0 ? 0 : searchCurrent;
    var match = searchMatches.splice(index, 1)[0];
    searchCurrent = searchMatches.length === 0 ? -1 : index % searchMatches.length;
    replaceMatchText(match, newText);
    drawMatches();
}

function replaceAllHighText(newText) {
    // From the last to the first, so that each replacement leaves the earlier
    // matches where they are.
    for (var i = searchMatches.length - 1; i >= 0; i--)
        replaceMatchText(searchMatches[i], newText);
    clearHighLight();
}
