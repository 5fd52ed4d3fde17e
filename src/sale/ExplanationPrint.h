#pragma once

#include "sale/ExplanationSheet.h"

#include <QString>

class QPagedPaintDevice;

// The sale-time explanation sheet laid out for reading on A4: the shop at the top, the 18 items with
// their numbers and titles, the microchip number, the day it is handed over, the buyer's name and a
// line for the buyer's signature. Text in a Japanese face, so it can be searched and copied in a PDF.
// Pages follow as the items need them; every page is headed with the chart number, the breed, the
// microchip number and "n / N ページ", so a page that comes loose still tells which animal it is for.
// `deviceName` names the printer or file in a failure.
void paintExplanationSheet(const ExplanationSheet& sheet, QPagedPaintDevice& device,
                           const QString& deviceName);
