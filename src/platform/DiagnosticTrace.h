#pragma once

// Stand-in for the platform's diagnostic trace: a message channel that no
// user ever sees. Texts go to the Qt logging category "mailvane.trace" at
// debug level, which is off unless switched on, for example with
// QT_LOGGING_RULES="mailvane.trace.debug=true".

#include <QLoggingCategory>

namespace mailvane::platform {

Q_DECLARE_LOGGING_CATEGORY(diagnosticTraceCategory)

// Sends `text` to the trace as it is (a trailing newline is part of the text
// where callers give one).
void diagnosticTrace(const char* text);

} // namespace mailvane::platform
