// Libraries the page loads only when a document needs them (KaTeX for
// formulas, mermaid for diagrams): each script and sheet once, from the
// program's resources, which the page's security policy admits.

const loading = new Map();

// A promise of the script at url having run.
export function loadScript(url) {
    return once(url, function (resolve, reject) {
        var script = document.createElement('script');
        script.src = url;
        script.onload = resolve;
        script.onerror = reject;
        document.head.appendChild(script);
    });
}

// A promise of the sheet at url being in force.
export function loadStyle(url) {
    return once(url, function (resolve, reject) {
        var link = document.createElement('link');
        link.rel = 'stylesheet';
        link.href = url;
        link.onload = resolve;
        link.onerror = reject;
        document.head.appendChild(link);
    });
}

function once(url, start) {
    if (!loading.has(url))
        loading.set(url, new Promise(start));
    return loading.get(url);
}

// Runs work(item) for each queued item a few milliseconds at a time, so that
// the input is never held up; returns the function that queues one.
export function sliceQueue(work) {
    var queue = [];
    var timer = 0;
    var run = function () {
        timer = 0;
        var until = performance.now() + 8;
        while (queue.length > 0 && performance.now() < until)
            work(queue.shift());
        if (queue.length > 0)
            timer = setTimeout(run, 0);
    };
    return function (item) {
        queue.push(item);
        if (!timer)
            timer = setTimeout(run, 0);
    };
}
