#pragma once

// The marked string that carries a program file's four-part version, embedded
// in a section of its own and read back by ProgramVersion. Plain C++, so that
// a program that links no Qt can carry it.
//
// A program embeds its record once, at namespace scope in one source file:
//     MAILVANE_EMBED_FILE_VERSION("1.0.0.1");

#define MAILVANE_VERSION_MARKER "MAILVANE-FILE-VERSION="

#define MAILVANE_EMBED_FILE_VERSION(version)                                                       \
    extern "C" __attribute__((used, section(".mailvane_version")))                                 \
    const char mailvaneFileVersionRecord[] = MAILVANE_VERSION_MARKER version
