#include "ui/ResourceIcons.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <map>

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

struct LoadedIcon {
  QIcon icon;  // shared by every control that shows it, so it is rendered once per size
  QSize size;
  QPixmap pixmap;
};

std::map<int, LoadedIcon>& Cache() {
  static std::map<int, LoadedIcon> cache;
  return cache;
}

// Parsing an SVG costs more than the rest of a dialog's set-up, so each icon
// is read once; the copies go before the application does.
const LoadedIcon& Load(int id) {
  auto& cache = Cache();
  const auto found = cache.find(id);
  if (found != cache.end()) return found->second;
  if (cache.empty()) qAddPostRoutine([] { Cache().clear(); });
  EnsureResources();
  LoadedIcon loaded;
  if (QFile::exists(IconPath(id))) {
    QSvgRenderer renderer(IconPath(id));
    loaded.icon = QIcon(IconPath(id));
    loaded.size = renderer.defaultSize();
    loaded.pixmap = QPixmap(loaded.size);
    loaded.pixmap.fill(Qt::transparent);
    QPainter painter(&loaded.pixmap);
    renderer.render(&painter);
  }
  return cache.emplace(id, std::move(loaded)).first->second;
}

}  // namespace

QSize ResourceIconSize(int id) { return Load(id).size; }

QIcon ResourceIcon(int id) { return Load(id).icon; }

QPixmap ResourcePixmap(int id) { return Load(id).pixmap; }
