#ifndef PALETTES_H
#define PALETTES_H

#include "settings/settings.h"

#include <QPalette>
#include <QString>

QPalette makeDarkPalette();
QPalette makeLightPalette();

// The palette a theme asks for, dark or light; none for the style's own.
const QPalette *themePalette(Settings::Theme theme, const QPalette &dark, const QPalette &light);
// Applies the palette of the stored theme.
void applyStoredPalette(const QPalette &dark, const QPalette &light);

// The command-line document path: decoded from the local 8-bit encoding,
// backslashes turned into slashes; empty when there is none.
QString startupPathFromArgument(const char *argument);

#endif // PALETTES_H
