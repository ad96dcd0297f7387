#include "FileDialogWindow.h"

#include "EmbeddedFileDialog.h"
#include "FileDialogExtension.h"
#include "FileDialogPathCheck.h"
#include "FileDialogPool.h"
#include "SkinMessageBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QTreeView>

namespace mailvane::widgets {
namespace {

// The columns of the detail view, as the file system model orders them.
enum Column
{
    NameColumn,
    SizeColumn,
    TypeColumn,
    DateColumn,
};

QString nameFilterOf(const FileFilter& filter)
{
    QString patterns = filter.pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return filter.description + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

QRect rectIn(const QWidget* widget, const QWidget* ancestor)
{
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

} // namespace

FileDialogWindow::FileDialogWindow(SkinFileDialog::Mode mode, FileDialogRequest& request,
                                   const FileDialogFrame* frame, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_request(request), m_skinned(frame && frame->isValid()),
      m_files(FileDialogPool::take(this)), m_folderTimer(new QTimer(this))
{
    setObjectName(QString::fromLatin1(SkinFileDialog::WindowObjectName));
    if (m_skinned)
        m_frame = *frame;

    // A reused dialog starts over: everything a request sets is set here,
    // and nothing chosen last time stays chosen.
    m_files->clearChoice();
    m_files->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    m_files->showSidebarFocus();
    m_files->setViewMode(QFileDialog::Detail);
    m_files->setAcceptCheck([this](const QString& path) { return acceptsPath(path); });
    m_files->setAcceptMode(mode == SkinFileDialog::Mode::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    const bool mustExist =
        mode == SkinFileDialog::Mode::Open && (request.flags & FileDialogRequest::OfnFileMustExist);
    m_files->setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);

    QStringList nameFilters;
    for (const FileFilter& filter : request.filters)
        nameFilters.append(nameFilterOf(filter));
    m_files->setNameFilters(nameFilters);
    if (!nameFilters.isEmpty()) {
        const int index = request.filterIndex >= 1 && request.filterIndex <= nameFilters.size()
                              ? request.filterIndex - 1
                              : 0;
        m_files->selectNameFilter(nameFilters.at(index));
    }
    m_files->setSizeGripEnabled(false); // the frame is the window
    m_files->setDefaultSuffix(request.defaultExtension);
    if (!request.initialDirectory.isEmpty())
        m_files->setDirectory(request.initialDirectory);
    if (!request.fileName.isEmpty())
        m_files->selectFile(request.fileName);
    if (!request.title.isEmpty())
        setWindowTitle(request.title);
    else
        setWindowTitle(mode == SkinFileDialog::Mode::Save ? QStringLiteral("Save As")
                                                          : QStringLiteral("Open"));

    connect(m_files, &QFileDialog::accepted, this,
            [this] { done(finish(SkinFileDialog::Chosen)); });
    connect(m_files, &QFileDialog::rejected, this,
            [this] { done(finish(SkinFileDialog::Cancelled)); });
    connect(m_files, &QFileDialog::filterSelected, this, &FileDialogWindow::onFilterSelected);
    connect(m_files, &QFileDialog::directoryEntered, this, &FileDialogWindow::onFolderChanged);
    m_folderTimer->setSingleShot(true);
    connect(m_folderTimer, &QTimer::timeout, this, &FileDialogWindow::onFolderTimer);

    // The frame shows through the dialog's own background.
    m_files->setAutoFillBackground(false);
    if (auto* label = m_files->findChild<QLabel*>(QStringLiteral("lookInLabel"))) {
        // In the frame, the frame draws the label over the band; its place stays.
        QSizePolicy policy = label->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        label->setSizePolicy(policy);
        label->setVisible(!m_skinned);
    }
    m_files->show();
    setUpColumns();
    setMinimumSize(m_files->minimumSizeHint() + frameSize());
    resize(FileAreaSize + frameSize());
    placeControls();
}

QFileDialog* FileDialogWindow::fileDialog() const
{
    return m_files;
}

QSize FileDialogWindow::frameSize() const
{
    if (!m_skinned)
        return {0, 0};
    return {m_frame.piece(FileDialogFrame::Left).width() + FileDialogFrame::ControlsLeftGap,
            m_frame.piece(FileDialogFrame::Top).height() + FileDialogFrame::ControlsTopGap -
                FileDialogFrame::RaiseBy};
}

void FileDialogWindow::setUpColumns()
{
    auto* tree = m_files->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree)
        return;
    // Size, type and date take what their texts need, as entries arrive; the
    // name has the rest, and the list scrolls sideways rather than cut a
    // column short.
    QHeaderView* header = tree->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column : {SizeColumn, TypeColumn, DateColumn})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setMinimumSectionSize(header->fontMetrics().averageCharWidth() * 12);
}

bool FileDialogWindow::acceptsPath(const QString& path)
{
    const std::optional<QString> problem =
        FileDialogPathCheck::problem(path, m_request.flags & FileDialogRequest::OfnPathMustExist);
    if (!problem)
        return true;
    SkinMessageBox::show(this, *problem, windowTitle(),
                         SkinMessageBox::MbOk | SkinMessageBox::MbIconExclamation);
    return false;
}

FileDialogWindow::~FileDialogWindow()
{
    disconnect(m_files, nullptr, this, nullptr);
    FileDialogPool::give(m_files);
}

int FileDialogWindow::run()
{
    const int code = exec();
    // The embedded dialog outlives this window (it is kept for the next
    // request): its list of name completions must not stay open over the
    // owner, holding the keyboard, and the owner takes the keyboard back.
    for (const QLineEdit* edit : m_files->findChildren<QLineEdit*>()) {
        if (edit->completer() && edit->completer()->popup())
            edit->completer()->popup()->hide();
    }
    if (QWidget* owner = parentWidget()) {
        owner->window()->activateWindow();
        owner->window()->raise();
    }
    // Closing the window is a cancel.
    return code == QDialog::Rejected ? SkinFileDialog::Cancelled : code;
}

int FileDialogWindow::finish(int code)
{
    if (code != SkinFileDialog::Chosen)
        return code;
    const QString chosen = m_files->selectedFiles().value(0);
    if (chosen.isEmpty())
        return SkinFileDialog::Failed;
    m_request.fileName = chosen;
    const int index = m_files->nameFilters().indexOf(m_files->selectedNameFilter());
    if (index >= 0)
        m_request.filterIndex = index + 1;
    return code;
}

void FileDialogWindow::placeControls()
{
    if (!m_skinned) {
        m_files->setGeometry(rect());
        return;
    }
    // The standard controls start inside the bars; their top row sits raised
    // onto the decoration band.
    const int x = m_frame.piece(FileDialogFrame::Left).width() + FileDialogFrame::ControlsLeftGap;
    const int y = m_frame.piece(FileDialogFrame::Top).height() + FileDialogFrame::ControlsTopGap -
                  FileDialogFrame::RaiseBy;
    m_files->setGeometry(QRect(QPoint(x, y), QPoint(width() - 1, height() - 1)));
}

void FileDialogWindow::computeLayout()
{
    if (!m_skinned)
        return;
    const auto* combo = m_files->findChild<QComboBox*>(QStringLiteral("lookInCombo"));
    const QWidget* list = m_files->findChild<QWidget*>(QStringLiteral("stackedWidget"));
    if (!list)
        list = m_files->findChild<QWidget*>(QStringLiteral("listView"));
    if (!combo || !list)
        return;
    m_layout = m_frame.layoutFor(rectIn(combo, this), rectIn(list, this));
    if (auto* label = m_files->findChild<QLabel*>(QStringLiteral("lookInLabel")))
        m_frame.setFolderLabel(label->text(), rectIn(label, this), label->font());
}

void FileDialogWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    computeLayout();
}

void FileDialogWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeControls();
    computeLayout();
}

void FileDialogWindow::paintEvent(QPaintEvent*)
{
    if (!m_skinned)
        return;
    // The embedded dialog's layout may have moved its controls since.
    computeLayout();
    QPainter painter(this);
    m_frame.paint(painter, size(), m_layout, palette().color(QPalette::Button));
}

void FileDialogWindow::onFilterSelected(const QString& filter)
{
    if (m_mode != SkinFileDialog::Mode::Save)
        return;
    const int index = m_files->nameFilters().indexOf(filter);
    if (index < 0 || index >= m_request.filters.size())
        return;
    auto* edit = m_files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit)
        return;
    const ExtensionAdjustment adjusted =
        FileDialogExtension::adjust(edit->text(), m_request.filters.at(index).pattern,
                                    m_request.fileName, m_request.defaultExtension);
    m_request.defaultExtension = adjusted.defaultExtension;
    m_files->setDefaultSuffix(adjusted.defaultExtension);
    if (adjusted.name)
        edit->setText(*adjusted.name);
}

void FileDialogWindow::onFolderChanged()
{
    m_folderTimer->start(FolderChangeDelayMs);
}

void FileDialogWindow::onFolderTimer()
{
    m_folderTimer->stop();
    if (!m_skinned)
        return;
    computeLayout();
    const QImage& decoration = m_frame.piece(FileDialogFrame::DecorationMiddle);
    const QRect row(0, m_layout.decorationY, width(), decoration.height());
    update(row);
    if (const QWidget* list = m_files->findChild<QWidget*>(QStringLiteral("stackedWidget")))
        update(rectIn(list, this));
    if (const QWidget* combo = m_files->findChild<QWidget*>(QStringLiteral("lookInCombo")))
        update(rectIn(combo, this));
}

} // namespace mailvane::widgets
