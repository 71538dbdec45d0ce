// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/KAZipEntriesEntry.h"

namespace qurvex {

uint64_t TKAZipEntriesEntry::LocalEntrySize() const {
    const uint64_t descriptor = (Central.GeneralPurposeBitFlag & kFlagDataDescriptor) ? 16 : 0;
    return kLocalFileSize + Central.FilenameLength + Central.ExtraFieldLength +
           Central.CompressedSize + descriptor;
}

uint64_t TKAZipEntriesEntry::CentralEntrySize() const {
    return kCentralFileSize + Central.FilenameLength + Central.ExtraFieldLength +
           Central.FileCommentLength;
}

}  // namespace qurvex
