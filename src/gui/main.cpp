// tovrin: the desktop emulator (the window comes with the desktop front end).
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label("tovrin");
    label.setWindowTitle("tovrin");
    label.show();
    return app.exec();
}
