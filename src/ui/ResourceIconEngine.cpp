#include "ui/ResourceIconEngine.h"

#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

constexpr int kLargestKept = 64;

void ReadAsPng(QImageReader& reader) {
  reader.setFormat("png");
  reader.setAutoDetectImageFormat(false);
}

}  // namespace

QSize ResourceIconEngine::PictureSize(const QString& path) {
  QImageReader reader(path);
  ReadAsPng(reader);
  return reader.size();
}

QPixmap ResourceIconEngine::ReadPicture(const QString& path) {
  QImageReader reader(path);
  ReadAsPng(reader);
  return QPixmap::fromImage(reader.read());
}

ResourceIconEngine::ResourceIconEngine(std::vector<File> files) : m_files(std::move(files)) {
  std::sort(m_files.begin(), m_files.end(), [](const File& a, const File& b) { return a.size < b.size; });
}

const ResourceIconEngine::File& ResourceIconEngine::Nearest(int edge) const {
  const auto found = std::find_if(m_files.begin(), m_files.end(), [edge](const File& file) { return file.size >= edge; });
  return found != m_files.end() ? *found : m_files.back();
}

QSize ResourceIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
  if (m_files.empty()) return {};
  const int largest = m_files.back().size;
  return QSize(largest, largest).scaled(size.boundedTo(QSize(largest, largest)), Qt::KeepAspectRatio);
}

QPixmap ResourceIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  const QSize wanted = actualSize(size, mode, state);
  if (wanted.isEmpty()) return {};
  QPixmap made;
  const auto kept = m_made.find({wanted.width(), wanted.height()});
  if (kept != m_made.end()) {
    made = kept->second;
  } else {
    made = ReadPicture(Nearest(std::max(wanted.width(), wanted.height())).path);
    if (made.size() != wanted) made = made.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // Large sizes are asked for once, for the window manager's copy of the
    // window icon; only the sizes controls draw again and again are kept.
    if (std::max(wanted.width(), wanted.height()) <= kLargestKept) m_made.emplace(std::pair(wanted.width(), wanted.height()), made);
  }
  // A disabled or selected look follows the style and the colours of the
  // moment, so it is made each time, from the kept picture.
  if (mode == QIcon::Normal || !qobject_cast<QApplication*>(QCoreApplication::instance())) return made;
  QStyleOption option;
  option.palette = QApplication::palette();
  const QPixmap styled = QApplication::style()->generatedIconPixmap(mode, made, &option);
  return styled.isNull() ? made : styled;
}

void ResourceIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
  const QPaintDevice* device = painter->device();
  const qreal ratio = device ? device->devicePixelRatioF() : qApp->devicePixelRatio();
  painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
}

QList<QSize> ResourceIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
  QList<QSize> sizes;
  for (const File& file : m_files) sizes.append(QSize(file.size, file.size));
  return sizes;
}

QIconEngine* ResourceIconEngine::clone() const { return new ResourceIconEngine(*this); }

QString ResourceIconEngine::key() const { return QStringLiteral("ResourceIconEngine"); }
