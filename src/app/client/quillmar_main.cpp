#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("Torvane Quillmar");
  QMainWindow w;
  w.setWindowTitle("Torvane Quillmar");
  w.show();
  return app.exec();
}
