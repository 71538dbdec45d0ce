// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "zip/ZipTypes.h"

namespace qurvex {

// One archive member: its central and local headers and what follows from them.
// Sizes and CRC-32 always come from the central header, which is also right for
// entries whose local header defers them to a data descriptor.
class TKAZipEntriesEntry {
public:
    TCentralDirectoryFile Central;
    TLocalFile Local;
    bool Encrypted = false;  // general-purpose flag bit 0 (or bit 6, strong encryption)
    bool Folder = false;     // a name ending in "/", else the attributes as the host wrote them
    ZipDateTime Date;
    TZipCompressionType CompressionType = TZipCompressionType::ctUnknown;
    // The entry occupies [local header offset, ExtentEnd) in the archive: up to the
    // next local header or the central directory, whatever lies in between (a data
    // descriptor, padding) belonging to it. A rewrite copies this range unchanged.
    uint64_t ExtentEnd = 0;

    const std::string& FileName() const { return Central.FileName; }
    uint64_t SizeUncompressed() const { return Central.UncompressedSize; }
    uint64_t SizeCompressed() const { return Central.CompressedSize; }
    uint32_t CRC32() const { return Central.Crc32; }
    uint64_t LocalOffset() const { return Central.RelativeOffsetOfLocalHeader; }
    // First byte of the entry's data: behind the local header, its name and extra field.
    uint64_t DataOffset() const {
        return LocalOffset() + kLocalFileSize + Local.FilenameLength + Local.ExtraFieldLength;
    }
    // 46 + name + extra + comment, central lengths.
    uint64_t CentralEntrySize() const;
};

}  // namespace qurvex
