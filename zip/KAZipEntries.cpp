// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/KAZipEntries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <istream>
#include <numeric>
#include <ostream>

#include "zip/KAZip.h"
#include "zip/ZipCodec.h"
#include "zip/ZipCrc32.h"
#include "zip/ZipDosTime.h"
#include "zip/ZipError.h"
#include "zip/ZipNames.h"
#include "zip/ZipRecords.h"
#include "zip/ZipSink.h"

namespace qurvex {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxCommentLength = 0xffff;
constexpr uint64_t kMax32 = 0xffffffffull;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

[[noreturn]] void DamagedArchive(const std::string& what) {
    throw EZipError("archive is damaged: " + what + "; nothing was changed");
}

[[noreturn]] void Unsupported(const std::string& what) {
    throw EZipError("archive cannot be handled: " + what + " (not supported); nothing was changed");
}

// A name ending in "/" is a folder. Otherwise the attributes decide as the host
// that made the entry wrote them: the directory bit of the DOS attribute byte on
// hosts with DOS attributes, the file type of the Unix mode in the high word on
// the others (whose low byte may hold anything).
bool IsFolderEntry(const TCentralDirectoryFile& c) {
    if (!c.FileName.empty() && c.FileName.back() == '/') return true;
    switch (c.VersionMadeBy >> 8) {
        case 0:   // MS-DOS and FAT file systems
        case 6:   // OS/2 HPFS
        case 11:  // NTFS
        case 14:  // VFAT
            return (c.ExternalFileAttributes & kAttrDirectory) != 0;
        default:
            return (c.ExternalFileAttributes >> 16 & S_IFMT) == S_IFDIR;
    }
}

TZipCompressionType CompressionTypeOf(uint16_t method, uint16_t flags) {
    if (method != 8 && method != 9) return TZipCompressionType::ctUnknown;
    switch (flags & 6) {
        case 0:
            return TZipCompressionType::ctNormal;
        case 2:
            return TZipCompressionType::ctMaximum;
        case 4:
            return TZipCompressionType::ctFast;
        default:
            return TZipCompressionType::ctSuperFast;
    }
}

std::string ReadString(const ZipSource& src, uint64_t offset, std::size_t n, const char* what) {
    std::string s(n, '\0');
    src.ReadAt(offset, s.data(), n, what);
    return s;
}

// Reads from a file descriptor, for items added from disk.
class FileReader {
public:
    explicit FileReader(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            throw EZipError("cannot read " + Quoted(path) + ": " + std::strerror(errno) +
                            "; the archive was not changed");
        }
    }
    ~FileReader() { ::close(fd_); }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    std::size_t Read(uint8_t* dst, std::size_t n) {
        std::size_t total = 0;
        while (total < n) {
            const ssize_t got = ::read(fd_, dst + total, n - total);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                throw EZipError("cannot read " + Quoted(path_) + ": " + std::strerror(errno) +
                                "; the archive was not changed");
            }
            if (got == 0) break;
            total += static_cast<std::size_t>(got);
        }
        return total;
    }

private:
    std::string path_;
    int fd_ = -1;
};

// Modification time of a file or folder as local wall-clock time; now when unknown.
ZipDateTime FileDate(const fs::path& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    if (ec) return NowDateTime();
    return LocalDateTime(
        std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(time)));
}

}  // namespace

// ---------------------------------------------------------------- access

const TKAZipEntriesEntry& TKAZipEntries::GetEntry(int index) const {
    if (index < 0 || index >= Count()) {
        throw EZipError("list index out of bounds (" + std::to_string(index) + ")");
    }
    return items_[static_cast<std::size_t>(index)];
}

int TKAZipEntries::IndexOfEntry(const std::string& name) const {
    const std::string wanted = ToZipName(name);
    int folded = -1;
    for (int i = 0; i < Count(); ++i) {
        const std::string stored = ToZipName(items_[static_cast<std::size_t>(i)].FileName());
        if (stored == wanted) return i;
        if (folded < 0 && SameZipName(stored, wanted)) folded = i;
    }
    return folded;
}

uint32_t TKAZipEntries::ComputeCRC32(std::span<const uint8_t> data) {
    return qurvex::ComputeCRC32(data.data(), data.size());
}

std::string TKAZipEntries::RelativeName(const std::string& path, const std::string& base) {
    if (base.empty() || path.size() < base.size()) return path;
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(path[i])) !=
            std::tolower(static_cast<unsigned char>(base[i]))) {
            return path;
        }
    }
    const bool baseEndsInSeparator = base.back() == '/' || base.back() == '\\';
    std::string rest = path.substr(base.size());
    if (baseEndsInSeparator) return rest;
    if (rest.empty()) return rest;
    if (rest[0] != '/' && rest[0] != '\\') return path;  // "/data/xy" is not below "/data/x"
    return rest.substr(1);
}

// ---------------------------------------------------------------- parsing

void TKAZipEntries::FillDerived(TKAZipEntriesEntry& e) const {
    const TCentralDirectoryFile& c = e.Central;
    e.Date = DosToDateTime(static_cast<uint32_t>(c.LastModFileDate) << 16 | c.LastModFileTime);
    e.Encrypted = (c.GeneralPurposeBitFlag & (kFlagEncrypted | kFlagStrongEncryption)) != 0;
    e.Folder = IsFolderEntry(c);
    e.CompressionType = CompressionTypeOf(c.CompressionMethod, c.GeneralPurposeBitFlag);
}

bool TKAZipEntries::ParseArchive(const ZipSource& src) {
    items_.clear();
    comment_.clear();
    end_ = TEndOfCentralDir{};
    damaged_ = false;
    uint64_t endPos = 0;
    try {
        if (FindEndOfCentralDir(src, endPos)) {
            ReadCentralDirectory(src);
            ReadLocalHeaders(src);
            return true;
        }
    } catch (const EZipError&) {
        items_.clear();
        throw;
    }
    if (ScanLocalHeaders(src)) {
        damaged_ = true;
        return !items_.empty();
    }
    return false;
}

bool TKAZipEntries::FindEndOfCentralDir(const ZipSource& src, uint64_t& endPos) {
    const uint64_t size = src.Size();
    if (size < kEndOfCentralDirSize) return false;
    // The record is followed only by its comment, so it starts within the last
    // 22 + 65535 bytes; read that tail once and search it from the end.
    const uint64_t tailLen = std::min<uint64_t>(size, kEndOfCentralDirSize + kMaxCommentLength);
    const uint64_t tailStart = size - tailLen;
    std::vector<uint8_t> tail(static_cast<std::size_t>(tailLen));
    src.ReadAt(tailStart, tail.data(), tail.size(), "end of central directory");
    std::string firstProblem;
    for (std::size_t p = tail.size() - kEndOfCentralDirSize + 1; p-- > 0;) {
        if (ReadLe32(&tail[p]) != kEndOfCentralDirSignature) continue;
        TEndOfCentralDir end;
        ParseEndFixed(&tail[p], end);
        // A genuine end record's comment reaches exactly to the end of the file;
        // "PK\5\6" inside a comment or in entry data does not pass this test.
        if (p + kEndOfCentralDirSize + end.ZipfileCommentLength != tail.size()) continue;
        const uint64_t pos = tailStart + p;
        // A ZIP64 end record may stand before this one (Info-ZIP writes it when it
        // streams from a pipe); it is needed only when a field here holds its
        // "see ZIP64" value, and those archives are refused.
        if (end.TotalNumberOfEntries == 0xffff || end.TotalNumberOfEntriesOnThisDisk == 0xffff ||
            end.SizeOfTheCentralDirectory == kMax32 ||
            end.OffsetOfStartOfCentralDirectory == kMax32) {
            Unsupported("ZIP64 end of central directory at offset " + std::to_string(pos));
        }
        if (end.NumberOfThisDisk != 0 || end.NumberOfTheDiskWithTheStart != 0 ||
            end.TotalNumberOfEntriesOnThisDisk != end.TotalNumberOfEntries) {
            Unsupported("archive spread over several disks (end record at offset " +
                        std::to_string(pos) + ")");
        }
        const uint64_t dirEnd =
            uint64_t{end.OffsetOfStartOfCentralDirectory} + end.SizeOfTheCentralDirectory;
        bool valid = dirEnd <= pos;
        if (valid && end.TotalNumberOfEntries > 0) {
            uint8_t sig[4];
            valid = end.SizeOfTheCentralDirectory >= kCentralFileSize;
            if (valid) {
                src.ReadAt(end.OffsetOfStartOfCentralDirectory, sig, 4, "central directory");
                valid = ReadLe32(sig) == kCentralFileSignature;
            }
        }
        if (!valid) {
            if (firstProblem.empty()) {
                firstProblem = "end record at offset " + std::to_string(pos) +
                               " points to a central directory at offset " +
                               std::to_string(end.OffsetOfStartOfCentralDirectory) + " (" +
                               std::to_string(end.SizeOfTheCentralDirectory) + " bytes) that " +
                               (dirEnd > size ? "lies past the end of the file" : "is not there");
            }
            continue;
        }
        end_ = end;
        endPos = pos;
        comment_.assign(reinterpret_cast<const char*>(&tail[p + kEndOfCentralDirSize]),
                        end.ZipfileCommentLength);
        return true;
    }
    // A record that is plainly the end record but points to no directory makes
    // the file no usable archive: the local-header scan is only for files whose
    // end record is missing altogether.
    if (!firstProblem.empty()) DamagedArchive(firstProblem);
    return false;
}

void TKAZipEntries::ReadCentralDirectory(const ZipSource& src) {
    const uint64_t start = end_.OffsetOfStartOfCentralDirectory;
    std::vector<uint8_t> dir(end_.SizeOfTheCentralDirectory);
    src.ReadAt(start, dir.data(), dir.size(), "central directory");
    std::size_t pos = 0;
    items_.reserve(end_.TotalNumberOfEntries);
    for (int i = 0; i < end_.TotalNumberOfEntries; ++i) {
        const std::string where = "central directory header " + std::to_string(i) + " at offset " +
                                  std::to_string(start + pos);
        if (dir.size() - pos < kCentralFileSize)
            DamagedArchive(where + " runs past the directory's end");
        TKAZipEntriesEntry e;
        TCentralDirectoryFile& c = e.Central;
        ParseCentralFixed(&dir[pos], c);
        if (c.CentralFileHeaderSignature != kCentralFileSignature)
            DamagedArchive(where + " has no valid signature");
        const std::size_t varLen =
            std::size_t{c.FilenameLength} + c.ExtraFieldLength + c.FileCommentLength;
        if (dir.size() - pos - kCentralFileSize < varLen)
            DamagedArchive(where + " runs past the directory's end");
        const char* var = reinterpret_cast<const char*>(&dir[pos + kCentralFileSize]);
        c.FileName.assign(var, c.FilenameLength);
        c.ExtraField.assign(var + c.FilenameLength, c.ExtraFieldLength);
        c.FileComment.assign(var + c.FilenameLength + c.ExtraFieldLength, c.FileCommentLength);
        if (c.CompressedSize == kMax32 || c.UncompressedSize == kMax32 ||
            c.RelativeOffsetOfLocalHeader == kMax32) {
            Unsupported("entry " + Quoted(c.FileName) + " has ZIP64 sizes or offset");
        }
        if (c.DiskNumberStart != 0) {
            Unsupported("entry " + Quoted(c.FileName) + " starts on disk " +
                        std::to_string(c.DiskNumberStart));
        }
        FillDerived(e);
        items_.push_back(std::move(e));
        pos += kCentralFileSize + varLen;
        if (owner_.OnZipOpen) owner_.OnZipOpen(owner_, i, end_.TotalNumberOfEntries);
    }
}

void TKAZipEntries::ReadLocalHeader(const ZipSource& src, uint64_t offset, uint64_t limit,
                                    TLocalFile& local) const {
    local = TLocalFile{};
    if (offset > limit || limit - offset < kLocalFileSize) {
        DamagedArchive("local header at offset " + std::to_string(offset) +
                       " lies outside the entry data area");
    }
    uint8_t fixed[kLocalFileSize];
    src.ReadAt(offset, fixed, sizeof fixed, "local header");
    ParseLocalFixed(fixed, local);
    if (local.LocalFileHeaderSignature != kLocalFileSignature) {
        DamagedArchive("no local header signature at offset " + std::to_string(offset));
    }
    const uint64_t varLen = uint64_t{local.FilenameLength} + local.ExtraFieldLength;
    if (limit - offset - kLocalFileSize < varLen) {
        DamagedArchive("local header at offset " + std::to_string(offset) +
                       " runs into the next record");
    }
    local.FileName =
        ReadString(src, offset + kLocalFileSize, local.FilenameLength, "local file name");
    local.ExtraField = ReadString(src, offset + kLocalFileSize + local.FilenameLength,
                                  local.ExtraFieldLength, "local extra field");
}

void TKAZipEntries::ReadLocalHeaders(const ZipSource& src) {
    const uint64_t dirStart = end_.OffsetOfStartOfCentralDirectory;
    // Each entry runs from its local header to the next local header, or to the
    // central directory for the last one.
    std::vector<std::size_t> order(items_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return items_[a].LocalOffset() < items_[b].LocalOffset();
    });
    for (std::size_t k = 0; k < order.size(); ++k) {
        TKAZipEntriesEntry& e = items_[order[k]];
        e.ExtentEnd = (k + 1 < order.size()) ? items_[order[k + 1]].LocalOffset() : dirStart;
        const std::string name = Quoted(e.FileName());
        if (e.ExtentEnd <= e.LocalOffset()) {
            DamagedArchive("entry " + name + " shares its local header at offset " +
                           std::to_string(e.LocalOffset()) +
                           " with another entry, or lies behind the central directory");
        }
        ReadLocalHeader(src, e.LocalOffset(), e.ExtentEnd, e.Local);
        if (e.ExtentEnd - e.DataOffset() < e.SizeCompressed() || e.DataOffset() > e.ExtentEnd) {
            DamagedArchive("data of entry " + name + " (" + std::to_string(e.SizeCompressed()) +
                           " bytes at offset " + std::to_string(e.DataOffset()) +
                           ") run into the next record");
        }
        if (owner_.OnZipOpen)
            owner_.OnZipOpen(owner_, static_cast<int64_t>(k), static_cast<int64_t>(order.size()));
    }
}

bool TKAZipEntries::ScanLocalHeaders(const ZipSource& src) {
    items_.clear();
    uint64_t pos = 0;
    uint32_t dirSize = 0;
    const uint64_t size = src.Size();
    uint8_t sig[4];
    while (src.Contains(pos, sizeof sig)) {
        src.ReadAt(pos, sig, sizeof sig, "local header");
        if (ReadLe32(sig) != kLocalFileSignature) break;
        // From here on a local header stands at pos: an entry that cannot be read
        // whole is an error, never a silent end of the listing.
        const std::string where = "local header at offset " + std::to_string(pos);
        if (!src.Contains(pos, kLocalFileSize) || pos > kMax32)
            DamagedArchive(where + " is cut off by the end of the file");
        uint8_t fixed[kLocalFileSize];
        src.ReadAt(pos, fixed, sizeof fixed, "local header");
        TLocalFile local;
        ParseLocalFixed(fixed, local);
        const uint64_t dataStart =
            pos + kLocalFileSize + local.FilenameLength + local.ExtraFieldLength;
        local.FileName =
            ReadString(src, pos + kLocalFileSize,
                       std::min<uint64_t>(local.FilenameLength, size - pos - kLocalFileSize),
                       "local file name");
        const std::string entry = "entry " + Quoted(local.FileName) + " (" + where + ")";
        // Without a directory, an entry whose sizes follow its data cannot be
        // delimited, and ZIP64 sizes are not read.
        if ((local.GeneralPurposeBitFlag & kFlagDataDescriptor) != 0 ||
            local.CompressedSize == kMax32 || local.UncompressedSize == kMax32) {
            Unsupported(entry +
                        " keeps its sizes behind its data, in an archive without "
                        "central directory");
        }
        if (dataStart > size || size - dataStart < local.CompressedSize) {
            DamagedArchive("data of " + entry + " run past the end of the file");
        }
        local.ExtraField = ReadString(src, pos + kLocalFileSize + local.FilenameLength,
                                      local.ExtraFieldLength, "local extra field");
        TKAZipEntriesEntry e;
        TCentralDirectoryFile& c = e.Central;
        c.CentralFileHeaderSignature = kCentralFileSignature;
        c.VersionMadeBy = 20;
        c.VersionNeededToExtract = local.VersionNeededToExtract;
        c.GeneralPurposeBitFlag = local.GeneralPurposeBitFlag;
        c.CompressionMethod = local.CompressionMethod;
        c.LastModFileTime = local.LastModFileTime;
        c.LastModFileDate = local.LastModFileDate;
        c.Crc32 = local.Crc32;
        c.CompressedSize = local.CompressedSize;
        c.UncompressedSize = local.UncompressedSize;
        c.FilenameLength = local.FilenameLength;
        c.ExtraFieldLength = local.ExtraFieldLength;
        c.ExternalFileAttributes = (!local.FileName.empty() && local.FileName.back() == '/')
                                       ? kAttrDirectory
                                       : kAttrArchive;
        c.RelativeOffsetOfLocalHeader = static_cast<uint32_t>(pos);
        c.FileName = local.FileName;
        c.ExtraField = local.ExtraField;
        e.Local = local;
        e.ExtentEnd = dataStart + local.CompressedSize;
        FillDerived(e);
        dirSize += static_cast<uint32_t>(e.CentralEntrySize());
        items_.push_back(std::move(e));
        pos = dataStart + local.CompressedSize;
    }
    end_ = TEndOfCentralDir{};
    end_.EndOfCentralDirSignature = kEndOfCentralDirSignature;
    end_.TotalNumberOfEntriesOnThisDisk = static_cast<uint16_t>(items_.size());
    end_.TotalNumberOfEntries = static_cast<uint16_t>(items_.size());
    end_.SizeOfTheCentralDirectory = dirSize;
    end_.OffsetOfStartOfCentralDirectory = static_cast<uint32_t>(std::min<uint64_t>(pos, kMax32));
    return !items_.empty();
}

// ---------------------------------------------------------------- extraction

void TKAZipEntries::CheckExtractable(const TKAZipEntriesEntry& entry) const {
    const std::string prefix = "Cannot process this file: " + entry.FileName() + " ";
    if (entry.Encrypted)
        throw EZipError(prefix + "(encrypted entries are not supported); nothing was extracted");
    const uint16_t method = entry.Central.CompressionMethod;
    if (method != kMethodStored && method != kMethodDeflated) {
        throw EZipError(prefix + "(compression method " + std::to_string(method) +
                        " is not supported, only stored and deflated); nothing was extracted");
    }
}

void TKAZipEntries::Extract(const TKAZipEntriesEntry& entry, ExtractSink& sink) {
    CheckExtractable(entry);
    EntryData data;
    data.Name = entry.FileName();
    data.Offset = entry.DataOffset();
    data.CompressedSize = entry.SizeCompressed();
    data.UncompressedSize = entry.SizeUncompressed();
    data.Crc32 = entry.CRC32();
    data.Method = entry.Central.CompressionMethod;
    ZipProgress progress;
    if (owner_.OnDecompressFile) {
        progress = [this](int64_t current, int64_t total) {
            owner_.OnDecompressFile(owner_, current, total);
        };
    }
    ExtractEntryData(owner_.Source(), data, sink, progress);
}

std::vector<uint8_t> TKAZipEntries::ExtractToBuffer(const TKAZipEntriesEntry& entry) {
    std::vector<uint8_t> out;
    const uint64_t bound =
        std::min<uint64_t>(entry.SizeUncompressed(), entry.SizeCompressed() * 1032 + 1024);
    // Room for the declared size up front, but never more than the compressed
    // data could honestly produce, nor more than 256 MiB: beyond that the buffer
    // grows only as data actually arrive.
    BufferExtractSink sink(
        out, static_cast<std::size_t>(std::min<uint64_t>(bound + 1, uint64_t{256} << 20)));
    Extract(entry, sink);
    sink.Finish();
    return out;
}

void TKAZipEntries::ExtractToStream(const TKAZipEntriesEntry& entry, std::ostream& dest) {
    bool wrote = false;
    ChunkExtractSink sink([&](const uint8_t* p, std::size_t n) {
        if (n == 0) return;
        wrote = true;
        dest.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n));
        if (!dest)
            throw EZipError(
                "cannot write entry " + Quoted(entry.FileName()) + " to the destination stream",
                true);
    });
    try {
        Extract(entry, sink);
    } catch (const EZipError& e) {
        if (!wrote) throw;
        throw EZipError(std::string(e.what()) + "; the destination stream holds part of the entry",
                        true);
    }
}

void TKAZipEntries::ExtractEntryToFile(const TKAZipEntriesEntry& entry,
                                       const std::string& destFile) {
    std::error_code ec;
    if (entry.Folder) {
        fs::create_directories(destFile, ec);
        if (ec) throw EZipError("cannot create folder " + Quoted(destFile) + ": " + ec.message());
        return;
    }
    CheckExtractable(entry);
    if (fs::is_directory(destFile, ec)) {
        throw EZipError("cannot extract entry " + Quoted(entry.FileName()) + ": " +
                        Quoted(destFile) + " is a folder; nothing was extracted");
    }
    ZipTempFile temp(destFile);
    ChunkExtractSink sink([&temp](const uint8_t* p, std::size_t n) { temp.Write(p, n); });
    try {
        Extract(entry, sink);
    } catch (const EZipError& e) {
        throw EZipError(std::string(e.what()) + "; " + Quoted(destFile) + " was left as it was");
    }
    temp.Commit();
    // Attributes stored in the archive (read-only, hidden, system) are not applied:
    // a read-only copy would block the next extraction over it.
}

void TKAZipEntries::ExtractByName(const std::string& itemName, const std::string& destFile) {
    TOverwriteAction action = owner_.OverwriteAction;
    std::string dest = destFile;
    if (action != TOverwriteAction::oaOverwriteAll && action != TOverwriteAction::oaSkipAll &&
        owner_.OnOverwriteFile) {
        std::error_code ec;
        if (fs::exists(dest, ec)) {
            owner_.OnOverwriteFile(owner_, dest, action);
        } else {
            action = TOverwriteAction::oaOverwrite;
        }
    }
    if (action != TOverwriteAction::oaOverwrite && action != TOverwriteAction::oaOverwriteAll)
        return;
    const int index = IndexOfEntry(itemName);
    if (index < 0)
        throw EZipError("entry " + Quoted(itemName) +
                        " is not in the archive; nothing was extracted");
    ExtractEntryToFile(GetEntry(index), dest);
}

// ---------------------------------------------------------------- adding and removing

std::vector<TKAZipEntries::NewItem> TKAZipEntries::PlanItem(
    NewItem item, const std::vector<NewItem>& planned) const {
    if (!owner_.StoreRelativePath) {
        std::string s = item.Name;
        std::replace(s.begin(), s.end(), '\\', '/');
        if (!item.Folder)
            item.Name = s.substr(s.rfind('/') == std::string::npos ? 0 : s.rfind('/') + 1);
    }
    item.Name = ToZipName(item.Name);
    if (item.Folder && !item.Name.empty() && item.Name.back() != '/') item.Name += '/';
    if (item.Name.empty() || item.Name == "/")
        throw EZipError("cannot add an item with an empty name; the archive was not changed");
    if (!IsSafeEntryPath(item.Name)) {
        throw EZipError("cannot add " + Quoted(item.Name) +
                        ": a stored name may not hold \"..\"; the archive was not changed");
    }
    if (item.Name.size() > 0xffff)
        throw EZipError("cannot add an item whose name is longer than 65535 bytes");
    std::vector<NewItem> out;
    const auto known = [&](const std::string& name) {
        if (IndexOfEntry(name) >= 0) return true;
        const auto same = [&](const NewItem& p) { return p.Name == name; };
        return std::ranges::any_of(planned, same) || std::ranges::any_of(out, same);
    };
    if (owner_.StoreFolders && owner_.StoreRelativePath) {
        // One folder entry for every level of the item's folder part that is not there yet.
        const std::size_t last =
            item.Name.find_last_of('/', item.Folder ? item.Name.size() - 2 : std::string::npos);
        for (std::size_t slash = item.Name.find('/'); last != std::string::npos && slash <= last;
             slash = item.Name.find('/', slash + 1)) {
            const std::string prefix = item.Name.substr(0, slash + 1);
            if (!known(prefix)) {
                NewItem folder;
                folder.Name = prefix;
                folder.Attributes = kAttrDirectory;
                folder.Date = NowDateTime();
                folder.Folder = true;
                out.push_back(folder);
            }
        }
    }
    out.push_back(std::move(item));
    return out;
}

void TKAZipEntries::AddFolder(const std::string& folder, const std::string& base, bool recursive,
                              std::vector<NewItem>& items) {
    const auto folderItem = [&](const fs::path& path) {
        NewItem f;
        f.Name = RelativeName(path.string(), base) + "/";
        f.Attributes = kAttrDirectory;
        f.Date = FileDate(path);
        f.Folder = true;
        return f;
    };
    if (!RelativeName(folder, base).empty()) {
        for (auto& p : PlanItem(folderItem(folder), items)) items.push_back(std::move(p));
    }
    std::vector<fs::directory_entry> children;
    std::error_code ec;
    for (const auto& child : fs::directory_iterator(folder, ec)) children.push_back(child);
    if (ec)
        throw EZipError("cannot list folder " + Quoted(folder) + ": " + ec.message() +
                        "; the archive was not changed");
    std::sort(children.begin(), children.end());
    for (const auto& child : children) {
        std::error_code kind;
        if (child.is_directory(kind)) {
            if (recursive &&
                !child.is_symlink(kind)) {  // a linked folder could lead back up the tree
                AddFolder(child.path().string(), base, recursive, items);
            } else if (owner_.StoreFolders && owner_.StoreRelativePath) {
                for (auto& p : PlanItem(folderItem(child.path()), items))
                    items.push_back(std::move(p));
            }
        } else if (child.is_regular_file(kind)) {
            NewItem f;
            f.SourcePath = child.path().string();
            f.Name = RelativeName(f.SourcePath, base);
            f.Date = FileDate(child.path());
            for (auto& p : PlanItem(std::move(f), items)) items.push_back(std::move(p));
        }
    }
}

bool TKAZipEntries::AddFilesAndFolders(const std::vector<std::string>& list,
                                       const std::string& baseDir, bool recursive) {
    owner_.RequireWritable();
    std::vector<NewItem> items;
    for (const std::string& path : list) {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (ec || !fs::exists(status)) {
            throw EZipError("cannot add " + Quoted(path) +
                            ": no such file or folder; the archive was not changed");
        }
        if (fs::is_directory(status)) {
            AddFolder(path, baseDir, recursive, items);
        } else {
            NewItem f;
            f.SourcePath = path;
            f.Name = RelativeName(path, baseDir);
            f.Date = FileDate(path);
            for (auto& p : PlanItem(std::move(f), items)) items.push_back(std::move(p));
        }
    }
    owner_.batch_ = true;
    try {
        AddItems(std::move(items));
    } catch (...) {
        owner_.batch_ = false;
        throw;
    }
    owner_.batch_ = false;
    owner_.DoZipChange(2);
    return true;
}

const TKAZipEntriesEntry& TKAZipEntries::AddFile(const std::string& fileName,
                                                 const std::string& itemName) {
    owner_.RequireWritable();
    std::error_code ec;
    if (!fs::is_regular_file(fileName, ec)) {
        throw EZipError("cannot add " + Quoted(fileName) +
                        ": no such file; the archive was not changed");
    }
    NewItem f;
    f.SourcePath = fileName;
    f.Name = itemName;
    f.Date = FileDate(fileName);
    return AddItems(PlanItem(std::move(f), {}));
}

const TKAZipEntriesEntry& TKAZipEntries::AddStream(const std::string& itemName, uint32_t attributes,
                                                   std::istream& source, const ZipDateTime& date) {
    owner_.RequireWritable();
    NewItem f;
    f.Name = itemName;
    f.Attributes = attributes;
    f.Date = date;
    f.Stream = &source;
    return AddItems(PlanItem(std::move(f), {}));
}

const TKAZipEntriesEntry& TKAZipEntries::AddBuffer(const std::string& itemName, uint32_t attributes,
                                                   std::span<const uint8_t> data,
                                                   const ZipDateTime& date) {
    owner_.RequireWritable();
    NewItem f;
    f.Name = itemName;
    f.Attributes = attributes;
    f.Date = date;
    f.Buffer = data;
    return AddItems(PlanItem(std::move(f), {}));
}

const TKAZipEntriesEntry& TKAZipEntries::AddItems(std::vector<NewItem> items) {
    // A later item of the same name wins over an earlier one and over an entry
    // already in the archive.
    // Names differing only in case are different items. An item replaces every
    // entry of exactly its name, or else the entry its name finds ignoring case.
    std::vector<NewItem> unique;
    for (auto& item : items) {
        std::erase_if(unique, [&](const NewItem& u) { return u.Name == item.Name; });
        unique.push_back(std::move(item));
    }
    std::vector<bool> keep(items_.size(), true);
    for (const auto& item : unique) {
        const int index = IndexOfEntry(item.Name);
        if (index < 0) continue;
        keep[static_cast<std::size_t>(index)] = false;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (ToZipName(items_[i].FileName()) == item.Name) keep[i] = false;
        }
    }
    const std::string lastName = unique.empty() ? std::string() : unique.back().Name;
    Rewrite(keep, unique, comment_);
    for (const auto& item : unique) {
        if (owner_.OnAddItem) owner_.OnAddItem(owner_, item.Name);
    }
    if (!owner_.batch_) owner_.DoZipChange(2);
    return GetEntry(IndexOfEntry(lastName));
}

void TKAZipEntries::RemoveEntry(int index) {
    owner_.RequireWritable();
    GetEntry(index);
    std::vector<bool> keep(items_.size(), true);
    keep[static_cast<std::size_t>(index)] = false;
    Rewrite(keep, {}, comment_);
    if (owner_.OnRemoveItems) owner_.OnRemoveItems(owner_, 1, 1);
    if (!owner_.batch_) owner_.DoZipChange(3);
}

// ---------------------------------------------------------------- writing

void TKAZipEntries::WriteNewItem(const NewItem& item, ZipSink& sink,
                                 TCentralDirectoryFile& central) {
    const uint64_t offset = sink.Position();
    if (offset > kMax32) {
        throw EZipError("archive would grow beyond 4 GiB at entry " + Quoted(item.Name) +
                        " (ZIP64 archives are not supported); the archive was not changed");
    }
    std::unique_ptr<FileReader> file;
    if (!item.SourcePath.empty()) file = std::make_unique<FileReader>(item.SourcePath);
    std::size_t bufferPos = 0;
    const ZipReader reader = [&](uint8_t* dst, std::size_t n) -> std::size_t {
        if (file) return file->Read(dst, n);
        if (item.Stream) {
            const std::string failure =
                "cannot read the data of " + Quoted(item.Name) + "; the archive was not changed";
            try {
                item.Stream->read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(n));
            } catch (const std::exception& e) {
                throw EZipError(failure + " (" + e.what() + ")");
            }
            if (item.Stream->bad()) throw EZipError(failure);
            return static_cast<std::size_t>(item.Stream->gcount());
        }
        const std::size_t take = std::min(n, item.Buffer.size() - bufferPos);
        if (take > 0) std::memcpy(dst, item.Buffer.data() + bufferPos, take);
        bufferPos += take;
        return take;
    };
    std::vector<uint8_t> first;
    if (!item.Folder) {
        first.resize(kZipChunk);
        first.resize(reader(first.data(), first.size()));
    }
    const uint32_t dos = DateTimeToDos(item.Date);
    TLocalFile local;
    local.LocalFileHeaderSignature = kLocalFileSignature;
    local.VersionNeededToExtract = 20;
    local.GeneralPurposeBitFlag = IsUtf8Name(item.Name) ? kFlagUtf8 : 0;
    local.CompressionMethod = first.empty() ? kMethodStored : kMethodDeflated;
    local.LastModFileTime = static_cast<uint16_t>(dos & 0xffff);
    local.LastModFileDate = static_cast<uint16_t>(dos >> 16);
    local.FilenameLength = static_cast<uint16_t>(item.Name.size());
    local.FileName = item.Name;
    sink.Write(SerializeLocal(local));
    if (!first.empty()) {
        int64_t total = -1;
        if (!item.SourcePath.empty()) {
            std::error_code ec;
            const auto size = fs::file_size(item.SourcePath, ec);
            if (!ec) total = static_cast<int64_t>(size);
        } else if (!item.Stream) {
            total = static_cast<int64_t>(item.Buffer.size());
        }
        ZipProgress progress;
        if (owner_.OnCompressFile) {
            progress = [this](int64_t current, int64_t all) {
                owner_.OnCompressFile(owner_, current, all);
            };
        }
        const DeflateResult r = DeflateToSink(first, reader, sink,
                                              ZlibLevel(owner_.CompressionType()), total, progress);
        if (r.UncompressedSize > kMax32 || r.CompressedSize > kMax32) {
            throw EZipError("item " + Quoted(item.Name) +
                            " is 4 GiB or larger (ZIP64 archives are not supported); "
                            "the archive was not changed");
        }
        local.Crc32 = r.Crc32;
        local.CompressedSize = static_cast<uint32_t>(r.CompressedSize);
        local.UncompressedSize = static_cast<uint32_t>(r.UncompressedSize);
        std::string sizes;
        AppendLe32(sizes, local.Crc32);
        AppendLe32(sizes, local.CompressedSize);
        AppendLe32(sizes, local.UncompressedSize);
        sink.PatchAt(offset + 14, sizes.data(), sizes.size());
    }
    central = TCentralDirectoryFile{};
    central.CentralFileHeaderSignature = kCentralFileSignature;
    // Readers take names from MS-DOS hosts for the old DOS code page even with
    // the UTF-8 flag; NTFS keeps the DOS attribute byte and reads names as flagged.
    central.VersionMadeBy = (local.GeneralPurposeBitFlag & kFlagUtf8) ? kMadeByNtfs : kMadeByDos;
    central.VersionNeededToExtract = 20;
    central.GeneralPurposeBitFlag = local.GeneralPurposeBitFlag;
    central.CompressionMethod = local.CompressionMethod;
    central.LastModFileTime = local.LastModFileTime;
    central.LastModFileDate = local.LastModFileDate;
    central.Crc32 = local.Crc32;
    central.CompressedSize = local.CompressedSize;
    central.UncompressedSize = local.UncompressedSize;
    central.FilenameLength = local.FilenameLength;
    central.ExternalFileAttributes = item.Attributes;
    central.RelativeOffsetOfLocalHeader = static_cast<uint32_t>(offset);
    central.FileName = item.Name;
}

// The comment is taken by value: reloading the new archive replaces comment_.
void TKAZipEntries::Rewrite(const std::vector<bool>& keep, const std::vector<NewItem>& items,
                            std::string comment) {
    owner_.RequireWritable();
    const ZipSource& src = owner_.Source();
    std::unique_ptr<ZipTempFile> temp;
    ZipMemorySink memory;
    if (!owner_.InMemory()) temp = std::make_unique<ZipTempFile>(owner_.FileName());
    ZipSink& sink = temp ? static_cast<ZipSink&>(*temp) : static_cast<ZipSink&>(memory);

    std::vector<TCentralDirectoryFile> centrals;
    const auto steps = static_cast<int64_t>(items_.size() + items.size());
    std::vector<uint8_t> buffer;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!keep[i]) continue;
        const TKAZipEntriesEntry& e = items_[i];
        const uint64_t newOffset = sink.Position();
        if (newOffset > kMax32) {
            throw EZipError(
                "archive would grow beyond 4 GiB (ZIP64 archives are not supported); the archive "
                "was not changed");
        }
        // Copy the whole extent: local header, data, data descriptor and anything
        // else up to the next record, unchanged.
        for (uint64_t pos = e.LocalOffset(); pos < e.ExtentEnd;) {
            const auto n =
                static_cast<std::size_t>(std::min<uint64_t>(kZipChunk, e.ExtentEnd - pos));
            buffer.resize(n);
            src.ReadAt(pos, buffer.data(), n, "entry");
            sink.Write(buffer.data(), n);
            pos += n;
        }
        TCentralDirectoryFile c = e.Central;
        c.RelativeOffsetOfLocalHeader = static_cast<uint32_t>(newOffset);
        centrals.push_back(std::move(c));
        if (owner_.OnRebuildZip) owner_.OnRebuildZip(owner_, static_cast<int64_t>(i), steps - 1);
    }
    for (const NewItem& item : items) {
        centrals.emplace_back();
        WriteNewItem(item, sink, centrals.back());
    }
    if (centrals.size() > 0xffff) {
        throw EZipError(
            "archive would hold more than 65535 entries (ZIP64 archives are not supported); "
            "the archive was not changed");
    }
    const uint64_t dirOffset = sink.Position();
    for (const auto& c : centrals) sink.Write(SerializeCentral(c));
    const uint64_t dirSize = sink.Position() - dirOffset;
    if (dirOffset > kMax32 || dirSize > kMax32) {
        throw EZipError(
            "archive would grow beyond 4 GiB (ZIP64 archives are not supported); the archive was "
            "not changed");
    }
    TEndOfCentralDir end;
    end.EndOfCentralDirSignature = kEndOfCentralDirSignature;
    end.TotalNumberOfEntriesOnThisDisk = static_cast<uint16_t>(centrals.size());
    end.TotalNumberOfEntries = static_cast<uint16_t>(centrals.size());
    end.SizeOfTheCentralDirectory = static_cast<uint32_t>(dirSize);
    end.OffsetOfStartOfCentralDirectory = static_cast<uint32_t>(dirOffset);
    end.ZipfileCommentLength = static_cast<uint16_t>(comment.size());
    sink.Write(SerializeEnd(end));
    sink.Write(comment);
    if (owner_.OnRebuildZip) owner_.OnRebuildZip(owner_, 100, 100);
    if (temp) {
        temp->Commit();
        owner_.ReloadAfterWrite(nullptr);
    } else {
        owner_.ReloadAfterWrite(&memory.Data());
    }
}

}  // namespace qurvex
