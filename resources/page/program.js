// What the page tells the program: the calls of the bridge object the program
// registers on the page's web channel as "program". Before the channel is
// open there is no one to tell, and nothing is sent.

let bridge = null;

// Opens the channel; then() runs once the program can be told things.
export function connect(then) {
    new QWebChannel(qt.webChannelTransport, function (channel) {
        bridge = channel.objects.program;
        then();
    });
}

export const program = {
    // The page is ready for its theme and its document.
    ready: function () { if (bridge) bridge.ready(); },
    // The user changed the document.
    edited: function () { if (bridge) bridge.edited(); },
    wordCount: function (count) { if (bridge) bridge.wordCount(String(count)); },
    focused: function () { if (bridge) bridge.focused(); },
    // A paste in the page: the program inserts the clipboard, cleaned.
    paste: function () { if (bridge) bridge.paste(); },
    // The page holds the whole document it was given (ok), or none of a broken one.
    contentLoaded: function (ok) { if (bridge) bridge.contentLoaded(ok); },
    openUrl: function (url) { if (bridge) bridge.openUrl(url); },
    // The link dialog, for the link clicked or for a new one.
    editLink: function (text, url) { if (bridge) bridge.editLink(text, url); },
    newLink: function (selectedText) { if (bridge) bridge.newLink(selectedText); }
};
