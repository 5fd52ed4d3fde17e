#pragma once

#include <functional>

class QDialog;

// Runs `step` on the next modal dialog once it is up, from a timer, as a user acts on it while the
// dialog runs its own event loop. A step that stops early (a failed check) leaves the dialog up; it
// is then closed, so the test goes on to report the failure.
void whenDialogShows(std::function<void(QDialog*)> step);
