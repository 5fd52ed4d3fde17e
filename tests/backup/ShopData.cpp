#include "ShopData.h"

#include "backup/Manifest.h"
#include "backup/ShopIni.h"
#include "store/PetRecord.h"
#include "store/ShopSettings.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace ShopData {

namespace {

QByteArray lines(std::initializer_list<const char*> items)
{
    QByteArray bytes;
    for (const char* item : items)
        bytes += sjis(QString::fromUtf8(item)) + "\r\n";
    return bytes;
}

} // namespace

QByteArray sampleRecords()
{
    QByteArray first =
        editorWrittenRecord(QStringLiteral("柴犬"), QStringLiteral("オス"), QStringLiteral("赤"));
    // A memo with a zero byte inside, and a supplier cut after the lead byte of 犬 (0x8C 0xA2).
    first.replace(356, 10, sjis(QStringLiteral("元気")) + QByteArray("\0\0x\0y", 6));
    first.replace(844, 30, (sjis(QStringLiteral("ブリーダー山田")) + QByteArray(15, ' ')).left(29) + "\x8c");
    first.replace(806, 4, QByteArray::fromHex("00002040"));
    const QByteArray second = recordWith({{16, sjis(QStringLiteral("ﾁﾜﾜ①㈱～"))}, {934, "2026/12/01"}});
    const QByteArray third(RecordLength, '\0');
    return first + second + third;
}

QStringList sampleSettings()
{
    return {QStringLiteral("ペットショップ「ソラニカ」"), QStringLiteral("  03-1234-5678  "),
            QStringLiteral("東京都港区, 芝; 1=2 \"a\\b\""), QStringLiteral("@1行目\n2行目")};
}

void writeSample()
{
    writeFileBytes(QStringLiteral("detapetto.dt"), sampleRecords());
    writeFileBytes(QStringLiteral("syurui.txt"), lines({"柴犬", "チワワ", " トイ・プードル "}));
    writeFileBytes(QStringLiteral("iro.txt"), QByteArray());
    writeFileBytes(QStringLiteral("tokucyou.txt"), lines({"山田", "", "佐藤"}));
    writeFileBytes(QStringLiteral("hoka1.txt"), lines({"ｱｲｳ", "①"}) + sjis(QStringLiteral("最後")));
    saveSettings(sampleSettings());
}

void writeChanged()
{
    writeFileBytes(QStringLiteral("detapetto.dt"),
                   editorWrittenRecord(QStringLiteral("ポメラニアン")).repeated(5));
    writeFileBytes(QStringLiteral("syurui.txt"), lines({"ポメラニアン"}));
    QFile::remove(QStringLiteral("tokucyou.txt"));
    writeFileBytes(QStringLiteral("iro.txt"), lines({"白", "黒"}));
    writeFileBytes(QStringLiteral("kusuri.txt"), lines({"ワクチン"}));
    writeFileBytes(QStringLiteral("hoka2.txt"), lines({"新しいリスト"}));
    saveSettings({QStringLiteral("別の店"), QString(), QStringLiteral("大阪"), QStringLiteral("閉店")});
}

QStringList settings()
{
    QStringList values;
    for (const QString& key : ShopSettings::Keys)
        values.append(ShopSettings::get(key));
    return values;
}

void saveSettings(const QStringList& values)
{
    for (int i = 0; i < 4; ++i)
        ShopSettings::save(ShopSettings::Keys[i], values[i]);
}

QMap<QString, QByteArray> folderState()
{
    QMap<QString, QByteArray> state;
    const QDir root = QDir::current();
    QDirIterator it(root.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = root.relativeFilePath(info.filePath());
        state.insert(name, info.isDir() ? QByteArray("<folder>") : readFileBytes(info.filePath()));
    }
    return state;
}

QMap<QString, QByteArray> dataState()
{
    QMap<QString, QByteArray> state = folderState();
    state.removeIf([](const auto& entry) { return entry.key().startsWith(QStringLiteral("バックアップ")); });
    return state;
}

QList<NamedBytes> sampleEntries()
{
    QList<NamedBytes> files{{QStringLiteral("detapetto.dt"), sampleRecords()},
                            {QStringLiteral("syurui.txt"), lines({"柴犬", "チワワ"})},
                            {QStringLiteral("hoka1.txt"), lines({"ｱｲｳ"})}};
    files.append({ShopIni::FileName, ShopIni::encode(sampleSettings())});
    return files;
}

QByteArray archiveOf(const QList<NamedBytes>& files, const std::function<void(QByteArray& manifest)>& edit)
{
    Manifest manifest{QStringLiteral("1.00.0002"), QDateTime(QDate(2026, 11, 30), QTime(18, 45)), 0, {}, {}};
    for (const NamedBytes& file : files) {
        manifest.entries.append(Manifest::describe(file));
        if (file.name == QStringLiteral("detapetto.dt"))
            manifest.recordCount = file.bytes.size() / RecordLength;
    }
    QByteArray json = manifest.toJson();
    if (edit)
        edit(json);
    QList<NamedBytes> entries = files;
    if (!json.isEmpty())
        entries.append({QStringLiteral("manifest.json"), json});
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("archive.zip"));
    writeZip(entries, manifest.created, path, QStringLiteral("archive.zip"));
    return readFileBytes(path);
}

} // namespace ShopData
