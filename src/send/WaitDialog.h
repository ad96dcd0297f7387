#pragma once

// The notice shown while a call on the phone blocks: two lines saying that
// the phone is being reached and, under them, what is going on (which number
// is being sent) with a bar of the messages sent so far. It is modeless in
// form but application-modal, so nothing else can be started meanwhile; it
// never ends itself.

#include "SkinDialog.h"

class QLabel;
class QProgressBar;

namespace mailvane::send {

class WaitDialog : public widgets::SkinDialog
{
    Q_OBJECT

public:
    static constexpr int TemplateId = 142;

    enum Control : int
    {
        Message = 1081,
        // Beyond the template: the progress line and bar.
        ProgressLine = 1082,
        ProgressBar = 1084,
    };

    // Centred over the outermost window above `parent` (the main window in
    // both uses), whichever dialog the wait happens in.
    WaitDialog(const platform::LibraryHandle& skin, QWidget* parent);

    void setProgressText(const QString& line);
    // `total` 0 makes the bar busy (no known end).
    void setProgress(int done, int total);

    QString progressText() const;
    QProgressBar* progressBar() const { return m_bar; }

protected:
    bool initDialog() override;
    // Centres again at every showing: the main window may have moved.
    void showEvent(QShowEvent* event) override;
    // Escape and closing do nothing: only the caller ends the wait, when the
    // call has returned.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;

private:
    void centreOverMainWindow();

    QLabel* m_message = nullptr;
    QLabel* m_progressLine = nullptr;
    QProgressBar* m_bar = nullptr;
};

} // namespace mailvane::send
