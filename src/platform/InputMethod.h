#pragma once

class QWidget;

// Japanese input-method modes of text boxes. Where the platform cannot pick the input mode, the
// box still records its mode (property "inputMode": "hiragana" or "off").
void setHiraganaInput(QWidget* box);
void setInputMethodOff(QWidget* box);
