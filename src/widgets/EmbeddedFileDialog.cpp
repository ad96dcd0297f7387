#include "EmbeddedFileDialog.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace mailvane::widgets {

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
