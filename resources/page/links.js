// Links: a click on one edits it (Ctrl+click opens it), the link dialog's
// answer becomes a new link or changes the clicked one.

import { announceEdit, selectBodyEnd, selectRange, selectionRange } from './dom.js';
import { program } from './program.js';

let editedLink = null; // the link clicked last, which the dialog edits

// A new link at the selection, or new text and address for the link last
// clicked. Both go in through DOM calls only, never as markup.
export function setLink(arg) {
    var url = arg.url || '';
    var title = arg.title === '' ? url : (arg.title || '');
    if (url === '' || title === '')
        return;

    if (arg.isModify) {
        if (!editedLink || !editedLink.isConnected)
            return;
        editedLink.setAttribute('href', url);
        editedLink.textContent = title;
        announceEdit();
        return;
    }

    var link = document.createElement('a');
    link.setAttribute('href', url);
    link.setAttribute('target', '_blank');
    link.textContent = title;

    var range = selectionRange() || selectBodyEnd();
    range.deleteContents();
    range.insertNode(link);
    range.setStartAfter(link);
    range.collapse(true);
    selectRange(range);
    announceEdit();
}

// The dialog for a new link, with the selected text.
export function requestLink() {
    program.newLink(window.getSelection().toString());
}

// Body click: Ctrl+click opens the link, a plain click edits it. Returns whether
// the click was on a link.
export function onLinkClick(event) {
    var target = event.target;
    if (target && target.nodeType !== Node.ELEMENT_NODE)
        target = target.parentElement;
    var link = target && target.closest ? target.closest('a') : null;
    if (!link || !document.body.contains(link))
        return false;
    event.preventDefault();
    if (event.ctrlKey) {
        program.openUrl(link.href);
    } else {
        editedLink = link;
        // The address as written: a relative one stays relative when edited.
        program.editLink(link.innerText, link.getAttribute('href') || '');
    }
    return true;
}
