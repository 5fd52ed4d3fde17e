#pragma once

#include "backup/ZipArchive.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// A shop's data for the backup tests, written into the working directory.
namespace ShopData {

// Three records with Japanese text, zero bytes inside fields, a field ending in half a two-byte
// character and weights; four pick lists (one empty, one without a last CR LF, one with a blank
// line); shop settings with characters an INI file has to escape.
void writeSample();
// Something else in every file and setting: other records, lists changed, added and removed.
void writeChanged();

QByteArray sampleRecords();
QStringList sampleSettings();
QStringList settings();
void saveSettings(const QStringList& values);

// Every file under the working directory (the settings file included) with its bytes, directories
// as entries of their own, so that a test sees any change, addition or removal.
QMap<QString, QByteArray> folderState();
// The same without the backup folder.
QMap<QString, QByteArray> dataState();

// A ZIP of `files` with a manifest.json that lists them as they are (after `edit` changed it).
QByteArray archiveOf(const QList<NamedBytes>& files,
                     const std::function<void(QByteArray& manifest)>& edit = {});
// The sample data's files and shop.ini, as a backup holds them.
QList<NamedBytes> sampleEntries();

} // namespace ShopData
