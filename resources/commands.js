// Formatting helpers, typed Markdown shortcuts and the word count of the editing page.
