// Renders an SVG into square PNGs at build time, so that every size the
// program shows or installs matches the one drawing and the program itself
// never needs an SVG renderer.
// Usage: render-icon SOURCE.svg SIZE OUTPUT.png [SIZE OUTPUT.png ...]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "Usage: render-icon SOURCE.svg SIZE OUTPUT.png [SIZE OUTPUT.png ...]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  for (int arg = 2; arg < argc; arg += 2) {
    const int size = std::atoi(argv[arg]);
    if (!svg.isValid() || size <= 0) {
      std::fprintf(stderr, "render-icon: cannot render %s at %s pixels\n", argv[1], argv[arg]);
      return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[arg + 1]), "PNG")) {
      std::fprintf(stderr, "render-icon: cannot write %s\n", argv[arg + 1]);
      return 1;
    }
  }
  return 0;
}
