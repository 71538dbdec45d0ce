// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace qurvex {

// The form a name takes inside an archive: every "\" becomes "/", a drive
// prefix ("c:/") is cut, a leading "//server/share/" is cut, and leading "/"
// are cut so that no stored name is absolute. Empty input gives "".
std::string ToZipName(const std::string& path);

// True when two names denote the same entry: equal after ToZipName, compared
// without regard to ASCII case. Bytes above 127 must match exactly.
bool SameZipName(const std::string& a, const std::string& b);

// True when the name holds bytes above 127 that form valid UTF-8: such a name
// is stored with the UTF-8 flag. Plain ASCII needs no flag, and other bytes are
// stored as they are, without a claim about their encoding.
bool IsUtf8Name(const std::string& name);

// True when an entry name can be used as a path below a destination folder:
// not empty, not absolute ("/x", "\x", "c:..."), no ".." component and no NUL.
bool IsSafeEntryPath(const std::string& name);

// The extension of the last component, with its dot, e.g. ".xml"; "" when none.
std::string ZipNameExtension(const std::string& name);

}  // namespace qurvex
