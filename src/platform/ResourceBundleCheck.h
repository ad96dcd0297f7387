#pragma once

// Checks the structure of a binary resource bundle (the `rcc --binary`
// format) before the resource system is given it. That system trusts every
// offset of a registered bundle, so a damaged or hostile skin library would
// make it read out of bounds; only bundles that pass here are registered.

#include <QByteArrayView>
#include <cstdint>

namespace mailvane::platform {

// Largest skin library loaded, in bytes. The default skin is far smaller.
inline constexpr std::int64_t MaxResourceBundleBytes = 64 * 1024 * 1024;
// Largest size one compressed member may claim once uncompressed.
inline constexpr std::int64_t MaxResourceMemberBytes = 16 * 1024 * 1024;
// Most nodes (folders and members) a bundle may hold.
inline constexpr std::int64_t MaxResourceNodes = 65536;

// Whether `bundle` is no larger than MaxResourceBundleBytes, and its header,
// every folder and member node reachable from the root, their names and their
// data lie inside it; folders list only later nodes (no cycles), and every
// compressed member states an uncompressed size up to MaxResourceMemberBytes.
bool isSoundResourceBundle(QByteArrayView bundle);

} // namespace mailvane::platform
