#pragma once

// Input restrictions of our edits: only characters that the record can hold
// (ISO-8859-1), and for digit fields (the settings pages' ports and counts,
// the PIN) only digits. The digit rule holds for typed, pasted and dropped
// text alike: a paste or drop that is not all digits is refused whole, since
// keeping only its digits would turn "8a0" into a port nobody entered.
// Composed text (an input method's) is refused in a digit field, whatever it
// holds: digits are typed as they are. Text the program puts into a field (a
// value read from a settings file) is shown as it is. Characters the record
// cannot hold are refused with a note beside the edit that names them, so
// that nothing typed vanishes without a word.

#include <QObject>
#include <QValidator>

class QKeyEvent;
class QLineEdit;

namespace mailvane::widgets {

class Latin1Validator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;

    // The characters of the last input refused, each once; empty when the
    // last input was taken. An edit also refuses input for its length limit,
    // which this tells apart.
    const QString& refused() const { return m_refused; }

private:
    mutable QString m_refused;
};

// The characters of `text` that the record cannot hold, each once, in order.
QString charactersOutsideLatin1(const QString& text);

// Refuses any change by the operator that leaves anything but digits in the
// edit; an empty edit is fine.
class DigitValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Whether `text` consists of the digits 0 to 9 only (the empty text does).
bool isDigitsOnly(const QString& text);

// Whether a key press would type a character other than a digit. Shortcuts
// (Ctrl or Meta held) and keys that type nothing are not typing.
bool typesNonDigit(const QKeyEvent& event);

// Restricts `edit` to single-byte text; with `digitsOnly`, to digits: the
// one digit rule of every digits-only field.
void restrictEdit(QLineEdit* edit, bool digitsOnly);

} // namespace mailvane::widgets
