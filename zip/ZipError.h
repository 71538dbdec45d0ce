// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace qurvex {

// Raised for every archive problem that comes from outside the program: a file
// that is missing or damaged, an entry that fails its size or CRC-32 check, a
// feature the component does not handle (encryption, ZIP64, several disks,
// other compression methods), or a write that cannot be done.
// The message names what is wrong (archive, entry, offset) and ends by saying
// whether anything on disk or in the caller's buffer was changed; Changed()
// gives the same answer to code.
class EZipError : public std::runtime_error {
public:
    explicit EZipError(const std::string& message, bool changed = false)
        : std::runtime_error(message), changed_(changed) {}

    // True only when a destination was (partly) written before the failure,
    // which happens solely when extracting into a caller's std::ostream.
    bool Changed() const { return changed_; }

private:
    bool changed_;
};

}  // namespace qurvex
