// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace qurvex {

// How adds and removals rebuild the archive. Both roads build the new archive
// beside the old one and swap it in only once it is complete.
enum class TZipSaveMethod { FastSave, RebuildAll };

// Compression level of an add, and the level hint read from an entry's flags.
enum class TZipCompressionType { ctNormal, ctMaximum, ctFast, ctSuperFast, ctNone, ctUnknown };

// What extraction does when the destination file exists.
enum class TOverwriteAction { oaSkip, oaSkipAll, oaOverwrite, oaOverwriteAll };

// Signatures of the ZIP records (little-endian "PK" followed by two bytes).
inline constexpr uint32_t kLocalFileSignature = 0x04034b50;
inline constexpr uint32_t kCentralFileSignature = 0x02014b50;
inline constexpr uint32_t kEndOfCentralDirSignature = 0x06054b50;
inline constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr uint32_t kDataDescriptorSignature = 0x08074b50;

inline constexpr std::size_t kLocalFileSize = 30;
inline constexpr std::size_t kCentralFileSize = 46;
inline constexpr std::size_t kEndOfCentralDirSize = 22;

// Compression methods this component reads and writes.
inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodDeflated = 8;

// General-purpose flag bits.
inline constexpr uint16_t kFlagEncrypted = 0x0001;
inline constexpr uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr uint16_t kFlagStrongEncryption = 0x0040;
inline constexpr uint16_t kFlagUtf8 = 0x0800;  // name and comment are UTF-8

// "Version made by": host in the high byte, format version 2.0 in the low byte.
inline constexpr uint16_t kMadeByDos = 20;
inline constexpr uint16_t kMadeByNtfs = 11 << 8 | 20;

// External attribute bits in the DOS low byte.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

// Local file header: 30 fixed bytes, then name, extra field and data.
struct TLocalFile {
    uint32_t LocalFileHeaderSignature = 0;
    uint16_t VersionNeededToExtract = 0;
    uint16_t GeneralPurposeBitFlag = 0;
    uint16_t CompressionMethod = 0;
    uint16_t LastModFileTime = 0;
    uint16_t LastModFileDate = 0;
    uint32_t Crc32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t FilenameLength = 0;
    uint16_t ExtraFieldLength = 0;
    std::string FileName;
    std::string ExtraField;
};

// Central directory file header: 46 fixed bytes, then name, extra field, comment.
struct TCentralDirectoryFile {
    uint32_t CentralFileHeaderSignature = 0;
    uint16_t VersionMadeBy = 0;
    uint16_t VersionNeededToExtract = 0;
    uint16_t GeneralPurposeBitFlag = 0;
    uint16_t CompressionMethod = 0;
    uint16_t LastModFileTime = 0;
    uint16_t LastModFileDate = 0;
    uint32_t Crc32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t FilenameLength = 0;
    uint16_t ExtraFieldLength = 0;
    uint16_t FileCommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalFileAttributes = 0;
    uint32_t ExternalFileAttributes = 0;
    uint32_t RelativeOffsetOfLocalHeader = 0;
    std::string FileName;
    std::string ExtraField;
    std::string FileComment;
};

// End of central directory record: 22 fixed bytes, then the archive comment.
struct TEndOfCentralDir {
    uint32_t EndOfCentralDirSignature = 0;
    uint16_t NumberOfThisDisk = 0;
    uint16_t NumberOfTheDiskWithTheStart = 0;
    uint16_t TotalNumberOfEntriesOnThisDisk = 0;
    uint16_t TotalNumberOfEntries = 0;
    uint32_t SizeOfTheCentralDirectory = 0;
    uint32_t OffsetOfStartOfCentralDirectory = 0;
    uint16_t ZipfileCommentLength = 0;
};

// A calendar date and wall-clock time with two-second DOS resolution.
struct ZipDateTime {
    int Year = 1980;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    bool operator==(const ZipDateTime&) const = default;
};

}  // namespace qurvex
