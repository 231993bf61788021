// The page's look: the theme sheet and the code blocks' theme, on screen and in print.

const pageLook = { codeTheme: 'default', printCodeTheme: 'default' };

// Gives every code block the CodeMirror theme name, live editors and blocks
// shown as static HTML alike; blocks made later take it from the defaults.
export function setCodeTheme(name) {
    CodeMirror.defaults.theme = name;
    var wrappers = document.querySelectorAll('.CodeMirror');
    for (var i = 0; i < wrappers.length; i++) {
        if (wrappers[i].CodeMirror)
            wrappers[i].CodeMirror.setOption('theme', name);
    }
    var themed = document.querySelectorAll('[class*="cm-s-"]');
    for (var j = 0; j < themed.length; j++) {
        var classes = themed[j].classList;
        for (var k = classes.length - 1; k >= 0; k--) {
            if (classes[k].indexOf('cm-s-') === 0 && classes[k] !== 'cm-s-' + name)
                classes.remove(classes[k]);
        }
        classes.add('cm-s-' + name);
    }
}

// The theme sheet and code theme for the screen, and those for print when they
// differ (printSheet empty: print as shown). Nothing is reloaded: the document,
// the caret and the undo history stay.
export function setPageTheme(sheet, codeTheme, printSheet, printCodeTheme) {
    var link = document.getElementById('themecss');
    if (link.getAttribute('href') !== sheet)
        link.setAttribute('href', sheet);
    link.media = printSheet ? 'screen' : 'all';
    var printLink = document.getElementById('printcss');
    if (printSheet)
        printLink.setAttribute('href', printSheet);
    else
        printLink.removeAttribute('href');
    pageLook.codeTheme = codeTheme;
    pageLook.printCodeTheme = printSheet ? printCodeTheme : codeTheme;
    document.documentElement.classList.toggle('dark', codeTheme !== 'default');
    setCodeTheme(codeTheme);
}

// Print and PDF are laid out from the live page: the code blocks take the print
// theme for that time.
export function install() {
    window.addEventListener('beforeprint', function () { setCodeTheme(pageLook.printCodeTheme); });
    window.addEventListener('afterprint', function () { setCodeTheme(pageLook.codeTheme); });
}
