#ifndef THEMES_H
#define THEMES_H

#include <QString>

// Page themes: style sheets in the folder "themes" beside the program, and the
// code-block theme that goes with each. Unless the user chose a sheet, the page
// follows the palette on screen and prints on the light sheet.
namespace Themes {

// The light and the dark sheet of the themes folder.
constexpr const char *defaultTheme = "github-markdown-light.css";
constexpr const char *darkTheme = "github-markdown-dark.css";
// CodeMirror themes of the code blocks on a light and on a dark sheet.
constexpr const char *lightCodeTheme = "default";
constexpr const char *darkCodeTheme = "nord";

// The program's folder + "/themes".
QString folder();
// Whether the page follows the palette: no sheet chosen, or a setting that
// names no file of the themes folder.
bool followsPalette();
// The sheet of the editing page on screen (which may not exist): the chosen one,
// else the light or dark sheet after the palette.
QString currentPath();
// The text of that sheet; empty when it cannot be read.
QString currentCss();
// The sheet for print, PDF and exported pages: the chosen one, else the light one.
QString printPath();
QString printCss();
// The code-block theme that suits a sheet: dark for a sheet named dark.
QString codeTheme(const QString &sheetPath);

} // namespace Themes

#endif // THEMES_H
