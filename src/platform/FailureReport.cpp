#include "platform/FailureReport.h"

void showFailure(MessageBoxes& messages, QWidget* parent, const QString& description)
{
    messages.ask(parent, description, QStringLiteral("ソラニカ"), MessageBoxes::Buttons::Ok,
                 MessageBoxes::Icon::Warning);
}
