#pragma once

#include <QPushButton>
#include <QWidget>

// What the floor of start-up is: a window of the start screen's size with its three buttons, nothing
// else. Shared by the Linux floor (bench/program) and the Windows one (tools/), so both measure the same.
inline void addStartScreenButtons(QWidget& window)
{
    window.resize(381, 197);
    auto* start = new QPushButton(QStringLiteral("スタート"), &window);
    start->setGeometry(12, 32, 173, 73);
    auto* data = new QPushButton(QStringLiteral("各データ"), &window);
    data->setGeometry(192, 32, 169, 53);
    auto* help = new QPushButton(QStringLiteral("ヘルプページ表示"), &window);
    help->setGeometry(12, 108, 173, 69);
}
