#include "EmbeddedFileDialog.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace mailvane::widgets {
namespace {

// The style's focus frame round an entry is drawn in nearly the face's own
// colour, and only after a key moved the focus: the sidebar's is drawn
// plainly, in the selection colour, whenever it has the keyboard.
class PlainFocusStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_FrameFocusRect) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->setPen(QPen(option->palette.color(QPalette::Highlight), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

EmbeddedFileDialog::EmbeddedFileDialog(QWidget* parent) : QFileDialog(parent) {}

void EmbeddedFileDialog::clearChoice()
{
    // The name first: the dialog selects the entry that matches the typed name.
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->clear();
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
        if (view->selectionModel() && view->model() && view->model()->inherits("QFileSystemModel"))
            view->selectionModel()->clear();
    }
}

void EmbeddedFileDialog::showSidebarFocus()
{
    if (m_sidebar)
        return;
    m_sidebar = findChild<QAbstractItemView*>(QStringLiteral("sidebar"));
    if (!m_sidebar)
        return;
    auto* style = new PlainFocusStyle;
    style->setParent(m_sidebar);
    m_sidebar->setStyle(style);
}

void EmbeddedFileDialog::accept()
{
    const QStringList chosen = selectedFiles();
    // An empty name, a folder to enter and the like are the dialog's own
    // business; only a name it would return is checked.
    const QString path = chosen.value(0);
    if (m_check && chosen.size() == 1 && !path.isEmpty() && !QFileInfo(path).isDir() &&
        !m_check(path))
        return;
    QFileDialog::accept();
}

} // namespace mailvane::widgets
