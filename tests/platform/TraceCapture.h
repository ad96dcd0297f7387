#pragma once

// Switches the diagnostic trace on for the lifetime of the object and keeps
// what it receives.

#include <QLoggingCategory>
#include <QStringList>

namespace mailvane::test {

class TraceCapture
{
public:
    TraceCapture()
    {
        lines().clear();
        QLoggingCategory::setFilterRules(QStringLiteral("mailvane.trace.debug=true"));
        m_previous = qInstallMessageHandler(&TraceCapture::handle);
    }
    ~TraceCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    static QStringList& lines()
    {
        static QStringList received;
        return received;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& text)
    {
        if (qstrcmp(context.category, "mailvane.trace") == 0)
            lines() << text;
    }

    QtMessageHandler m_previous = nullptr;
};

} // namespace mailvane::test
