#pragma once

class MessageBoxes;
class ShopDatabase;

// Run at start, before anything reads the data files in the working directory: finishes a restore
// that was interrupted (a kill, a power cut) or takes back what it had begun, so the shop's files
// are all from one side of it, and tells the shop once what was done. False when the restore could
// not be finished: the program must then end without showing any data, and the next start tries
// again.
bool recoverInterruptedRestore(MessageBoxes& messages);

// Run when the program starts, before its first screen: a change to a chart and its sale database that a kill
// cut short is undone, so that both are from before it, and the shop is told; charts of earlier versions
// whose 販売日 was typed get their sale recorded, once. A failure is shown and the program goes on.
void settleChartChanges(ShopDatabase& database, MessageBoxes& messages);
