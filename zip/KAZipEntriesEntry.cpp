// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/KAZipEntriesEntry.h"

namespace qurvex {

uint64_t TKAZipEntriesEntry::CentralEntrySize() const {
    return kCentralFileSize + Central.FilenameLength + Central.ExtraFieldLength +
           Central.FileCommentLength;
}

}  // namespace qurvex
