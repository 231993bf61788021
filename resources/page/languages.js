// Code-block languages: the CodeMirror modes a block can have, the names shown
// for them, and the words fences carry for them.

// Language table: CodeMirror mode -> the name shown in the selector and written
// as the code element's class when the page is saved. The order is the
// selector's order.
const languages = {
    '': 'default',
    'text/html': 'html',
    'text/x-csrc': 'C',
    'text/x-c++src': 'C++',
    'text/x-java': 'Java',
    'text/x-csharp': 'C#',
    'text/x-objectivec': 'Objective-C',
    'text/x-scala': 'Scala',
    'text/javascript': 'javascript',
    'text/typescript': 'TypeScript',
    'application/json': 'JSON',
    'text/x-cmake': 'Cmake',
    'text/css': 'CSS',
    'text/x-erlang': 'Erlang',
    'text/x-fortran': 'Fortran',
    'text/x-go': 'Go',
    'text/x-kotlin': 'Kotlin',
    'text/x-markdown': 'Markdown',
    'text/x-perl': 'Perl',
    'application/x-httpd-php': 'PHP HTML',
    'text/x-php': 'PHP',
    'text/x-pascal': 'Pascal',
    'application/x-powershell': 'PowerShell',
    'text/x-python': 'Python',
    'text/x-ruby': 'Ruby',
    'text/x-rustsrc': 'Rust',
    'text/x-sh': 'Shell',
    'text/x-sql': 'SQL',
    'text/x-swift': 'Swift',
    'text/x-vb': 'VB.NET',
    'text/x-verilog': 'Verilog',
    'text/x-vue': 'Vue.js',
    'text/x-diff': 'Diff',
    'text/x-yaml': 'YAML',
    'application/xml': 'XML'
};

// The words fences commonly carry (lower case) for the modes of the table.
const fenceAliases = {
    'html': 'text/html', 'htm': 'text/html', 'xhtml': 'text/html',
    'c': 'text/x-csrc', 'h': 'text/x-csrc',
    'c++': 'text/x-c++src', 'cpp': 'text/x-c++src', 'cc': 'text/x-c++src', 'cxx': 'text/x-c++src',
    'hpp': 'text/x-c++src', 'hxx': 'text/x-c++src',
    'java': 'text/x-java',
    'c#': 'text/x-csharp', 'cs': 'text/x-csharp', 'csharp': 'text/x-csharp',
    'objective-c': 'text/x-objectivec', 'objectivec': 'text/x-objectivec', 'objc': 'text/x-objectivec',
    'scala': 'text/x-scala',
    'javascript': 'text/javascript', 'js': 'text/javascript', 'node': 'text/javascript',
    'mjs': 'text/javascript', 'cjs': 'text/javascript',
    'typescript': 'text/typescript', 'ts': 'text/typescript',
    'json': 'application/json',
    'cmake': 'text/x-cmake',
    'css': 'text/css',
    'erlang': 'text/x-erlang', 'erl': 'text/x-erlang',
    'fortran': 'text/x-fortran', 'f90': 'text/x-fortran', 'f95': 'text/x-fortran',
    'go': 'text/x-go', 'golang': 'text/x-go',
    'kotlin': 'text/x-kotlin', 'kt': 'text/x-kotlin', 'kts': 'text/x-kotlin',
    'markdown': 'text/x-markdown', 'md': 'text/x-markdown',
    'perl': 'text/x-perl', 'pl': 'text/x-perl',
    'php': 'application/x-httpd-php',
    'pascal': 'text/x-pascal', 'delphi': 'text/x-pascal',
    'powershell': 'application/x-powershell', 'ps1': 'application/x-powershell', 'pwsh': 'application/x-powershell',
    'python': 'text/x-python', 'py': 'text/x-python', 'python3': 'text/x-python', 'py3': 'text/x-python',
    'ruby': 'text/x-ruby', 'rb': 'text/x-ruby',
    'rust': 'text/x-rustsrc', 'rs': 'text/x-rustsrc',
    'sh': 'text/x-sh', 'bash': 'text/x-sh', 'shell': 'text/x-sh', 'zsh': 'text/x-sh', 'ksh': 'text/x-sh',
    'console': 'text/x-sh', 'shell-session': 'text/x-sh',
    'sql': 'text/x-sql', 'mysql': 'text/x-sql', 'postgresql': 'text/x-sql', 'sqlite': 'text/x-sql',
    'swift': 'text/x-swift',
    'vb': 'text/x-vb', 'vbnet': 'text/x-vb', 'vb.net': 'text/x-vb',
    'verilog': 'text/x-verilog', 'v': 'text/x-verilog',
    'vue': 'text/x-vue', 'vue.js': 'text/x-vue',
    'diff': 'text/x-diff', 'patch': 'text/x-diff',
    'yaml': 'text/x-yaml', 'yml': 'text/x-yaml',
    'xml': 'application/xml', 'svg': 'application/xml', 'xsl': 'application/xml', 'xsd': 'application/xml'
};

// The mode whose display name is exactly text, "" when there is none.
export function modeNamed(text) {
    for (var key in languages) {
        if (languages.hasOwnProperty(key) && languages[key] === text)
            return key;
    }
    return '';
}

// The mode for a fence's word: a display name, or a usual name of the
// language in any case; "" for a word the table does not know.
export function modeForFenceWord(word) {
    if (!word)
        return '';
    var mode = modeNamed(word);
    if (mode)
        return mode;
    var lower = word.toLowerCase();
    return Object.prototype.hasOwnProperty.call(fenceAliases, lower) ? fenceAliases[lower] : '';
}

// The display name of a mode, '' for none.
export function languageName(mode) {
    if (typeof mode !== 'string' || mode === '')
        return '';
    return Object.prototype.hasOwnProperty.call(languages, mode) ? String(languages[mode]) : '';
}

// The selector's languages in its order, as [mode, name] pairs.
export function languageList() {
    var list = [];
    for (var key in languages) {
        if (languages.hasOwnProperty(key))
            list.push([key, languages[key]]);
    }
    return list;
}
