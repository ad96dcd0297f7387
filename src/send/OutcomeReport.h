#pragma once

// The one message that tells the operator how sending to a list of numbers
// went, made from the facts the sending loop returns: its caption and text
// from the string table, its lines broken for the message box, and the same
// facts on one line for a terminal.

#include "SendingLoop.h"
#include "StringTable.h"

#include <cstddef>
#include <string>

namespace mailvane::send {

// Its text is UTF-8 with '\n' between lines.
struct OutcomeReport
{
    settings::StringId caption = 0;
    std::string text;
    bool warning = true;
};

// Success; no number to send to; "Phone isn't connected." (or, for a
// gateway, that it cannot be reached) when nothing could be reached before
// anything was sent; otherwise the sending error sentence followed by the
// number that failed with the cause, how many numbers went before it and
// which were not tried (the first `listed` of them named, the rest counted).
OutcomeReport reportOutcome(const phone::SendingOutcome& outcome, std::size_t listed = 10);

// The same facts on one line for a terminal, with every number not tried and
// the status code; empty for a success.
std::string outcomeLine(const phone::SendingOutcome& outcome);

} // namespace mailvane::send
