// The editing page's API: `page` is all the program calls (see PageSurface,
// the one place in the program that names its functions). The modules behind
// it each keep one concern; what the page tells the program goes through
// program.js. A new kind of content joins here: what it needs when a node comes
// in (documentContent), how it is saved (addSavedForm), what the context menu
// finds at a point (contextAt), and its listeners (install).

import * as body from './body.js';
import * as codeBlocks from './codeblocks.js';
import * as codeEntry from './codeentry.js';
import * as diagrams from './diagrams.js';
import { disarmStyleSheets } from './documentstyles.js';
import { tagPathAt } from './dom.js';
import * as fill from './fill.js';
import * as formatting from './formatting.js';
import * as frontMatter from './frontmatter.js';
import * as images from './images.js';
import * as insert from './insert.js';
import * as keys from './keys.js';
import * as links from './links.js';
import * as longLayout from './longlayout.js';
import * as math from './math.js';
import { connect, program } from './program.js';
import * as saved from './saved.js';
import * as search from './search.js';
import * as tables from './tables.js';
import * as theme from './theme.js';
import * as transfer from './transfer.js';
import * as wordCount from './wordcount.js';

// What the nodes of a document coming in need to show as they should.
const documentContent = {
    prepare: codeBlocks.prepareMarkup,
    shown: function (node) {
        disarmStyleSheets(node);
        images.resolveImages(node);
        codeBlocks.shown(node);
        frontMatter.shown(node);
        diagrams.shown(node);
        math.shown(node);
    }
};

// The front matter is a code block too: its own form goes first.
saved.addSavedForm(frontMatter.frontMatterSelector, frontMatter.savedFrontMatter);
saved.addSavedForm(codeBlocks.codeBlockSelector, codeBlocks.savedCodeBlock);
saved.addSavedForm(math.formulaSelector, math.savedFormula);

const page = {
    // ---- The document

    // The folder of the open document as a file URL ('' for an untitled one),
    // against which relative images show; given before a new document.
    setDocumentFolder: images.setDocumentFolder,
    // A large document comes in pieces: all but the last here, the last one
    // with setHtml. The page shows the top at once and tells the program when
    // it holds all of it (program.contentLoaded).
    receivePiece: transfer.receivePiece,
    setHtml: function (last) {
        fill.show(transfer.takeReceived(last), documentContent);
    },
    // The document's HTML as it is saved, null when the page holds no document
    // it could give (the last one arrived broken).
    html: function () {
        if (fill.isBroken())
            return null;
        // The part of the document still waiting to be shown is part of it.
        fill.finish();
        return saved.documentHtml();
    },
    // html() for the program, in pieces of at most pieceSize characters: the
    // first with the whole length, the rest by htmlTransferPiece.
    startHtmlTransfer: function (id, pieceSize) {
        return transfer.startSending(id, page.html(), pieceSize);
    },
    htmlTransferPiece: transfer.sendPiece,
    // How html() writes each of these pieces of a document's HTML.
    pageForms: saved.pageForms,
    // The whole document shown, and with laidOut laid out as well (the
    // engine's find finds only laid-out text) until the page has the focus.
    showWholeDocument: function (laidOut) {
        fill.finish();
        if (laidOut)
            longLayout.keepWhole('find', true);
    },
    setTheme: theme.setPageTheme,

    // ---- Editing at the selection

    // One of the browser's own editing commands ('bold', 'undo', ...).
    execCommand: function (command) {
        document.execCommand(command);
    },
    inlineCode: formatting.inlineCode,
    heading: formatting.toggleHeading,
    quote: formatting.quoteBlock,
    codeBlock: codeBlocks.insertCodeBlock,
    insertTable: tables.insertTable,
    // Asks the program for the link dialog, with the selected text.
    link: links.requestLink,
    // The dialog's link: a new one, or the clicked one changed ({ url, title, isModify }).
    setLink: links.setLink,
    // A paste or a drop, read by the program ({ type, ... }).
    insert: insert.insertPayload,
    insertImage: insert.insertImage,

    // ---- Search (over the whole document)

    markMatches: function (text) {
        fill.finish();
        search.markMatches(text);
    },
    stepMatch: search.stepMatch,
    replaceMatch: search.replaceCurrentMatch,
    replaceAllMatches: function (text) {
        fill.finish();
        search.replaceAllMatches(text);
    },
    clearMatches: search.clearMatches,

    // ---- At a point of the view (the context menu), in CSS pixels

    // What is there: whether a table, and a code block's languages as
    // [mode, name] pairs (null when there is no block).
    contextAt: function (x, y) {
        return { table: tagPathAt(x, y).split('|').indexOf('TABLE') >= 0, languages: codeBlocks.languagesAt(x, y) };
    },
    setCodeBlockMode: codeBlocks.setModeAt,
    insertRow: tables.insertRow,          // where: 'above', 'below'
    insertColumn: tables.insertColumn,    // where: 'left', 'right'
    deleteRow: tables.deleteRow,
    deleteColumn: tables.deleteColumn,
    moveRow: tables.moveRow,              // direction: 'up', 'down'
    moveColumn: tables.moveColumn,        // direction: 'left', 'right'
    alignColumn: tables.alignColumn,      // align: 'left', 'center', 'right'
    deleteTable: tables.deleteTable
};

function install() {
    document.execCommand('enableObjectResizing', false, true);
    document.execCommand('enableInlineTableEditing', false, true);
    document.execCommand('enableAbsolutePositionEditor', false, true);
    // Enter after a heading starts a paragraph, not a div.
    document.execCommand('defaultParagraphSeparator', false, 'p');

    theme.install();
    search.install();
    codeBlocks.install();
    codeEntry.install();
    frontMatter.install();
    diagrams.install();
    math.install();
    keys.install(document.body);
    body.install(document.body);
    wordCount.watch(document.body, program.wordCount);
    longLayout.install();
}

window.addEventListener('load', install);

// The program can call the page once the channel is open: it is told so, and
// answers with the theme and the document.
connect(function () {
    window.page = page;
    program.ready();
});
