#pragma once

#include <QList>

#include <functional>

class MessageBoxes;
class QDialog;
class QWidget;

// Before a close by ×, Esc or キャンセル drops what was typed into `dialog`, asks
// 「入力した内容を破棄しますか？」 with いいえ the default; いいえ keeps the dialog open with the typing.
// What the dialog's inputs hold is recorded each time it is shown and compared at the close, so a dialog
// closed unchanged asks nothing. `pages` are widgets that show one of several pages the dialog keeps
// itself: they are left out of the comparison, and `pagesChanged` says whether a kept page was edited.
void askBeforeDiscarding(QDialog* dialog, MessageBoxes& messages, QList<QWidget*> pages = {},
                         std::function<bool()> pagesChanged = {});
