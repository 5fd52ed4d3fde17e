// The floor for the Windows build's start-up under Wine (scripts/windows/startup-bench.sh): a plain Qt
// Widgets window with the start screen's caption and three buttons, nothing else, built with the same
// toolchain as soranika.exe. It stays open until it is closed.

#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("ソラニカ"));
    window.resize(381, 197);
    auto* start = new QPushButton(QStringLiteral("スタート"), &window);
    start->setGeometry(12, 32, 173, 73);
    auto* data = new QPushButton(QStringLiteral("各データ"), &window);
    data->setGeometry(192, 32, 169, 53);
    auto* help = new QPushButton(QStringLiteral("ヘルプページ表示"), &window);
    help->setGeometry(12, 108, 173, 69);
    window.show();
    return app.exec();
}
