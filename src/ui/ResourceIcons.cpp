#include "ui/ResourceIcons.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// The icons live in a static library; their registration must be pulled in
// explicitly or the linker drops it. (Outside any namespace, as the macro needs.)
static void EnsureResources() {
  static bool done = false;
  if (done) return;
  Q_INIT_RESOURCE(organizer);
  done = true;
}

namespace {

QString IconPath(int id) { return QStringLiteral(":/icons/%1.svg").arg(id); }

}  // namespace

QSize ResourceIconSize(int id) {
  EnsureResources();
  if (!QFile::exists(IconPath(id))) return {};
  return QSvgRenderer(IconPath(id)).defaultSize();
}

QIcon ResourceIcon(int id) {
  EnsureResources();
  if (!QFile::exists(IconPath(id))) return {};
  return QIcon(IconPath(id));
}

QPixmap ResourcePixmap(int id) {
  const QSize size = ResourceIconSize(id);
  if (size.isEmpty()) return {};
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QSvgRenderer(IconPath(id)).render(&painter);
  return pixmap;
}
