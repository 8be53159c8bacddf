#include "settings.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

namespace vp {

namespace {

constexpr int kRecentFiles = 8;

// Remembers a window's geometry whenever the window is hidden.
class GeometryKeeper : public QObject {
 public:
  static constexpr const char* kName = "geometryKeeper";
  GeometryKeeper(QWidget* window, const QString& key) : QObject(window), key_(key) {
    setObjectName(kName);
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide) Remember(key_, static_cast<QWidget*>(watched)->saveGeometry());
    return false;
  }

 private:
  QString key_;
};

}  // namespace

void UseFreshSettings() {
  // A folder of this process's own, removed at its end: tests run side by side.
  static QTemporaryDir folder;
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
  QSettings().clear();
}

QStringList RecentFiles() { return QSettings().value("recentFiles").toStringList(); }

void AddRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  files.removeAll(absolute);
  files.prepend(absolute);
  while (files.size() > kRecentFiles) files.removeLast();
  Remember("recentFiles", files);
  RememberFolderOf(absolute);
}

QString LastFolder() {
  const QString folder = QSettings().value("lastFolder").toString();
  return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void RememberFolderOf(const QString& file) { Remember("lastFolder", QFileInfo(file).absolutePath()); }

QVariant Remembered(const QString& key, const QVariant& fallback) { return QSettings().value(key, fallback); }

void Remember(const QString& key, const QVariant& value) { QSettings().setValue(key, value); }

bool RestoreGeometry(QWidget* window, const QString& key, bool sizeOnly) {
  const QString setting = "windows/" + key;
  if (!window->findChild<QObject*>(GeometryKeeper::kName, Qt::FindDirectChildrenOnly)) new GeometryKeeper(window, setting);
  const QByteArray saved = Remembered(setting).toByteArray();
  if (saved.isEmpty()) return false;
  const QPoint place = window->pos();
  if (!window->restoreGeometry(saved)) return false;
  if (sizeOnly) window->move(place);
  return true;
}

}  // namespace vp
