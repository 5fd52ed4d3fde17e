#pragma once

#include <QObject>
#include <QPointer>

class QWindow;
class QWidget;

// Tells a window when it becomes the program's active window: on its first showing, when shown
// again after being hidden, and when the user comes back to it from another window of the program.
// Coming back from another program does not count: the program's last active window is unchanged.
class ActivationWatcher : public QObject
{
    Q_OBJECT
public:
    static ActivationWatcher& instance();

signals:
    void activated(QWidget* window);

private:
    ActivationWatcher();
    void focusWindowChanged(QWindow* window);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<QWidget> lastActive;
};
