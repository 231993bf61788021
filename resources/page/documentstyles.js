// A document's own style sheets style its text but cannot take it out of
// sight: what would hide content is dropped from their rules in the page. The
// style elements keep their text, so the saved document keeps them as written.

const HIDING_VALUES = {
    'display': function (v) { return v === 'none'; },
    'visibility': function (v) { return v === 'hidden' || v === 'collapse'; },
    'content-visibility': function (v) { return v === 'hidden'; },
    'opacity': function (v) { return parseFloat(v) < 0.2; },
    'font-size': function (v) { return parseFloat(v) === 0; }
};

function disarmRules(rules) {
    for (var i = 0; i < rules.length; i++) {
        var rule = rules[i];
        if (rule.cssRules)
            disarmRules(rule.cssRules); // inside @media and @supports
        if (!rule.style)
            continue;
        for (var property in HIDING_VALUES) {
            if (HIDING_VALUES[property](rule.style.getPropertyValue(property).trim().toLowerCase()))
                rule.style.removeProperty(property);
        }
    }
}

// The style sheets in node (node itself included), once it is in the page.
export function disarmStyleSheets(node) {
    var styles = node.tagName === 'STYLE' ? [node] : node.querySelectorAll('style');
    for (var i = 0; i < styles.length; i++) {
        if (styles[i].sheet)
            disarmRules(styles[i].sheet.cssRules);
    }
}
