#include "FieldEdit.h"

#include "UiText.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace mailvane::app {
namespace {

// Refuses key presses that would type anything but digits.
class DigitKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const QString text = key->text();
        for (QChar c : text) {
            if (c.isPrint() && !(c >= u'0' && c <= u'9'))
                return true;
        }
        return false;
    }
};

} // namespace

QValidator::State Latin1Validator::validate(QString& input, int&) const
{
    return isLatin1(input) ? Acceptable : Invalid;
}

void restrictEdit(QLineEdit* edit, bool digitsOnly)
{
    edit->setValidator(new Latin1Validator(edit));
    if (digitsOnly)
        edit->installEventFilter(new DigitKeyFilter(edit));
}

} // namespace mailvane::app
