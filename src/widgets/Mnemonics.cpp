#include "Mnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QRadioButton>

namespace mailvane::widgets {
namespace {

bool isFree(QChar c, const QString& taken)
{
    return c.isLetterOrNumber() && !taken.contains(c.toLower());
}

// The style of the application with one change: whether mnemonics are
// underlined follows the Alt key and the menus.
class MnemonicStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_UnderlineShortcut)
            return s_altHeld || menuInUse() ? 1 : 0;
        // Alt pressed and let go puts the keyboard on the menu bar, its first
        // menu highlighted, as on other desktops.
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

    static bool menuInUse()
    {
        if (qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            return true;
        return qobject_cast<QMenuBar*>(QApplication::focusWidget()) != nullptr;
    }

    static inline bool s_altHeld = false;
};

// Repaints every window when Alt goes down or up, so that the marks show
// and go with it.
class AltWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool held = type == QEvent::KeyPress ? key->key() == Qt::Key_Alt ||
                                                             (key->modifiers() & Qt::AltModifier)
                                                       : (key->modifiers() & Qt::AltModifier) &&
                                                             key->key() != Qt::Key_Alt;
            if (held != MnemonicStyle::s_altHeld) {
                MnemonicStyle::s_altHeld = held;
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window->isVisible())
                        window->update();
                    for (QWidget* child : window->findChildren<QWidget*>())
                        child->update();
                }
            }
        }
        return false;
    }
};

} // namespace

QString withMnemonic(const QString& text, QString& taken)
{
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        const bool wordStart = i == 0 || !text[i - 1].isLetterOrNumber();
        if (wordStart && isFree(text[i], taken))
            chosen = i;
    }
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        if (isFree(text[i], taken))
            chosen = i;
    }
    if (chosen < 0)
        return text;
    taken += text[chosen].toLower();
    QString marked = text;
    marked.insert(chosen, QLatin1Char('&'));
    return marked;
}

QString withoutMnemonic(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

void assignMnemonics(QWidget* root, const QString& reserved)
{
    QString taken = reserved.toLower();
    // In the order of the keyboard, which is the order a person reads them.
    for (QWidget* w = root->nextInFocusChain(); w && w != root; w = w->nextInFocusChain()) {
        if (!root->isAncestorOf(w))
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w);
            button && (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)))
            button->setText(withMnemonic(withoutMnemonic(button->text()), taken));
    }
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->buddy() && !label->text().isEmpty())
            label->setText(withMnemonic(withoutMnemonic(label->text()), taken));
    }
}

void installMnemonicUnderlining()
{
    static const bool installed = [] {
        QApplication::setStyle(new MnemonicStyle);
        qApp->installEventFilter(new AltWatcher(qApp));
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace mailvane::widgets
