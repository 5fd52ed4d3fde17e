// The floor for start-up and memory: a plain Qt Widgets window with the start screen's three buttons,
// nothing else. Reports the moment it is first painted, then ends.

#include "Measure.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(381, 197);
    auto* start = new QPushButton(QStringLiteral("スタート"), &window);
    start->setGeometry(12, 32, 173, 73);
    auto* data = new QPushButton(QStringLiteral("各データ"), &window);
    data->setGeometry(192, 32, 169, 53);
    auto* help = new QPushButton(QStringLiteral("ヘルプページ表示"), &window);
    help->setGeometry(12, 108, 173, 69);
    window.show();
    Measure::waitUntilPainted(&window);
    Measure::report("shown");
    std::_Exit(0);
}
