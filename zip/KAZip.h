// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "zip/KAZipEntries.h"
#include "zip/ZipError.h"
#include "zip/ZipSource.h"
#include "zip/ZipTypes.h"

namespace qurvex {

// ZIP archive component: opens an archive file or an archive held in memory,
// lists and extracts its stored and deflated entries, and adds, replaces and
// removes entries.
//
// Safety rules that hold for every operation:
// - Sizes, offsets and CRC-32 come from the central directory and are checked
//   against the archive's size before use; entry data are inflated in bounded
//   chunks and must match the declared size and CRC-32 exactly.
// - A write never modifies the archive file in place: the new archive is built
//   in a temporary file in the same folder, flushed, and renamed over the old
//   one, so a failure at any point leaves the old archive as it was. Entries
//   that are kept are copied byte for byte.
// - Extraction to a file writes a temporary file beside the destination and
//   renames it only when the entry passed its checks.
// - Not supported, and refused with a message naming it: encrypted entries,
//   methods other than stored (0) and deflated (8), ZIP64 archives, archives
//   spread over several disks, entries or archives of 4 GiB and more on write.
// All failures raise EZipError.
class TKAZip {
public:
    using TOnProgress = std::function<void(TKAZip& sender, int64_t current, int64_t total)>;
    using TOnZipChange = std::function<void(TKAZip& sender, int changeType)>;
    using TOnAddItem = std::function<void(TKAZip& sender, const std::string& itemName)>;
    using TOnOverwriteFile =
        std::function<void(TKAZip& sender, std::string& fileName, TOverwriteAction& action)>;

    TKAZip();
    ~TKAZip();
    TKAZip(const TKAZip&) = delete;
    TKAZip& operator=(const TKAZip&) = delete;

    static constexpr const char* ComponentVersion = "2.0";

    // Settings (defaults as constructed).
    TZipSaveMethod SaveMethod = TZipSaveMethod::FastSave;
    bool StoreRelativePath = true;  // keep the folder part of an added item's name
    bool StoreFolders = true;       // add folder entries for the folders of an added item
    bool UseTempFiles =
        false;  // kept for callers; every rewrite already goes through a temporary file
    TOverwriteAction OverwriteAction = TOverwriteAction::oaSkip;
    // On this platform DOS attributes (hidden, system) have no file counterpart,
    // and read-only is deliberately never applied, so this setting changes nothing.
    bool ApplyAtributes = true;

    // Events; each may be empty.
    TOnProgress OnDecompressFile;  // bytes produced so far, uncompressed size
    TOnProgress OnCompressFile;    // bytes consumed so far, total when known (else -1)
    TOnZipChange OnZipChange;      // 0 closed, 1 opened, 2 item(s) added, 3 item removed
    TOnProgress OnZipOpen;         // entry i of n while parsing
    TOnAddItem OnAddItem;          // after each added item
    TOnProgress OnRebuildZip;      // entry i of n while a new archive is written, then 100 of 100
    TOnProgress OnRemoveItems;     // entry i of n while entries are removed
    TOnOverwriteFile OnOverwriteFile;

    TZipCompressionType CompressionType() const { return compressionType_; }
    // ctUnknown is stored as ctNormal.
    void SetCompressionType(TZipCompressionType type);

    const std::string& FileName() const { return fileName_; }
    bool IsZipFile() const { return isZipFile_; }
    bool Active() const { return isZipFile_; }
    // Nothing while FileName() is empty; true opens FileName(), false closes.
    void SetActive(bool value);
    // True when the archive file cannot be written; every write then raises EZipError.
    bool ReadOnly() const { return readOnly_; }
    // True when the archive had no end record and was listed by scanning local
    // headers; such an archive can be read but is never written.
    bool Damaged() const { return entries_.Damaged(); }

    // Archive comment as raw bytes ("" when closed or none).
    const std::string& Comment() const;
    // Replaces the comment (at most 65535 bytes); unchanged text does nothing.
    // EZipError when no archive is open.
    void SetComment(const std::string& comment);

    // Entry names as stored ("/" separates folders); empty when closed.
    std::vector<std::string> FileNames() const;

    TKAZipEntries& Entries() { return entries_; }
    const TKAZipEntries& Entries() const { return entries_; }

    // Opening. An archive that is damaged or unsupported raises EZipError and
    // leaves the component closed. A file that is no ZIP at all leaves it closed
    // with IsZipFile() false and raises nothing. A missing file raises EZipError
    // "File "<name>" not found!".
    void OpenArchive(const std::string& fileName);
    void LoadFromFile(const std::string& fileName);
    // Archive held in memory; writes rebuild the buffer, read it back with Data().
    void LoadFromBuffer(std::vector<uint8_t> data);
    // Reads the whole stream into memory, then as LoadFromBuffer.
    void LoadFromStream(std::istream& stream);
    void CloseArchive();
    // Every byte of the open archive (memory or file); empty when closed.
    std::vector<uint8_t> Data() const;

    // Writes an empty archive: the 22-byte end record "PK\5\6" and 18 zero bytes.
    static void CreateEmptyArchive(std::ostream& stream);

    // Extraction by name (see TKAZipEntries::ExtractByName for the overwrite rule).
    void ExtractToFile(const std::string& itemName, const std::string& destFile);
    // Extracts entry itemName to folder/itemName, creating missing folders.
    // Refuses (EZipError, nothing written) a name that is absolute or holds a
    // ".." component. Follows the overwrite rule like ExtractToFile.
    void ExtractToFolder(const std::string& itemName, const std::string& folder);
    void ExtractToStream(const std::string& itemName, std::ostream& dest);
    std::vector<uint8_t> ExtractToBuffer(const std::string& itemName);

    // Adding; see TKAZipEntries. Every listed item must exist. Returns true.
    bool AddFiles(const std::vector<std::string>& list, const std::string& baseDir, bool recursive);
    const TKAZipEntriesEntry& AddStream(const std::string& itemName, std::istream& source);
    const TKAZipEntriesEntry& AddBuffer(const std::string& itemName, std::span<const uint8_t> data);
    // Removes the entry of that name; EZipError when there is none.
    void Remove(const std::string& itemName);

protected:
    virtual void DoZipChange(int changeType);

private:
    friend class TKAZipEntries;

    void LoadFromSource(std::unique_ptr<ZipSource> source);
    void RequireWritable() const;
    // Makes `data` (memory archive) or the renamed file the open archive and parses it.
    void ReloadAfterWrite(std::vector<uint8_t>* data);
    const ZipSource& Source() const;
    bool InMemory() const { return inMemory_; }

    TKAZipEntries entries_;
    std::unique_ptr<ZipSource> source_;
    std::string fileName_;
    TZipCompressionType compressionType_ = TZipCompressionType::ctMaximum;
    bool isZipFile_ = false;
    bool readOnly_ = false;
    bool inMemory_ = false;
    bool batch_ = false;
};

}  // namespace qurvex
