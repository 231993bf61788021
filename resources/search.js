// Search highlighting and replacing in the editing page.
