// The baseline of bench_process: a bare Qt Widgets window of about the main
// window's size, shown and left running until it is ended.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(650, 450);
  window.show();
  return app.exec();
}
