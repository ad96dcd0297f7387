#pragma once

// Qt's own file dialog as the skinned dialog embeds it, with one addition:
// a check that runs when the user confirms a name and can keep the dialog
// open, as the platform's dialog does for a path that cannot be used.

#include <QFileDialog>

class QAbstractItemView;
#include <functional>

namespace mailvane::widgets {

class EmbeddedFileDialog : public QFileDialog
{
    Q_OBJECT

public:
    // Given the path the dialog would return; false keeps the dialog open.
    using AcceptCheck = std::function<bool(const QString& path)>;

    explicit EmbeddedFileDialog(QWidget* parent = nullptr);

    void setAcceptCheck(AcceptCheck check) { m_check = std::move(check); }

    // Starts over for a new request: no selection, no typed name.
    void clearChoice();

    // Makes the keyboard focus plain to see on the places beside the list,
    // once the dialog's own widgets exist; later calls do nothing.
    void showSidebarFocus();

public Q_SLOTS:
    void accept() override;

private:
    AcceptCheck m_check;
    QAbstractItemView* m_sidebar = nullptr;
};

} // namespace mailvane::widgets
