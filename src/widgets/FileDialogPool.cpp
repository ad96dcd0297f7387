#include "FileDialogPool.h"

#include "EmbeddedFileDialog.h"

#include <QCoreApplication>
#include <QPointer>

namespace mailvane::widgets {
namespace {

QPointer<EmbeddedFileDialog>& kept()
{
    static QPointer<EmbeddedFileDialog> dialog;
    return dialog;
}

void deleteKept()
{
    delete kept().data();
}

} // namespace

EmbeddedFileDialog* FileDialogPool::take(QWidget* parent)
{
    EmbeddedFileDialog* dialog = kept().data();
    kept() = nullptr;
    if (!dialog) {
        dialog = new EmbeddedFileDialog(parent);
        dialog->setWindowFlags(Qt::Widget);
        return dialog;
    }
    dialog->setParent(parent, Qt::Widget);
    return dialog;
}

void FileDialogPool::give(EmbeddedFileDialog* dialog)
{
    if (!dialog)
        return;
    if (kept()) {
        delete dialog;
        return;
    }
    dialog->hide();
    dialog->setParent(nullptr, Qt::Widget);
    if (!kept()) {
        static const bool registered = [] {
            qAddPostRoutine(deleteKept);
            return true;
        }();
        Q_UNUSED(registered);
    }
    kept() = dialog;
}

} // namespace mailvane::widgets
