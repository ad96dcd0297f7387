#include "WaitDialog.h"

#include "ControlIds.h"
#include "SkinPictures.h"
#include "UiText.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>

namespace mailvane::send {
namespace {

constexpr QSize ClientSize{400, 170};
constexpr QRect MessageRect{32, 44, 356, 44};
constexpr QRect ProgressLineRect{44, 96, 332, 22};
constexpr QRect ProgressBarRect{44, 124, 332, 18};

QWidget* outermostWindow(QWidget* widget)
{
    QWidget* window = widget ? widget->window() : nullptr;
    while (window && window->parentWidget())
        window = window->parentWidget()->window();
    return window;
}

} // namespace

WaitDialog::WaitDialog(const platform::LibraryHandle& skin, QWidget* parent)
    : SkinDialog(TemplateId, skin, widgets::SecondaryDialogFrame, parent)
{
    // A popup without caption bar that takes no input of its own.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(ClientSize);

    m_message = new QLabel(this);
    m_message->setGeometry(MessageRect);
    m_message->setAlignment(Qt::AlignCenter);
    widgets::setControlId(m_message, Message);

    m_progressLine = new QLabel(this);
    m_progressLine->setGeometry(ProgressLineRect);
    m_progressLine->setAlignment(Qt::AlignCenter);
    widgets::setControlId(m_progressLine, ProgressLine);

    m_bar = new QProgressBar(this);
    m_bar->setGeometry(ProgressBarRect);
    m_bar->setTextVisible(false);
    widgets::setControlId(m_bar, ProgressBar);
    setProgress(0, 0);
}

bool WaitDialog::initDialog()
{
    SkinDialog::initDialog();
    m_message->setText(widgets::uiText(settings::strings::WaitMessage));
    // The window has no caption to be named by; its message names it and,
    // until a send says how far it got, the bar.
    const QString name = m_message->text().simplified();
    setAccessibleName(name);
    m_message->setAccessibleName(name);
    if (m_progressLine->text().isEmpty())
        m_bar->setAccessibleName(name);
    return true;
}

void WaitDialog::showEvent(QShowEvent* event)
{
    SkinDialog::showEvent(event);
    centreOverMainWindow();
}

void WaitDialog::centreOverMainWindow()
{
    const QWidget* main = outermostWindow(parentWidget());
    if (!main || main == this)
        return;
    const QRect over = main->frameGeometry();
    const QRect own = frameGeometry();
    // The integer halves truncate, as the template's placement did.
    const int left = (over.left() + over.right() + 1) / 2 - own.width() / 2;
    const int top = (over.top() + over.bottom() + 1) / 2 - own.height() / 2;
    move(left, top);
}

void WaitDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void WaitDialog::setProgressText(const QString& line)
{
    m_progressLine->setText(line);
    m_bar->setAccessibleName(line.isEmpty() ? m_message->text().simplified() : line);
}

QString WaitDialog::progressText() const
{
    return m_progressLine->text();
}

void WaitDialog::setProgress(int done, int total)
{
    m_bar->setRange(0, total);
    m_bar->setValue(total == 0 ? 0 : done);
}

} // namespace mailvane::send
