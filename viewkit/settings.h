#pragma once
// What the program remembers between runs, in the application's QSettings:
// the recent input files, the last folder used, the windows' sizes and places
// and the units chosen.

#include <QString>
#include <QStringList>
#include <QVariant>

class QWidget;

namespace vp {

// The input files last loaded or saved, the latest first.
QStringList RecentFiles();
void AddRecentFile(const QString& path);

// The folder of the last file loaded, saved or written; the home folder before.
QString LastFolder();
void RememberFolderOf(const QString& file);

// A choice remembered under `key`.
QVariant Remembered(const QString& key, const QVariant& fallback = {});
void Remember(const QString& key, const QVariant& value);

// For tests, benchmarks and screenshots: what is remembered goes apart from
// the user's own settings and starts empty.
void UseFreshSettings();

// Puts back the window's size and place (or, with `sizeOnly`, its size) as
// they were when it was last hidden; false when nothing was remembered. From
// then on the window's geometry is remembered whenever it is hidden.
bool RestoreGeometry(QWidget* window, const QString& key, bool sizeOnly = false);

}  // namespace vp
