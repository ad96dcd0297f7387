#pragma once

// Reads the options a manual page (man(7) roff) describes, so that tests can
// hold the page and a program's option tables together.

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace mailvane::test {

struct ManualPage
{
    // Options defined by the tag line of a .TP paragraph, per part of the
    // page: a .SS subsection by its first word ("send"), else the .SH section
    // ("OPTIONS"). Written as typed: "--to-file", "-h".
    std::map<std::string, std::set<std::string>> defined;
    // Every long option the page mentions anywhere, in prose and examples too.
    std::set<std::string> mentioned;
    // The .SS subsections, by first word.
    std::set<std::string> subsections;
    // Per part, the value each defined option's tag names ("PIN" for
    // ".BI --pin \" PIN\""), "" for a switch.
    std::map<std::string, std::map<std::string, std::string>> valueNames;
    // Per subsection, the synopsis between .SS and the first .PP as plain
    // text: "mailvane-cli send FILE [--pin PIN] [--check-rows]".
    std::map<std::string, std::string> synopses;

    // Empty (and `read` false) when the file cannot be read.
    static ManualPage load(const std::filesystem::path& path);
    bool read = false;
};

} // namespace mailvane::test
