#pragma once

// Input restrictions of the settings edits: only characters that the record
// can hold (ISO-8859-1), and for digit fields only typed digits. Pasted text
// into a digit field is not filtered, as the settings file reader accepts
// "25a" too; it still has to be single-byte text.

#include <QObject>
#include <QValidator>

class QLineEdit;

namespace mailvane::app {

class Latin1Validator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Restricts `edit` to single-byte text; with `digitsOnly`, typed characters
// other than digits are refused too.
void restrictEdit(QLineEdit* edit, bool digitsOnly);

} // namespace mailvane::app
