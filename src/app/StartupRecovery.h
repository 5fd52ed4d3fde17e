#pragma once

class MessageBoxes;

// Run at start, before anything reads the data files in the working directory: finishes a restore
// that was interrupted (a kill, a power cut) or takes back what it had begun, so the shop's files
// are all from one side of it, and tells the shop once what was done. False when the restore could
// not be finished: the program must then end without showing any data, and the next start tries
// again.
bool recoverInterruptedRestore(MessageBoxes& messages);
