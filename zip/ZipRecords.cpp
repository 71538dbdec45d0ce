// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/ZipRecords.h"

namespace qurvex {

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void AppendLe16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>(v >> 8));
}

void AppendLe32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

void ParseLocalFixed(const uint8_t* p, TLocalFile& r) {
    r.LocalFileHeaderSignature = ReadLe32(p);
    r.VersionNeededToExtract = ReadLe16(p + 4);
    r.GeneralPurposeBitFlag = ReadLe16(p + 6);
    r.CompressionMethod = ReadLe16(p + 8);
    r.LastModFileTime = ReadLe16(p + 10);
    r.LastModFileDate = ReadLe16(p + 12);
    r.Crc32 = ReadLe32(p + 14);
    r.CompressedSize = ReadLe32(p + 18);
    r.UncompressedSize = ReadLe32(p + 22);
    r.FilenameLength = ReadLe16(p + 26);
    r.ExtraFieldLength = ReadLe16(p + 28);
}

void ParseCentralFixed(const uint8_t* p, TCentralDirectoryFile& r) {
    r.CentralFileHeaderSignature = ReadLe32(p);
    r.VersionMadeBy = ReadLe16(p + 4);
    r.VersionNeededToExtract = ReadLe16(p + 6);
    r.GeneralPurposeBitFlag = ReadLe16(p + 8);
    r.CompressionMethod = ReadLe16(p + 10);
    r.LastModFileTime = ReadLe16(p + 12);
    r.LastModFileDate = ReadLe16(p + 14);
    r.Crc32 = ReadLe32(p + 16);
    r.CompressedSize = ReadLe32(p + 20);
    r.UncompressedSize = ReadLe32(p + 24);
    r.FilenameLength = ReadLe16(p + 28);
    r.ExtraFieldLength = ReadLe16(p + 30);
    r.FileCommentLength = ReadLe16(p + 32);
    r.DiskNumberStart = ReadLe16(p + 34);
    r.InternalFileAttributes = ReadLe16(p + 36);
    r.ExternalFileAttributes = ReadLe32(p + 38);
    r.RelativeOffsetOfLocalHeader = ReadLe32(p + 42);
}

void ParseEndFixed(const uint8_t* p, TEndOfCentralDir& r) {
    r.EndOfCentralDirSignature = ReadLe32(p);
    r.NumberOfThisDisk = ReadLe16(p + 4);
    r.NumberOfTheDiskWithTheStart = ReadLe16(p + 6);
    r.TotalNumberOfEntriesOnThisDisk = ReadLe16(p + 8);
    r.TotalNumberOfEntries = ReadLe16(p + 10);
    r.SizeOfTheCentralDirectory = ReadLe32(p + 12);
    r.OffsetOfStartOfCentralDirectory = ReadLe32(p + 16);
    r.ZipfileCommentLength = ReadLe16(p + 20);
}

std::string SerializeLocal(const TLocalFile& r) {
    std::string out;
    out.reserve(kLocalFileSize + r.FileName.size() + r.ExtraField.size());
    AppendLe32(out, r.LocalFileHeaderSignature);
    AppendLe16(out, r.VersionNeededToExtract);
    AppendLe16(out, r.GeneralPurposeBitFlag);
    AppendLe16(out, r.CompressionMethod);
    AppendLe16(out, r.LastModFileTime);
    AppendLe16(out, r.LastModFileDate);
    AppendLe32(out, r.Crc32);
    AppendLe32(out, r.CompressedSize);
    AppendLe32(out, r.UncompressedSize);
    AppendLe16(out, r.FilenameLength);
    AppendLe16(out, r.ExtraFieldLength);
    out += r.FileName;
    out += r.ExtraField;
    return out;
}

std::string SerializeCentral(const TCentralDirectoryFile& r) {
    std::string out;
    out.reserve(kCentralFileSize + r.FileName.size() + r.ExtraField.size() + r.FileComment.size());
    AppendLe32(out, r.CentralFileHeaderSignature);
    AppendLe16(out, r.VersionMadeBy);
    AppendLe16(out, r.VersionNeededToExtract);
    AppendLe16(out, r.GeneralPurposeBitFlag);
    AppendLe16(out, r.CompressionMethod);
    AppendLe16(out, r.LastModFileTime);
    AppendLe16(out, r.LastModFileDate);
    AppendLe32(out, r.Crc32);
    AppendLe32(out, r.CompressedSize);
    AppendLe32(out, r.UncompressedSize);
    AppendLe16(out, r.FilenameLength);
    AppendLe16(out, r.ExtraFieldLength);
    AppendLe16(out, r.FileCommentLength);
    AppendLe16(out, r.DiskNumberStart);
    AppendLe16(out, r.InternalFileAttributes);
    AppendLe32(out, r.ExternalFileAttributes);
    AppendLe32(out, r.RelativeOffsetOfLocalHeader);
    out += r.FileName;
    out += r.ExtraField;
    out += r.FileComment;
    return out;
}

std::string SerializeEnd(const TEndOfCentralDir& r) {
    std::string out;
    out.reserve(kEndOfCentralDirSize);
    AppendLe32(out, r.EndOfCentralDirSignature);
    AppendLe16(out, r.NumberOfThisDisk);
    AppendLe16(out, r.NumberOfTheDiskWithTheStart);
    AppendLe16(out, r.TotalNumberOfEntriesOnThisDisk);
    AppendLe16(out, r.TotalNumberOfEntries);
    AppendLe32(out, r.SizeOfTheCentralDirectory);
    AppendLe32(out, r.OffsetOfStartOfCentralDirectory);
    AppendLe16(out, r.ZipfileCommentLength);
    return out;
}

}  // namespace qurvex
