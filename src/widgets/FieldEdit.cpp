#include "FieldEdit.h"

#include "UiText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>
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

// Long enough to read a sentence; the next key press closes it anyway.
constexpr int RefusedNoteMs = 8000;

void showRefusedNote(QLineEdit* edit, const QString& refused)
{
    const QString note =
        uiText(settings::strings::NotLatin1Note).arg(refused);
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), note, edit, QRect(),
                       RefusedNoteMs);
}

} // namespace

QValidator::State Latin1Validator::validate(QString& input, int&) const
{
    m_refused = charactersOutsideLatin1(input);
    return m_refused.isEmpty() ? Acceptable : Invalid;
}

QString charactersOutsideLatin1(const QString& text)
{
    QString outside;
    // By code point, so that a character outside the basic plane stays whole.
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (c > 0xFF && !outside.contains(character))
            outside += character;
    }
    return outside;
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
        auto* validator = new Latin1Validator(edit);
        edit->setValidator(validator);
        QObject::connect(edit, &QLineEdit::inputRejected, validator, [edit, validator] {
            if (!validator->refused().isEmpty())
                showRefusedNote(edit, validator->refused());
        });
    }
}

} // namespace mailvane::widgets
