// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/KAZip.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <istream>
#include <iterator>
#include <ostream>

#include "zip/ZipDosTime.h"
#include "zip/ZipNames.h"
#include "zip/ZipRecords.h"

namespace qurvex {

namespace {

const std::string kNoComment;

}  // namespace

TKAZip::TKAZip() : entries_(*this) {}

TKAZip::~TKAZip() = default;

void TKAZip::SetCompressionType(TZipCompressionType type) {
    compressionType_ =
        (type == TZipCompressionType::ctUnknown) ? TZipCompressionType::ctNormal : type;
}

void TKAZip::SetActive(bool value) {
    if (fileName_.empty()) return;
    if (value) {
        OpenArchive(fileName_);
    } else {
        CloseArchive();
    }
}

const std::string& TKAZip::Comment() const {
    return isZipFile_ ? entries_.ArchiveComment() : kNoComment;
}

std::vector<std::string> TKAZip::FileNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < entries_.Count(); ++i) names.push_back(entries_.GetEntry(i).FileName());
    return names;
}

void TKAZip::DoZipChange(int changeType) {
    if (OnZipChange) OnZipChange(*this, changeType);
}

void TKAZip::OpenArchive(const std::string& fileName) {
    CloseArchive();
    LoadFromFile(fileName);
    fileName_ = fileName;
}

void TKAZip::LoadFromFile(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec))
        throw EZipError("File \"" + fileName + "\" not found!");
    auto source = std::make_unique<ZipFileSource>(fileName);
    fileName_ = fileName;
    inMemory_ = false;
    // Read-only like a file with the read-only attribute: no write permission bit
    // at all, or no write access for this process.
    struct stat st {};
    readOnly_ = ::stat(fileName.c_str(), &st) != 0 || (st.st_mode & 0222) == 0 ||
                ::access(fileName.c_str(), W_OK) != 0;
    LoadFromSource(std::move(source));
}

void TKAZip::LoadFromBuffer(std::vector<uint8_t> data) {
    CloseArchive();
    fileName_.clear();
    inMemory_ = true;
    readOnly_ = false;
    LoadFromSource(std::make_unique<ZipMemorySource>(std::move(data)));
}

void TKAZip::LoadFromStream(std::istream& stream) {
    std::vector<uint8_t> data{std::istreambuf_iterator<char>(stream),
                              std::istreambuf_iterator<char>()};
    LoadFromBuffer(std::move(data));
}

void TKAZip::LoadFromSource(std::unique_ptr<ZipSource> source) {
    source_ = std::move(source);
    bool isZip = false;
    try {
        isZip = entries_.ParseArchive(*source_);
    } catch (...) {
        CloseArchive();
        throw;
    }
    isZipFile_ = isZip;
    if (!isZip) {
        CloseArchive();
        return;
    }
    DoZipChange(1);
}

void TKAZip::CloseArchive() {
    entries_.items_.clear();
    entries_.comment_.clear();
    entries_.end_ = TEndOfCentralDir{};
    entries_.damaged_ = false;
    source_.reset();
    isZipFile_ = false;
    readOnly_ = false;
    DoZipChange(0);
}

std::vector<uint8_t> TKAZip::Data() const {
    if (!source_) return {};
    if (inMemory_) return static_cast<const ZipMemorySource&>(*source_).Data();
    std::vector<uint8_t> data(static_cast<std::size_t>(source_->Size()));
    source_->ReadAt(0, data.data(), data.size(), "archive");
    return data;
}

const ZipSource& TKAZip::Source() const {
    if (!source_ || !isZipFile_) throw EZipError("no archive is open; nothing was changed");
    return *source_;
}

void TKAZip::RequireWritable() const {
    Source();
    if (readOnly_)
        throw EZipError("archive \"" + fileName_ + "\" is read-only; nothing was changed");
    if (entries_.Damaged()) {
        throw EZipError(
            "archive \"" + fileName_ +
            "\" has no valid central directory (it is damaged or truncated) and is only readable; "
            "nothing was changed");
    }
}

void TKAZip::ReloadAfterWrite(std::vector<uint8_t>* data) {
    if (data) {
        source_ = std::make_unique<ZipMemorySource>(std::move(*data));
    } else {
        source_ = std::make_unique<ZipFileSource>(fileName_);
    }
    isZipFile_ = entries_.ParseArchive(*source_);
}

void TKAZip::SetComment(const std::string& comment) {
    RequireWritable();
    if (comment == entries_.ArchiveComment()) return;
    if (comment.size() > 0xffff) {
        throw EZipError("archive comment of " + std::to_string(comment.size()) +
                        " bytes is longer than 65535 bytes; nothing was changed");
    }
    entries_.Rewrite(std::vector<bool>(static_cast<std::size_t>(entries_.Count()), true), {},
                     comment);
}

void TKAZip::CreateEmptyArchive(std::ostream& stream) {
    TEndOfCentralDir end;
    end.EndOfCentralDirSignature = kEndOfCentralDirSignature;
    const std::string bytes = SerializeEnd(end);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream) throw EZipError("cannot write the empty archive");
}

void TKAZip::ExtractToFile(const std::string& itemName, const std::string& destFile) {
    Source();
    entries_.ExtractByName(itemName, destFile);
}

void TKAZip::ExtractToFolder(const std::string& itemName, const std::string& folder) {
    Source();
    const int index = entries_.IndexOfEntry(itemName);
    if (index < 0)
        throw EZipError("entry \"" + itemName + "\" is not in the archive; nothing was extracted");
    const std::string& stored = entries_.GetEntry(index).FileName();
    if (!IsSafeEntryPath(stored)) {
        throw EZipError(
            "entry \"" + stored +
            "\" has an absolute name or a \"..\" component and would be written outside \"" +
            folder + "\"; nothing was extracted");
    }
    std::filesystem::path dest = std::filesystem::path(folder) / ToZipName(stored);
    std::string destText = dest.string();
    if (!destText.empty() && destText.back() == '/') destText.pop_back();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(destText).parent_path(), ec);
    if (ec)
        throw EZipError("cannot create folder for \"" + destText + "\": " + ec.message() +
                        "; nothing was extracted");
    entries_.ExtractByName(stored, destText);
}

void TKAZip::ExtractToStream(const std::string& itemName, std::ostream& dest) {
    Source();
    const int index = entries_.IndexOfEntry(itemName);
    if (index < 0)
        throw EZipError("entry \"" + itemName + "\" is not in the archive; nothing was extracted");
    entries_.ExtractToStream(entries_.GetEntry(index), dest);
}

std::vector<uint8_t> TKAZip::ExtractToBuffer(const std::string& itemName) {
    Source();
    const int index = entries_.IndexOfEntry(itemName);
    if (index < 0)
        throw EZipError("entry \"" + itemName + "\" is not in the archive; nothing was extracted");
    return entries_.ExtractToBuffer(entries_.GetEntry(index));
}

bool TKAZip::AddFiles(const std::vector<std::string>& list, const std::string& baseDir,
                      bool recursive) {
    return entries_.AddFilesAndFolders(list, baseDir, recursive);
}

const TKAZipEntriesEntry& TKAZip::AddStream(const std::string& itemName, std::istream& source) {
    return entries_.AddStream(itemName, kAttrArchive, source, NowDateTime());
}

const TKAZipEntriesEntry& TKAZip::AddBuffer(const std::string& itemName,
                                            std::span<const uint8_t> data) {
    return entries_.AddBuffer(itemName, kAttrArchive, data, NowDateTime());
}

void TKAZip::Remove(const std::string& itemName) {
    Source();
    const int index = entries_.IndexOfEntry(itemName);
    if (index < 0)
        throw EZipError("entry \"" + itemName + "\" is not in the archive; nothing was changed");
    entries_.RemoveEntry(index);
}

}  // namespace qurvex
