// Links, images, pasted and dropped content in the editing page.
