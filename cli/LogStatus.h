#pragma once

// Where each number of a batch log stands: the last line about a number
// tells (a resumed run appends to the same log, and report lines follow the
// sent line they are about). Works on any log, also one written before
// delivery reports, whose sent numbers simply have no report.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::cli {

enum class NumberState
{
    NoReport, // sent, and nothing heard since
    Accepted, // by the SMSC, no word from the phone yet
    Delivered,
    NotDelivered,
    Failed,
    Skipped,
    Uncertain, // a push started and never ended: it may or may not have gone
};

struct LogStatus
{
    std::vector<std::string> numbers; // in the order the log first names them
    std::map<std::string, NumberState, std::less<>> states;

    std::size_t count(NumberState state) const;
    // The numbers in `state`, in log order.
    std::vector<std::string> numbersIn(NumberState state) const;
};

// Lines that are not complete (a crash may cut the last one) or not of the
// log's form are ignored.
LogStatus readLogStatus(std::string_view text);

struct LogStatusResult
{
    bool read = false;
    LogStatus status;
    std::string error;
};

LogStatusResult readLogStatusFile(const std::string& path);

} // namespace mailvane::cli
