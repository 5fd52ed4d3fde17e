#include "browser/HelpBrowser.h"

#include "browser/ToolbarIcons.h"
#include "browser/WebView.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>

namespace {

// In every handler but the address box's click and the timer, a failing step is skipped and the
// handler goes on with its next step.
template <typename Step> void skipOnError(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

// The toolbar's buttons: key and tooltip, in toolbar order.
const QList<std::pair<QString, QString>> Buttons{
    {QStringLiteral("Back"), QStringLiteral("戻る")}, {QStringLiteral("Forward"), QStringLiteral("進む")},
    {QStringLiteral("Stop"), QStringLiteral("中止")}, {QStringLiteral("Refresh"), QStringLiteral("再表示")},
    {QStringLiteral("Home"), QStringLiteral("ﾎｰﾑ")},  {QStringLiteral("Search"), QStringLiteral("検索")}};

} // namespace

// The manual is compiled into a static library, so it is registered by hand (outside any namespace,
// where the resource's registration function lives).
static void registerManual()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(registered);
}

HelpBrowser::HelpBrowser(WebViewFactory& webViews, MessageBoxes& messages)
    : QWidget(nullptr), messages(messages), timTimer(new QTimer(this))
{
    registerManual();
    buildLayout(webViews);
    connect(brwWebBrowser, &WebView::DownloadComplete, this, &HelpBrowser::downloadComplete);
    connect(brwWebBrowser, &WebView::NavigateComplete2, this, &HelpBrowser::navigateComplete);
    connect(cboAddress, &QComboBox::activated, this, &HelpBrowser::addressChosen);
    connect(timTimer, &QTimer::timeout, this, &HelpBrowser::tick);
    connect(tbToolBar, &QToolBar::actionTriggered, this, &HelpBrowser::toolbarButtonClick);
    cboAddress->installEventFilter(this);
    lblAddress->installEventFilter(this);
}

HelpBrowser::~HelpBrowser()
{
    // The controls outlive this window by a moment; their last events must not reach it.
    brwWebBrowser->disconnect(this);
    cboAddress->removeEventFilter(this);
    lblAddress->removeEventFilter(this);
    timTimer->stop();
}

void HelpBrowser::buildLayout(WebViewFactory& webViews)
{
    setObjectName(QStringLiteral("frmBrowser"));
    setFont(gothicFont(9));
    resize(twips(6540), twips(5025));

    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    const QList<QPixmap> icons = imlToolbarIcons();
    for (qsizetype i = 0; i < Buttons.size(); ++i) {
        // The button's key is its object name.
        QAction* button = tbToolBar->addAction(QIcon(icons[i]), Buttons[i].second);
        button->setObjectName(Buttons[i].first);
        button->setToolTip(Buttons[i].second);
    }
    placeTwips(tbToolBar, 0, 0, 6540, 540);

    picAddress = new QWidget(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    placeTwips(picAddress, 0, 540, 6540, 675);

    lblAddress = new QLabel(QStringLiteral("ｱﾄﾞﾚｽ(&A):"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    placeTwips(lblAddress, 45, 60, 3075, 255);

    cboAddress = new QComboBox(picAddress);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    // The list holds the visited addresses only; what is typed is never added by the box itself.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    // Nor does leaving the box go anywhere: the box would choose a listed address equal to the typed
    // text when its editing ends, which would count as the user's choice.
    QObject::disconnect(cboAddress->lineEdit(), &QLineEdit::editingFinished, cboAddress, nullptr);
    placeTwips(cboAddress, 45, 300, 3795, 300);
    lblAddress->setBuddy(cboAddress);

    brwWebBrowser = webViews.create(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    placeTwips(brwWebBrowser, 50, 1215, 5393, 3734);

    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setInterval(5);
}

void HelpBrowser::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Showing the window loads it.
    if (!loaded) {
        loaded = true;
        load();
    }
}

void HelpBrowser::load()
{
    tbToolBar->update();
    resizeControls();
    cboAddress->move(twips(50), lblAddress->y() + lblAddress->height() + twips(15));
    if (StartingAddress.isEmpty())
        return;
    cboAddress->setEditText(StartingAddress);
    cboAddress->addItem(StartingAddress);
    timTimer->start();
    skipOnError([&] { brwWebBrowser->Navigate(StartingAddress); });
}

void HelpBrowser::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The toolbar and the address panel are attached to the top edge, across the whole width.
    tbToolBar->resize(width(), tbToolBar->height());
    picAddress->resize(width(), picAddress->height());
    resizeControls();
}

void HelpBrowser::resizeControls()
{
    // Sizes that come out negative in a very small window are left as they were.
    const int innerWidth = pixelsToTwips(width());
    const int innerHeight = pixelsToTwips(height());
    const int addressBottom = pixelsToTwips(picAddress->y() + picAddress->height());
    const int boxWidth = innerWidth - 100;
    const int viewHeight = innerHeight - addressBottom - 100;
    if (boxWidth >= 0) {
        cboAddress->resize(twips(boxWidth), cboAddress->height());
        brwWebBrowser->resize(twips(boxWidth), brwWebBrowser->height());
    }
    if (viewHeight >= 0)
        brwWebBrowser->resize(brwWebBrowser->width(), twips(viewHeight));
}

void HelpBrowser::downloadComplete()
{
    setWindowTitle(brwWebBrowser->LocationName());
}

void HelpBrowser::navigateComplete()
{
    setWindowTitle(brwWebBrowser->LocationName());
    const QString address = brwWebBrowser->LocationURL();
    const int found = cboAddress->findText(address, Qt::MatchExactly | Qt::MatchCaseSensitive);
    SuppressNavigate = true;
    if (found >= 0)
        cboAddress->removeItem(found);
    cboAddress->insertItem(0, address);
    cboAddress->setCurrentIndex(0);
    // Selecting an item raises the box's click, as the user's choice does; here it must not navigate.
    cboAddressClick();
    SuppressNavigate = false;
}

void HelpBrowser::cboAddressClick()
{
    if (SuppressNavigate)
        return;
    timTimer->start();
    brwWebBrowser->Navigate(cboAddress->currentText());
}

void HelpBrowser::addressChosen()
{
    reportFailures(messages, this, [&] { cboAddressClick(); });
}

bool HelpBrowser::eventFilter(QObject* watched, QEvent* event)
{
    // Alt+A goes to the address box with its text selected, also when the box has the focus already,
    // so that what is typed next replaces the address.
    if (watched == lblAddress && event->type() == QEvent::Shortcut) {
        cboAddress->setFocus(Qt::ShortcutFocusReason);
        cboAddress->lineEdit()->selectAll();
        return true;
    }
    if (watched == cboAddress && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // A failure of the click run by Enter ends it without a word; the box then takes the key.
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            skipOnError([&] { cboAddressClick(); });
    }
    return QWidget::eventFilter(watched, event);
}

void HelpBrowser::tick()
{
    if (brwWebBrowser->Busy()) {
        setWindowTitle(QStringLiteral("作業中..."));
        return;
    }
    timTimer->stop();
    setWindowTitle(brwWebBrowser->LocationName());
}

void HelpBrowser::toolbarButtonClick(QAction* button)
{
    timTimer->start();
    const QString key = button->objectName();
    if (key == QLatin1String("Back")) {
        skipOnError([&] { brwWebBrowser->GoBack(); });
    } else if (key == QLatin1String("Forward")) {
        skipOnError([&] { brwWebBrowser->GoForward(); });
    } else if (key == QLatin1String("Refresh")) {
        skipOnError([&] { brwWebBrowser->Refresh(); });
    } else if (key == QLatin1String("Home")) {
        skipOnError([&] { brwWebBrowser->GoHome(); });
    } else if (key == QLatin1String("Search")) {
        skipOnError([&] { brwWebBrowser->GoSearch(); });
    } else if (key == QLatin1String("Stop")) {
        timTimer->stop();
        skipOnError([&] { brwWebBrowser->Stop(); });
        setWindowTitle(brwWebBrowser->LocationName());
    }
}
