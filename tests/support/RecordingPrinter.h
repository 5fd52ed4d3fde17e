#pragma once

#include "widgets/Printer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Keeps every document it is given instead of printing it, or fails as a broken printer would.
// A painted document is kept as the PDF the same painting makes.
class RecordingPrinter final : public Printer
{
public:
    struct Document
    {
        QString name;
        QStringList lines;
        QByteArray pdf;
    };

    void print(const QStringList& lines, const QString& documentName) override;
    void printDocument(const QString& documentName, const Painting& paint) override;

    QList<Document> documents;
    // When set, every print fails with this description and nothing is kept.
    QString failure;
};
