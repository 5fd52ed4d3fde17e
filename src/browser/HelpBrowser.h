#pragma once

#include <QWidget>

class QLabel;

// frmBrowser: a help window on one address. Every help request opens a new one.
class HelpBrowser : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString StartingAddress READ startingAddress)
public:
    explicit HelpBrowser(const QString& startingAddress);

    QString startingAddress() const { return address; }

private:
    QString address;
    QLabel* addressLabel;
};
