#pragma once

#include "sale/ExplanationSheet.h"

class QPagedPaintDevice;

// The sale-time explanation sheet laid out for reading on A4: the shop at the top, the 18 items with
// their numbers and titles, the microchip number, and a line for the buyer's signature. Text in a
// Japanese face, so it can be searched and copied in a PDF. Pages follow as the items need them.
void paintExplanationSheet(const ExplanationSheet& sheet, QPagedPaintDevice& device);
