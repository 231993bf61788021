// Editing page: the bridge to the program and the page functions it calls.
var contentObj;

function getHtml() {
    return document.body.innerHTML;
}

new QWebChannel(qt.webChannelTransport, function (channel) {
    contentObj = channel.objects.content;
    contentObj.loadThemeCss();
    contentObj.setHtmlSignal.connect(function (html) {
        document.body.innerHTML = html;
    });
    contentObj.loadRecentMd();
});
