#ifndef CATALOGUE_H
#define CATALOGUE_H

#include "settings/settings.h"

#include <QString>

// The interface language: the translation catalogue of each language, and the
// one the application uses, which follows the setting.
namespace Catalogue {

// The catalogue of a language, a resource; empty for the texts as written.
QString of(Settings::Language language);
// Installs the catalogue of the stored language and from then on switches it
// whenever the setting changes, for the life of the application object. Calls
// after the first do nothing.
void followSetting();

} // namespace Catalogue

#endif // CATALOGUE_H
