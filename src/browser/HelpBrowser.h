#pragma once

#include <QWidget>

class MessageBoxes;
class QAction;
class QComboBox;
class QLabel;
class QTimer;
class QToolBar;
class WebView;
class WebViewFactory;

// frmBrowser: a small web browser that shows the help pages. Every help request opens a new one,
// and each lives until the user closes it. Its caption follows the page: the page title, or
// "作業中..." while a page loads.
class HelpBrowser : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString StartingAddress MEMBER StartingAddress)
public:
    HelpBrowser(WebViewFactory& webViews, MessageBoxes& messages);
    ~HelpBrowser() override;

    // The address to open when the window loads (when it is first shown); empty opens nothing.
    QString StartingAddress;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout(WebViewFactory& webViews);
    void load();
    void resizeControls();
    void downloadComplete();
    void navigateComplete();
    void cboAddressClick();
    void addressChosen();
    void tick();
    void toolbarButtonClick(QAction* button);

    MessageBoxes& messages;
    QToolBar* tbToolBar;
    QWidget* picAddress;
    QLabel* lblAddress;
    QComboBox* cboAddress;
    WebView* brwWebBrowser;
    QTimer* timTimer;
    bool SuppressNavigate = false;
    bool loaded = false;
};
