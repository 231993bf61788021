// Code blocks: CodeMirror editors with a language selector.
