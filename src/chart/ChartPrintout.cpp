#include "chart/ChartPrintout.h"

namespace {

const QString Item = QStringLiteral("     ☆  ");
const QString StaffItem = QStringLiteral("      ☆ ");
const QString Indent = QStringLiteral("     ");
const QString Rule = QStringLiteral("----------------");

QString heading(const QString& caption)
{
    return QStringLiteral("     ☆=========") + caption + QStringLiteral("=========☆");
}

} // namespace

QStringList chartPrintoutLines(const ShownText& shown, bool withTrading, const QString& madeAt)
{
    const auto item = [&](const char* caption, const char* value) {
        return Item + shown(QString::fromLatin1(caption)) + Indent + shown(QString::fromLatin1(value));
    };
    QStringList lines;
    lines << QString() << QString();
    lines << QStringLiteral("       ") + Rule + shown(QStringLiteral("Label21")) + QStringLiteral("　　") +
                 madeAt + QStringLiteral("   作成 ソラニカ") + QStringLiteral("-------------");
    lines << QString() << QString();
    lines << item("Label17", "Label2") << QString();
    lines << item("Label18", "Label3") << QString();
    lines << item("Label19", "Label4") << QString();
    lines << Item + QStringLiteral("生年月日") + Indent + shown(QStringLiteral("Label1")) +
                 QStringLiteral(" 年") + shown(QStringLiteral("Label6")) + QStringLiteral(" 月") +
                 shown(QStringLiteral("Label7")) + QStringLiteral(" 日生まれ")
          << QString();
    lines << item("Label36", "Label32") << QString();
    lines << item("Label38", "Label33") << QString();
    lines << item("Label37", "Label34") + QStringLiteral(" Kg") << QString();
    lines << item("Label39", "Label35") + QStringLiteral(" Kg") << QString();
    lines << StaffItem + shown(QStringLiteral("Label20")) + Indent + shown(QStringLiteral("Label5"));
    lines << QString() << QString();
    lines << heading(shown(QStringLiteral("Label26"))) << QString();
    for (const char* memo : {"Text2", "Text8", "Text9", "Text10", "Text11", "Text12"})
        lines << Indent + shown(QString::fromLatin1(memo));
    lines << QString() << QString();
    lines << heading(shown(QStringLiteral("Label8"))) << QString();
    for (const char* medication : {"Label9", "Label10", "Label11", "Label12", "Label13"})
        lines << Indent + shown(QString::fromLatin1(medication));

    if (withTrading) {
        // Each prefix and its heading take 17 columns, a Japanese character counting two.
        const auto trading = [&](const QString& prefix, const char* caption, const char* value) {
            return prefix + shown(QString::fromLatin1(caption)) + Indent + shown(QString::fromLatin1(value));
        };
        lines << QString() << QString();
        lines << QString(50, u'=');
        lines << trading(QStringLiteral("   　　　  "), "Label27", "Text3");
        lines << trading(QStringLiteral("    　　　 "), "Label28", "Text4");
        lines << trading(QStringLiteral("    　　 "), "Label29", "Text5");
        lines << trading(QStringLiteral("     "), "Label30", "Text6");
        lines << trading(QStringLiteral("    　　　 "), "Label31", "Text7");
        lines << QString() << QString() << QString();
    } else {
        lines << QString() << QString() << QString();
    }

    lines << Indent + Rule + shown(QStringLiteral("Label21")) + QStringLiteral("   ") +
                 shown(QStringLiteral("Label22")) + Rule;
    lines << Indent + shown(QStringLiteral("Label23"));
    lines << Indent + shown(QStringLiteral("Label24"));
    lines << QString();
    return lines;
}
