// Images: a document names its pictures relative to its own folder or by a
// local path, which the page (living in the resource scheme) cannot reach. The
// shown source is a file URL; the source as written stays in an attribute and
// is what the saved HTML gives back.

const ORIGINAL_SRC = 'data-veltrane-src';

// The images whose shown source is not the one written.
export const resolvedImageSelector = 'img[' + ORIGINAL_SRC + ']';

let documentFolder = ''; // file URL of the open document's folder, '' when untitled

function isDrivePath(src) {
    return /^[a-zA-Z]:[\\\/]/.test(src);
}

// The file URL to show for a source as written, or '' when it needs no help.
function resolvedImageSrc(src) {
    if (!src)
        return '';
    if (isDrivePath(src))
        return new URL('/' + src.replace(/\\/g, '/'), 'file:///').href;
    if (/^[a-zA-Z][a-zA-Z0-9+.\-]*:/.test(src) || src.charAt(0) === '#' || src.indexOf('//') === 0)
        return '';
    if (src.charAt(0) === '/')
        return new URL(src, 'file:///').href;
    if (!documentFolder)
        return '';
    try {
        return new URL(src, documentFolder).href;
    } catch (e) {
        return '';
    }
}

function resolveImage(img) {
    if (img.hasAttribute(ORIGINAL_SRC))
        return;
    var src = img.getAttribute('src');
    var shown = resolvedImageSrc(src);
    if (!shown)
        return;
    img.setAttribute(ORIGINAL_SRC, src);
    img.setAttribute('src', shown);
}

// Makes the images of root (an element, itself included; the body by default) show.
export function resolveImages(root) {
    if (!root)
        root = document.body;
    if (!root)
        return;
    if (root.tagName === 'IMG')
        resolveImage(root);
    if (root.querySelectorAll) {
        var images = root.querySelectorAll('img');
        for (var i = 0; i < images.length; i++)
            resolveImage(images[i]);
    }
}

// Puts back the sources as written in a copy of the page. An image whose source
// was changed since it was resolved keeps its new source.
export function restoreImageSources(root) {
    var images = root.querySelectorAll(resolvedImageSelector);
    for (var i = 0; i < images.length; i++) {
        var img = images[i];
        var original = img.getAttribute(ORIGINAL_SRC);
        if (img.getAttribute('src') === resolvedImageSrc(original))
            img.setAttribute('src', original);
        img.removeAttribute(ORIGINAL_SRC);
    }
}

// A new folder (a document saved elsewhere) re-resolves the shown images, so
// every untouched image keeps showing what its written source names.
export function setDocumentFolder(folderUrl) {
    folderUrl = folderUrl || '';
    if (folderUrl === documentFolder)
        return;
    if (document.body)
        restoreImageSources(document.body);
    documentFolder = folderUrl;
    resolveImages(document.body);
}
