#ifndef PALETTES_H
#define PALETTES_H

#include <QPalette>
#include <QString>

QPalette makeDarkPalette();
QPalette makeLightPalette();

// Applies the palette chosen by "theme" (0 light, 1 dark, anything else: none).
void applyStoredPalette(const QPalette &dark, const QPalette &light);

// The command-line document path: decoded from the local 8-bit encoding,
// backslashes turned into slashes; empty when there is none.
QString startupPathFromArgument(const char *argument);

#endif // PALETTES_H
