#include "FileDialogHook.h"

namespace mailvane::widgets {
namespace {

FileDialogHook*& installed()
{
    static FileDialogHook* hook = nullptr;
    return hook;
}

} // namespace

FileDialogHook::FileDialogHook() : m_previous(installed())
{
    installed() = this;
}

FileDialogHook::~FileDialogHook()
{
    installed() = m_previous;
}

FileDialogHook* FileDialogHook::current()
{
    return installed();
}

void FileDialogHook::choose(const QString& path)
{
    m_answers.append(path);
}

void FileDialogHook::cancel()
{
    m_answers.append(std::nullopt);
}

std::optional<QString> FileDialogHook::take(const FileDialogCall& call)
{
    m_calls.append(call);
    return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
}

} // namespace mailvane::widgets
