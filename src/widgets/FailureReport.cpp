#include "widgets/FailureReport.h"

void showFailure(MessageBoxes& messages, QWidget* parent, const QString& description)
{
    messages.ask(parent, description, QStringLiteral("ソラニカ"), MessageBoxes::Buttons::Ok,
                 MessageBoxes::Icon::Warning);
}

bool confirmDiscard(MessageBoxes& messages, QWidget* parent)
{
    return messages.ask(parent, QStringLiteral("保存できませんでした。入力した内容を破棄して閉じますか？"),
                        QStringLiteral("ソラニカ"), MessageBoxes::Buttons::OkCancel,
                        MessageBoxes::Icon::Warning,
                        MessageBoxes::Answer::Cancel) == MessageBoxes::Answer::Ok;
}
