// Word count. Loaded as the page's worker: each message is a text, the answer
// its count. Loaded as a plain script it only defines fnGetCpmisWords.

// A run of Latin-1 characters counts as one word, every other character
// (each Chinese character, each full-width mark) as one; white space separates.
function fnGetCpmisWords(str) {
    try {
        var text = String(str);
        text = text.replace(/(\r\n+|\s+|\u3000+)/g, '\u9F98');
        text = text.replace(/[\u0000-\u00FF]/g, 'm');
        text = text.replace(/m+/g, '*');
        text = text.replace(/\u9F98+/g, '');
        return text.length;
    } catch (e) {
        return 0;
    }
}

if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
    self.onmessage = function (event) {
        self.postMessage(fnGetCpmisWords(event.data));
    };
}
