#include "FieldEdit.h"

#include "UiText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace mailvane::widgets {
namespace {

// Swallows key presses that would type anything but digits, so that a field
// holding a value from a file (which the validator lets stand) gets no
// letters typed into it either, and all composed input.
class DigitKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::InputMethod)
            return true;
        return event->type() == QEvent::KeyPress &&
               typesNonDigit(*static_cast<const QKeyEvent*>(event));
    }
};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QValidator::State Latin1Validator::validate(QString& input, int&) const
{
    return isLatin1(input) ? Acceptable : Invalid;
}

QValidator::State DigitValidator::validate(QString& input, int&) const
{
    return isDigitsOnly(input) ? Acceptable : Invalid;
}

bool isDigitsOnly(const QString& text)
{
    return std::all_of(text.begin(), text.end(), isDigit);
}

bool typesNonDigit(const QKeyEvent& event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString typed = event.text();
    return std::any_of(typed.begin(), typed.end(),
                       [](QChar c) { return c.isPrint() && !isDigit(c); });
}

void restrictEdit(QLineEdit* edit, bool digitsOnly)
{
    if (digitsOnly) {
        edit->setValidator(new DigitValidator(edit));
        edit->installEventFilter(new DigitKeyFilter(edit));
    } else {
        edit->setValidator(new Latin1Validator(edit));
    }
}

} // namespace mailvane::widgets
