#ifndef THEMES_H
#define THEMES_H

#include <QString>

// Page themes: style sheets in the folder "themes" beside the program.
namespace Themes {

// The theme used when none has been chosen.
constexpr const char *defaultTheme = "github-markdown-light.css";

// The program's folder + "/themes".
QString folder();
// The file of the chosen theme (which may not exist); the default theme when the
// setting names anything but a file of the themes folder.
QString currentPath();
// The text of the chosen theme; empty when it cannot be read.
QString currentCss();

} // namespace Themes

#endif // THEMES_H
