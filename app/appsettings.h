#ifndef APPSETTINGS_H
#define APPSETTINGS_H

class QSettings;

// The one settings store of the process: "app.ini" in the working directory,
// created on first use and kept until exit. Never delete the returned object.
QSettings *appSettings();

#endif // APPSETTINGS_H
