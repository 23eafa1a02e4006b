// The yardstick of the start-up benchmark: a bare Qt window of the table's size
// that ends as the program's start-up probe does, once its window is on the screen.
#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(796, 513);
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    std::_Exit(0);
}
