// Tables: the operations of the context menu, the insertion from the table
// dialog, and moving between cells with Tab and the arrow keys. The context
// menu passes the point that was right-clicked; every operation finds its cell
// there again. Each change is made on a copy of the table that then replaces it
// through one editing command, so that it is one step of the page's undo history.

import { blockInsertionRange } from './codeblocks.js';
import { selectRange } from './dom.js';

// A new table of rowsLength rows (the first one the header) at the selection.
export function insertTable(rowsLength, columnsLength) {
    var table = document.createElement('table');
    var i;
    if (rowsLength > 0)
        table.appendChild(document.createElement('thead')).appendChild(emptyRow('th', columnsLength));
    if (rowsLength > 1) {
        var body = table.appendChild(document.createElement('tbody'));
        for (i = 1; i < rowsLength; i++)
            body.appendChild(emptyRow('td', columnsLength));
    }
    var range = blockInsertionRange();
    if (!range) {
        // Nothing selected in the page yet: the table goes at the end.
        range = document.createRange();
        range.selectNodeContents(document.body);
        range.collapse(false);
    }
    selectRange(range);
    var before = document.body.querySelectorAll('table');
    document.execCommand('insertHTML', false, table.outerHTML);
    // The caret goes into the first cell of the new table.
    var after = document.body.querySelectorAll('table');
    for (i = 0; i < after.length; i++) {
        if (Array.prototype.indexOf.call(before, after[i]) < 0) {
            putCaretInCell(after[i].rows[0] && after[i].rows[0].cells[0]);
            break;
        }
    }
}

// Puts table, changed, in the place of its original through one editing
// command and returns the table now in the page. Nothing happens when the
// copy is unchanged.
function replaceTable(original, changed) {
    if (changed.outerHTML === original.outerHTML)
        return original;
    var index = Array.prototype.indexOf.call(document.body.querySelectorAll('table'), original);
    var range = document.createRange();
    range.selectNode(original);
    selectRange(range);
    document.execCommand('insertHTML', false, changed.outerHTML);
    return document.body.querySelectorAll('table')[index] || null;
}

// The caret at the end of cell's contents.
function putCaretInCell(cell) {
    if (!cell)
        return;
    var range = document.createRange();
    range.selectNodeContents(cell);
    range.collapse(false);
    selectRange(range);
}

// Runs edit on a copy of the table at the point with the copy's twin of the
// cell found there, and puts the copy in the page. edit returns the cell (of
// the copy) for the caret, or null to keep the caret at the same place.
function editTableAt(x, y, edit) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return;
    var table = tableOfRow(cell.parentElement);
    var copy = table.cloneNode(true);
    var rowIndex = cell.parentElement.rowIndex;
    var column = cell.cellIndex;
    var caret = edit(copy.rows[rowIndex].cells[column], copy);
    if (caret && copy.contains(caret)) {
        rowIndex = caret.parentElement.rowIndex;
        column = caret.cellIndex;
    }
    var placed = replaceTable(table, copy);
    if (!placed || placed === table || placed.rows.length === 0)
        return;
    var row = placed.rows[Math.min(rowIndex, placed.rows.length - 1)];
    putCaretInCell(row.cells[Math.min(column, row.cells.length - 1)]);
}

// The TH or TD at the point, or null.
function tableCellAt(x, y) {
    var element = document.elementFromPoint(x, y);
    while (element && element.tagName !== 'TD' && element.tagName !== 'TH')
        element = element.parentElement;
    return element;
}

function tableOfRow(row) {
    var parent = row.parentElement;
    return parent.tagName === 'TABLE' ? parent : parent.parentElement;
}

function isHeaderRow(row) {
    return row.parentElement.tagName === 'THEAD';
}

// A new cell starts empty: typed text must not follow a placeholder space.
function emptyCell(tag, align) {
    var cell = document.createElement(tag);
    if (align)
        cell.setAttribute('align', align);
    return cell;
}

// A row of cellCount empty cells; with like, each takes the alignment of the
// cell of like in its column.
function emptyRow(tag, cellCount, like) {
    var row = document.createElement('tr');
    for (var i = 0; i < cellCount; i++) {
        var model = like ? like.cells[i] : null;
        row.appendChild(emptyCell(tag, model ? model.getAttribute('align') : null));
    }
    return row;
}

// A row of tag cells with the contents (and alignment) of row's cells.
function copiedRow(row, tag) {
    var copy = document.createElement('tr');
    for (var i = 0; i < row.cells.length; i++) {
        var cell = document.createElement(tag);
        cell.innerHTML = row.cells[i].innerHTML;
        if (row.cells[i].hasAttribute('align'))
            cell.setAttribute('align', row.cells[i].getAttribute('align'));
        copy.appendChild(cell);
    }
    return copy;
}

function firstBody(table, create) {
    var body = table.tBodies[0];
    if (!body && create)
        body = table.appendChild(document.createElement('tbody'));
    return body || null;
}

// The header row and the rows of every body, in order.
function columnRows(table) {
    var rows = [];
    if (table.tHead && table.tHead.rows[0])
        rows.push(table.tHead.rows[0]);
    for (var b = 0; b < table.tBodies.length; b++) {
        for (var r = 0; r < table.tBodies[b].rows.length; r++)
            rows.push(table.tBodies[b].rows[r]);
    }
    return rows;
}

export function insertRow(x, y, type) {
    editTableAt(x, y, function (cell, table) {
        var row = cell.parentElement;
        var column = cell.cellIndex;
        // New cells take the alignment of their column.
        if (!isHeaderRow(row)) {
            var added = emptyRow('td', row.cells.length, row);
            row.parentElement.insertBefore(added, type === 'above' ? row : row.nextSibling);
            return added.cells[column];
        }
        var body = firstBody(table, true);
        if (type === 'above') {
            // The header text moves down as the first body row; the new header is empty.
            body.insertBefore(copiedRow(row, 'td'), body.rows[0] || null);
            var newHead = document.createElement('thead');
            var headRow = newHead.appendChild(emptyRow('th', row.cells.length, row));
            table.replaceChild(newHead, row.parentElement);
            return headRow.cells[column];
        }
        var below = body.insertBefore(emptyRow('td', row.cells.length, row), body.rows[0] || null);
        return below.cells[column];
    });
}

export function insertColumn(x, y, type) {
    editTableAt(x, y, function (cell, table) {
        var index = cell.cellIndex;
        var rows = columnRows(table);
        var caret = null;
        for (var i = 0; i < rows.length; i++) {
            var added = emptyCell(isHeaderRow(rows[i]) ? 'th' : 'td');
            var reference = rows[i].cells[index];
            // A row shorter than the clicked one gets the cell at its end.
            if (!reference)
                rows[i].appendChild(added);
            else
                rows[i].insertBefore(added, type === 'left' ? reference : reference.nextSibling);
            if (rows[i] === cell.parentElement)
                caret = added;
        }
        return caret;
    });
}

export function deleteRow(x, y) {
    editTableAt(x, y, function (cell, table) {
        var row = cell.parentElement;
        if (!isHeaderRow(row)) {
            row.parentElement.removeChild(row);
            return null;
        }
        var head = row.parentElement;
        head.removeChild(row);
        // The first body row becomes the header; without one the header stays empty.
        var body = firstBody(table, false);
        if (body && body.rows[0]) {
            head.appendChild(copiedRow(body.rows[0], 'th'));
            body.removeChild(body.rows[0]);
        }
        return null;
    });
}

export function deleteColumn(x, y) {
    editTableAt(x, y, function (cell, table) {
        var index = cell.cellIndex;
        var rows = columnRows(table);
        for (var i = 0; i < rows.length; i++) {
            if (rows[i].cells[index])
                rows[i].removeChild(rows[i].cells[index]);
        }
        return null;
    });
}

export function deleteTable(x, y) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return;
    var range = document.createRange();
    range.selectNode(tableOfRow(cell.parentElement));
    selectRange(range);
    document.execCommand('delete');
}

export function alignColumn(x, y, type) {
    editTableAt(x, y, function (cell, table) {
        var rows = columnRows(table);
        for (var i = 0; i < rows.length; i++) {
            if (rows[i].cells[cell.cellIndex])
                rows[i].cells[cell.cellIndex].setAttribute('align', type);
        }
        return cell;
    });
}

// Exchanges the header row with the first body row. Each row keeps its own
// cells. An empty header simply takes the body row.
function swapHeaderAndFirstRow(table) {
    var body = firstBody(table, false);
    var head = table.tHead;
    if (!head || !body || !body.rows[0])
        return;
    var bodyRow = body.rows[0];
    var headRow = head.rows[0];
    var newHeadRow = copiedRow(bodyRow, 'th');
    if (headRow)
        body.insertBefore(copiedRow(headRow, 'td'), bodyRow);
    body.removeChild(bodyRow);
    if (headRow)
        head.removeChild(headRow);
    head.appendChild(newHeadRow);
}

export function moveRow(x, y, type) {
    editTableAt(x, y, function (cell, table) {
        var row = cell.parentElement;
        var column = cell.cellIndex;
        if (isHeaderRow(row)) {
            var body = firstBody(table, false);
            if (type === 'down' && body && body.rows.length > 0) {
                swapHeaderAndFirstRow(table);
                return body.rows[0].cells[column];
            }
            return cell;
        }
        if (type === 'up') {
            var previous = row.previousElementSibling;
            if (previous) {
                row.parentElement.insertBefore(row, previous);
            } else if (row.parentElement === firstBody(table, false) && table.tHead) {
                swapHeaderAndFirstRow(table);
                return table.tHead.rows[0] ? table.tHead.rows[0].cells[column] : null;
            }
        } else if (type === 'down') {
            var next = row.nextElementSibling;
            if (next)
                row.parentElement.insertBefore(next, row);
        }
        return cell;
    });
}

export function moveColumn(x, y, type) {
    editTableAt(x, y, function (cell, table) {
        var index = cell.cellIndex;
        var count = cell.parentElement.cells.length;
        if (count < 2)
            return cell;
        var rows = [];
        if (table.tHead && table.tHead.rows[0])
            rows.push(table.tHead.rows[0]);
        var body = firstBody(table, false);
        for (var r = 0; body && r < body.rows.length; r++)
            rows.push(body.rows[r]);
        for (var i = 0; i < rows.length; i++) {
            var current = rows[i].cells[index];
            if (type === 'left' && index > 0) {
                var left = rows[i].cells[index - 1];
                if (current && left)
                    rows[i].insertBefore(current, left);
            } else if (type === 'right' && index < count - 1) {
                var right = rows[i].cells[index + 1];
                if (current && right)
                    rows[i].insertBefore(right, current);
            }
        }
        return cell;
    });
}

// Tab and Shift+Tab in a cell: the next or the previous cell, its contents
// selected. Tab in the last cell adds a row first.
export function moveToNextCell(cell, backward) {
    var table = tableOfRow(cell.parentElement);
    var cells = [];
    for (var r = 0; r < table.rows.length; r++)
        cells.push.apply(cells, table.rows[r].cells);
    var index = cells.indexOf(cell) + (backward ? -1 : 1);
    if (index < 0)
        return;
    if (index < cells.length) {
        var range = document.createRange();
        range.selectNodeContents(cells[index]);
        selectRange(range);
        return;
    }
    var copy = table.cloneNode(true);
    var last = copy.rows[copy.rows.length - 1];
    firstBody(copy, true).appendChild(emptyRow('td', last.cells.length, last));
    var placed = replaceTable(table, copy);
    if (placed)
        putCaretInCell(placed.rows[placed.rows.length - 1].cells[0]);
}

// Up and Down on the first or last line of a cell: the cell above or below in
// the same column, or the block before or after the table (the browser finds
// no line to go to in an empty cell). Returns whether the caret was moved.
export function moveToCellAboveOrBelow(cell, range, up) {
    var beyond = document.createRange();
    beyond.selectNodeContents(cell);
    if (up)
        beyond.setEnd(range.startContainer, range.startOffset);
    else
        beyond.setStart(range.endContainer, range.endOffset);
    var lines = document.createElement('div');
    lines.appendChild(beyond.cloneContents());
    if (lines.querySelector('br'))
        return false;
    var table = tableOfRow(cell.parentElement);
    var target = table.rows[cell.parentElement.rowIndex + (up ? -1 : 1)];
    if (target && target.cells.length > 0) {
        putCaretInCell(target.cells[Math.min(cell.cellIndex, target.cells.length - 1)]);
        return true;
    }
    var next = up ? table.previousElementSibling : table.nextElementSibling;
    if (!next || next.matches('.CodeMirror,pre.veltrane-code,table'))
        return false;
    var caret = document.createRange();
    caret.selectNodeContents(next);
    caret.collapse(!up);
    selectRange(caret);
    return true;
}
