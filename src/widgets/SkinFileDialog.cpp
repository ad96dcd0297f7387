#include "SkinFileDialog.h"

#include "FileDialogFrame.h"
#include "FileDialogHook.h"
#include "FileDialogWindow.h"

namespace mailvane::widgets {

SkinFileDialog::FrameNames SkinFileDialog::FrameNames::defaults()
{
    return {QStringLiteral("OPENSAVE_TOP_RIGHT"),    QStringLiteral("OPENSAVE_TOP"),
            QStringLiteral("OPENSAVE_TOP_LEFT"),     QStringLiteral("OPENSAVE_LEFT_BOTTOM"),
            QStringLiteral("OPENSAVE_LEFT"),         QStringLiteral("OPENSAVE_DECOR_LEFT"),
            QStringLiteral("OPENSAVE_DECOR_MIDDLE"), QStringLiteral("OPENSAVE_DECOR_RIGHT")};
}

SkinFileDialog::FrameNames SkinFileDialog::FrameNames::settingsCommands()
{
    return {QStringLiteral("IDB_BAR_TOP"),      QStringLiteral("IDB_BAR_TOP"),
            QStringLiteral("IDB_BAR_TOP_LEFT"), QStringLiteral("IDB_BAR_LEFT_BOTTOM"),
            QStringLiteral("IDB_BAR_LEFT"),     QStringLiteral("IDB_DECOR_LEFT"),
            QStringLiteral("IDB_DECOR_MIDDLE"), QStringLiteral("IDB_DECOR_RIGHT")};
}

int SkinFileDialog::open(FileDialogRequest& request, const platform::LibraryHandle& module,
                         const FrameNames& names, QWidget* parent)
{
    return run(Mode::Open, request, module, names, parent);
}

int SkinFileDialog::save(FileDialogRequest& request, const platform::LibraryHandle& module,
                         const FrameNames& names, QWidget* parent)
{
    return run(Mode::Save, request, module, names, parent);
}

int SkinFileDialog::run(Mode mode, FileDialogRequest& request,
                        const platform::LibraryHandle& module, const FrameNames& names,
                        QWidget* parent)
{
    if (FileDialogHook* hook = FileDialogHook::current()) {
        const std::optional<QString> chosen = hook->take({mode, request});
        if (!chosen)
            return Cancelled;
        request.fileName = *chosen;
        return Chosen;
    }

    FileDialogFrame frame;
    frame.load(module, names.given() ? names : FrameNames::defaults());
    // The dialog works on a copy, handed back when it ends.
    FileDialogRequest copy = request;
    FileDialogWindow window(mode, copy, frame.isValid() ? &frame : nullptr, parent);
    const int result = window.run();
    request = copy;
    return result;
}

} // namespace mailvane::widgets
