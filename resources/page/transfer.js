// Text crosses between the program and the page in pieces below what one
// message carries: a large document comes in as pieces before its last one,
// and the page's HTML goes out as a first piece with the whole length, then
// piece by piece on request.

// ---------------------------------------------------------------------------
// In

let received = [];
let receivedBroken = false;

export function receivePiece(piece) {
    if (typeof piece !== 'string')
        receivedBroken = true;
    received.push(piece);
}

// The whole text the pieces so far and last make, or null when any of them
// was not text; the next text starts afresh.
export function takeReceived(last) {
    var pieces = received;
    var broken = receivedBroken || typeof last !== 'string';
    received = [];
    receivedBroken = false;
    if (broken)
        return null;
    pieces.push(last);
    return pieces.join('');
}

// ---------------------------------------------------------------------------
// Out

const sending = {};

function pieceEnd(text, from, pieceSize) {
    var end = Math.min(text.length, from + pieceSize);
    // A surrogate pair stays in one piece.
    var last = text.charCodeAt(end - 1);
    if (end < text.length && end - 1 > from && last >= 0xD800 && last <= 0xDBFF)
        end--;
    return end;
}

// The first piece of html (null when it is no text) with the whole length;
// the rest stays here for sendPiece under id.
export function startSending(id, html, pieceSize) {
    if (typeof html !== 'string')
        return null;
    var end = pieceEnd(html, 0, pieceSize);
    if (end < html.length)
        sending[id] = html;
    return { length: html.length, piece: html.substring(0, end) };
}

export function sendPiece(id, from, pieceSize) {
    var html = sending[id];
    if (typeof html !== 'string')
        return null;
    var end = pieceEnd(html, from, pieceSize);
    if (end >= html.length)
        delete sending[id];
    return html.substring(from, end);
}
