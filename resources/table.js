// Table operations of the editing page. The context menu passes the point that
// was right-clicked; every operation finds its cell there again.

// A new table of rowsLength rows (the first one the header) at the selection.
function insertTable(rowsLength, columnsLength) {
    var table = document.createElement('table');
    var i, j, row;
    if (rowsLength > 0) {
        var head = table.appendChild(document.createElement('thead'));
        row = head.appendChild(document.createElement('tr'));
        for (j = 0; j < columnsLength; j++)
            row.appendChild(document.createElement('th'));
    }
    if (rowsLength > 1) {
        var body = table.appendChild(document.createElement('tbody'));
        for (i = 1; i < rowsLength; i++) {
            row = body.appendChild(document.createElement('tr'));
            for (j = 0; j < columnsLength; j++)
                row.appendChild(document.createElement('td'));
        }
    }
    var range = blockInsertionRange();
    if (range) {
        range.extractContents();
        range.insertNode(table);
    } else {
        // Nothing selected in the page yet: the table goes at the end.
        document.body.appendChild(table);
    }
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

function elementIndex(element) {
    var index = 0;
    while ((element = element.previousElementSibling))
        index++;
    return index;
}

function emptyCell(tag) {
    var cell = document.createElement(tag);
    cell.innerHTML = '&nbsp;';
    return cell;
}

function emptyRow(tag, cellCount) {
    var row = document.createElement('tr');
    for (var i = 0; i < cellCount; i++)
        row.appendChild(emptyCell(tag));
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

function insertTableRow(x, y, type) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return;
    var row = cell.parentElement;
    var table = tableOfRow(row);
    if (!isHeaderRow(row)) {
        var added = emptyRow('td', row.cells.length);
        row.parentElement.insertBefore(added, type === 'above' ? row : row.nextSibling);
        return;
    }
    var body = firstBody(table, true);
    if (type === 'above') {
        // The header text moves down as the first body row; the new header is empty.
        body.insertBefore(copiedRow(row, 'td'), body.rows[0] || null);
        var head = row.parentElement;
        var newHead = document.createElement('thead');
        newHead.appendChild(emptyRow('th', row.cells.length));
        table.removeChild(head);
        table.insertBefore(newHead, body);
    } else {
        body.insertBefore(emptyRow('td', row.cells.length), body.rows[0] || null);
    }
}

// The clicked cell's column: its index and every row that holds the column.
function columnAt(x, y) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return null;
    return { index: elementIndex(cell), rows: columnRows(tableOfRow(cell.parentElement)) };
}

function insertTableColumn(x, y, type) {
    var column = columnAt(x, y);
    if (!column)
        return;
    var index = column.index;
    var rows = column.rows;
    for (var i = 0; i < rows.length; i++) {
        var added = emptyCell(isHeaderRow(rows[i]) ? 'th' : 'td');
        var reference = rows[i].cells[index];
        // A row shorter than the clicked one gets the cell at its end.
        if (!reference)
            rows[i].appendChild(added);
        else
            rows[i].insertBefore(added, type === 'left' ? reference : reference.nextSibling);
    }
}

function deleteRow(x, y) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return;
    var row = cell.parentElement;
    var table = tableOfRow(row);
    if (!isHeaderRow(row)) {
        row.parentElement.removeChild(row);
        return;
    }
    var head = row.parentElement;
    head.removeChild(row);
    // The first body row becomes the header; without one the header stays empty.
    var body = firstBody(table, false);
    if (body && body.rows[0]) {
        head.appendChild(copiedRow(body.rows[0], 'th'));
        body.removeChild(body.rows[0]);
    }
}

function deleteColumn(x, y) {
    var column = columnAt(x, y);
    if (!column)
        return;
    var index = column.index;
    var rows = column.rows;
    for (var i = 0; i < rows.length; i++) {
        if (rows[i].cells[index])
            rows[i].removeChild(rows[i].cells[index]);
    }
}

function deleteTable(x, y) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return;
    var table = tableOfRow(cell.parentElement);
    table.parentNode.removeChild(table);
}

function alignColumn(x, y, type) {
    var column = columnAt(x, y);
    if (!column)
        return;
    var index = column.index;
    var rows = column.rows;
    for (var i = 0; i < rows.length; i++) {
        if (rows[i].cells[index])
            rows[i].cells[index].setAttribute('align', type);
    }
}

// Exchanges the header row with the first body row. Each row keeps its own
// cells (columnsNum is the header's width, kept for callers). An empty header
// simply takes the body row.
function swapTheadTbodyTrOne(table, columnsNum) {
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

function shiftRow(x, y, type) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return;
    var row = cell.parentElement;
    var table = tableOfRow(row);
    if (isHeaderRow(row)) {
        var body = firstBody(table, false);
        if (type === 'down' && body && body.rows.length > 0)
            swapTheadTbodyTrOne(table, row.cells.length);
        return;
    }
    if (type === 'up') {
        var previous = row.previousElementSibling;
        if (previous)
            row.parentElement.insertBefore(row, previous);
        else if (row.parentElement === firstBody(table, false) && table.tHead)
            swapTheadTbodyTrOne(table, table.tHead.rows[0] ? table.tHead.rows[0].cells.length : 0);
    } else if (type === 'down') {
        var next = row.nextElementSibling;
        if (next)
            row.parentElement.insertBefore(next, row);
    }
}

function shiftColumn(x, y, type) {
    var cell = tableCellAt(x, y);
    if (!cell)
        return;
    var index = elementIndex(cell);
    var count = cell.parentElement.cells.length;
    if (count < 2)
        return;
    var table = tableOfRow(cell.parentElement);
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
}
