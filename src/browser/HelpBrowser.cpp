#include "browser/HelpBrowser.h"

#include "platform/Look.h"

#include <QLabel>
#include <QVBoxLayout>

HelpBrowser::HelpBrowser(const QString& startingAddress)
    : QWidget(nullptr), address(startingAddress), addressLabel(new QLabel(startingAddress, this))
{
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowTitle(QStringLiteral("ヘルプ"));
    setFont(gothicFont(9));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(addressLabel);
    resize(800, 600);
}
