#include "FileDialogPool.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPointer>

namespace mailvane::skin {
namespace {

QPointer<QFileDialog>& kept()
{
    static QPointer<QFileDialog> dialog;
    return dialog;
}

void deleteKept()
{
    delete kept().data();
}

} // namespace

QFileDialog* FileDialogPool::take(QWidget* parent)
{
    QFileDialog* dialog = kept().data();
    kept() = nullptr;
    if (!dialog) {
        dialog = new QFileDialog(parent);
        dialog->setWindowFlags(Qt::Widget);
        return dialog;
    }
    dialog->setParent(parent, Qt::Widget);
    return dialog;
}

void FileDialogPool::give(QFileDialog* dialog)
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

} // namespace mailvane::skin
