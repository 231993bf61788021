// Table operations of the editing page.
