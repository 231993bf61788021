// The front matter: the document's YAML metadata, a pre[data-front-matter] at
// the top of the page. It is a code block in YAML mode (edited like one) and
// folds to one line showing its title: a press on its heading line folds or
// unfolds it. Saved as a code block that keeps the attribute, so it goes back
// to Markdown as it was written.

import { codeBlockText, savedCodeBlock } from './codeblocks.js';

export const frontMatterSelector = 'pre[data-front-matter]';

// The value of the top-level title key, unquoted.
function titleOf(yaml) {
    var match = /^title:[ \t]*(.*?)[ \t]*$/m.exec(yaml);
    var title = match ? match[1] : '';
    if (/^(["']).*\1$/.test(title))
        title = title.slice(1, -1);
    return title;
}

function showTitle(pre) {
    pre.setAttribute('data-veltrane-title', titleOf(codeBlockText(pre)));
}

// A node of the document has come into the page (after the code blocks made it one).
export function shown(node) {
    if (!node.matches(frontMatterSelector) || !node.veltraneBlock)
        return;
    node.setAttribute('data-veltrane-uncounted', '');
    showTitle(node);
}

export function savedFrontMatter(pre) {
    var out = savedCodeBlock(pre);
    if (out)
        out.setAttribute('data-front-matter', pre.getAttribute('data-front-matter'));
    return out;
}

// The heading line is the space above the block's code.
function onMouseDown(event) {
    var pre = event.target.closest ? event.target.closest(frontMatterSelector) : null;
    if (!pre || event.button !== 0)
        return;
    var first = pre.firstElementChild;
    var headingEnd = first ? first.getBoundingClientRect().top : pre.getBoundingClientRect().bottom;
    if (!pre.classList.contains('veltrane-folded') && event.clientY >= headingEnd)
        return;
    event.preventDefault();
    event.stopPropagation();
    showTitle(pre);
    pre.classList.toggle('veltrane-folded');
}

export function install() {
    document.addEventListener('mousedown', onMouseDown, true);
}
