#include "ui/ResourceIcons.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <map>
#include <vector>

#include "ui/ResourceIconEngine.h"

namespace {

// An icon's pictures lie at :/icons/ID.png (its own size), ID@2x.png (twice
// that) and ID/SIZE.png (the sizes it is shown at elsewhere).
QString OwnPicture(int id) { return QStringLiteral(":/icons/%1.png").arg(id); }

struct LoadedIcon {
  QIcon icon;  // shared by every control that shows it
  QSize size;
  QPixmap pixmap;  // read when first asked for
};

std::map<int, LoadedIcon>& Cache() {
  static std::map<int, LoadedIcon> cache;
  return cache;
}

LoadedIcon& Load(int id) {
  auto& cache = Cache();
  const auto found = cache.find(id);
  if (found != cache.end()) return found->second;
  if (cache.empty()) qAddPostRoutine([] { Cache().clear(); });
  LoadedIcon loaded;
  const QString own = OwnPicture(id);
  if (QFile::exists(own)) {
    loaded.size = ResourceIconEngine::PictureSize(own);
    std::vector<ResourceIconEngine::File> files{{loaded.size.width(), own},
                                                {2 * loaded.size.width(), QStringLiteral(":/icons/%1@2x.png").arg(id)}};
    const QDir sizes(QStringLiteral(":/icons/%1").arg(id));
    for (const QString& file : sizes.entryList(QDir::Files)) {
      files.push_back({QFileInfo(file).completeBaseName().toInt(), sizes.filePath(file)});
    }
    loaded.icon = QIcon(new ResourceIconEngine(std::move(files)));
  }
  return cache.emplace(id, std::move(loaded)).first->second;
}

}  // namespace

QSize ResourceIconSize(int id) { return Load(id).size; }

QIcon ResourceIcon(int id) { return Load(id).icon; }

QPixmap ResourcePixmap(int id) {
  LoadedIcon& loaded = Load(id);
  if (loaded.pixmap.isNull() && !loaded.size.isEmpty()) loaded.pixmap = ResourceIconEngine::ReadPicture(OwnPicture(id));
  return loaded.pixmap;
}
