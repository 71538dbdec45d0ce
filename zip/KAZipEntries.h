// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "zip/KAZipEntriesEntry.h"
#include "zip/ZipSource.h"
#include "zip/ZipTypes.h"

namespace qurvex {

class TKAZip;
class ExtractSink;

// The entries of the open archive, and the parsing, extracting, adding and
// removing that work on them. Owned by a TKAZip; reach it through TKAZip::Entries().
class TKAZipEntries {
public:
    explicit TKAZipEntries(TKAZip& owner) : owner_(owner) {}

    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EZipError ("list index out of bounds") for an index outside 0..Count()-1.
    const TKAZipEntriesEntry& GetEntry(int index) const;
    const TKAZipEntriesEntry& operator[](int index) const { return GetEntry(index); }

    // Index of the entry `name` denotes, both names taken through ToZipName: the
    // first entry of exactly that name, or else the first that differs only in
    // ASCII case ("a\b.xml", "A/B.XML" and "c:\a\b.xml" all find "a/b.xml"
    // unless "A/B.XML" itself is stored); -1 when none.
    int IndexOfEntry(const std::string& name) const;

    // Reads the archive structure from `src`. Returns true for a ZIP archive
    // (possibly with no entries), false when `src` is no ZIP at all (no end
    // record and no local header at offset 0). Raises EZipError for an archive
    // that is damaged (named record and offset) or uses what is not supported
    // (ZIP64, several disks); an end record whose central directory is not
    // there is such damage, not a reason to scan. An archive without end record
    // is listed by scanning its local headers and sets Damaged(); an entry the
    // scan cannot read whole (cut off by the end of the file, or with its sizes
    // behind its data) raises EZipError naming it.
    bool ParseArchive(const ZipSource& src);
    bool Damaged() const { return damaged_; }
    const TEndOfCentralDir& EndRecord() const { return end_; }
    const std::string& ArchiveComment() const { return comment_; }

    // Extraction. Each checks the entry first ("Cannot process this file: ..."
    // for encryption or a method other than stored and deflated), then the
    // sizes and the CRC-32, and raises EZipError on any failure.
    // ExtractEntryToFile writes a temporary file beside DestFile and renames it
    // over DestFile only after every check passed, so DestFile is either the
    // complete entry or exactly what it was before; a folder entry creates the
    // folder DestFile (with missing parents).
    void ExtractEntryToFile(const TKAZipEntriesEntry& entry, const std::string& destFile);
    // Bytes go to `dest` as they are checked; on failure `dest` may hold part of
    // the entry and the error says so (EZipError::Changed()).
    void ExtractToStream(const TKAZipEntriesEntry& entry, std::ostream& dest);
    // The whole entry, returned only when it passed every check.
    std::vector<uint8_t> ExtractToBuffer(const TKAZipEntriesEntry& entry);
    // Extraction by name with the overwrite rule: OverwriteAction, asked through
    // OnOverwriteFile when DestFile exists (unless the action is oaOverwriteAll or
    // oaSkipAll); a missing DestFile counts as oaOverwrite when a handler is set.
    // Only oaOverwrite and oaOverwriteAll extract. A name not in the archive raises EZipError.
    void ExtractByName(const std::string& itemName, const std::string& destFile);

    // Adding. Every add builds the new archive beside the old one and replaces it
    // only when complete; on any failure the archive is unchanged. A same-named
    // entry is replaced whatever OverwriteAction says.
    // AddFilesAndFolders: every listed path must exist (else EZipError, nothing
    // added); files go in under RelativeName(path, baseDir), folders through AddFolder.
    bool AddFilesAndFolders(const std::vector<std::string>& list, const std::string& baseDir,
                            bool recursive);
    // Adds one file under itemName; missing file -> EZipError.
    const TKAZipEntriesEntry& AddFile(const std::string& fileName, const std::string& itemName);
    // Adds the rest of `source` (from its current position) under itemName.
    const TKAZipEntriesEntry& AddStream(const std::string& itemName, uint32_t attributes,
                                        std::istream& source, const ZipDateTime& date);
    // Adds bytes held in memory under itemName.
    const TKAZipEntriesEntry& AddBuffer(const std::string& itemName, uint32_t attributes,
                                        std::span<const uint8_t> data, const ZipDateTime& date);
    // Removes entry `index` (EZipError for an index out of range). Removing the
    // last entry leaves a valid empty archive.
    void RemoveEntry(int index);

    // CRC-32 of the ZIP format over data (0 for no data).
    static uint32_t ComputeCRC32(std::span<const uint8_t> data);

    // Path relative to base: when path begins with base (ignoring ASCII case) at a
    // folder boundary, base and the separator behind it are cut; else path unchanged.
    static std::string RelativeName(const std::string& path, const std::string& base);

private:
    friend class TKAZip;

    // An item waiting to be written by Rewrite.
    struct NewItem {
        std::string Name;
        uint32_t Attributes = kAttrArchive;
        ZipDateTime Date;
        bool Folder = false;
        std::string SourcePath;           // a file on disk, or
        std::istream* Stream = nullptr;   // a stream of the caller, or
        std::span<const uint8_t> Buffer;  // bytes of the caller
    };

    bool FindEndOfCentralDir(const ZipSource& src, uint64_t& endPos);
    void ReadCentralDirectory(const ZipSource& src);
    void ReadLocalHeaders(const ZipSource& src);
    void ReadLocalHeader(const ZipSource& src, uint64_t offset, uint64_t limit,
                         TLocalFile& local) const;
    bool ScanLocalHeaders(const ZipSource& src);
    void FillDerived(TKAZipEntriesEntry& e) const;

    void CheckExtractable(const TKAZipEntriesEntry& entry) const;
    void Extract(const TKAZipEntriesEntry& entry, ExtractSink& sink);

    std::vector<NewItem> PlanItem(NewItem item, const std::vector<NewItem>& planned) const;
    void AddFolder(const std::string& folder, const std::string& base, bool recursive,
                   std::vector<NewItem>& items);
    const TKAZipEntriesEntry& AddItems(std::vector<NewItem> items);
    void Rewrite(const std::vector<bool>& keep, const std::vector<NewItem>& items,
                 std::string comment);
    void WriteNewItem(const NewItem& item, class ZipSink& sink, TCentralDirectoryFile& central);

    TKAZip& owner_;
    std::vector<TKAZipEntriesEntry> items_;
    TEndOfCentralDir end_;
    std::string comment_;
    bool damaged_ = false;
};

}  // namespace qurvex
