#include "DiagnosticTrace.h"

namespace mailvane::platform {

// Only messages of warning level and above pass by default; the trace uses
// debug level, so it stays silent until a logging rule enables it.
Q_LOGGING_CATEGORY(diagnosticTraceCategory, "mailvane.trace", QtWarningMsg)

void diagnosticTrace(const char* text)
{
    qCDebug(diagnosticTraceCategory).noquote().nospace() << text;
}

} // namespace mailvane::platform
