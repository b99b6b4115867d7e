#pragma once

#include <QIconEngine>
#include <QPixmap>
#include <QString>
#include <map>
#include <utility>
#include <vector>

// An icon drawn at build time into PNGs of several sizes. A picture is read
// only when a size of it is first asked for, and only the sizes asked for are
// kept: reading every size up front would hold the largest ones for nothing.
class ResourceIconEngine : public QIconEngine {
 public:
  struct File {
    int size;  // the picture is size x size pixels
    QString path;
  };
  explicit ResourceIconEngine(std::vector<File> files);

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
  QIconEngine* clone() const override;
  QString key() const override;

  // A picture's size and the picture, read as the PNG it is: leaving its
  // format to be guessed would load every image-format plugin installed.
  static QSize PictureSize(const QString& path);
  static QPixmap ReadPicture(const QString& path);

 private:
  // The smallest picture at least as large as `edge`, else the largest.
  const File& Nearest(int edge) const;

  std::vector<File> m_files;  // by size, smallest first
  std::map<std::pair<int, int>, QPixmap> m_made;  // by width and height
};
