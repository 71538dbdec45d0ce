// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qurvex {

// Random-access, read-only view of an archive's bytes. Every read is checked
// against the size with 64-bit arithmetic, so no offset or length taken from a
// damaged archive can read outside it.
class ZipSource {
public:
    virtual ~ZipSource() = default;
    virtual uint64_t Size() const = 0;

    // Copies n bytes at offset into dst. A range that does not lie wholly inside
    // the archive raises EZipError naming `what` and the offset; n = 0 always succeeds.
    void ReadAt(uint64_t offset, void* dst, std::size_t n, const char* what = "data") const;

    // True when [offset, offset + length) lies inside the archive.
    bool Contains(uint64_t offset, uint64_t length) const;

protected:
    virtual void DoRead(uint64_t offset, void* dst, std::size_t n) const = 0;
};

// An archive file on disk, opened read-only; the descriptor is held until destruction.
class ZipFileSource : public ZipSource {
public:
    // Raises EZipError when the file cannot be opened or is not a regular file.
    explicit ZipFileSource(const std::string& path);
    ~ZipFileSource() override;
    ZipFileSource(const ZipFileSource&) = delete;
    ZipFileSource& operator=(const ZipFileSource&) = delete;

    uint64_t Size() const override { return size_; }

protected:
    void DoRead(uint64_t offset, void* dst, std::size_t n) const override;

private:
    std::string path_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

// An archive held in memory.
class ZipMemorySource : public ZipSource {
public:
    explicit ZipMemorySource(std::vector<uint8_t> data) : data_(std::move(data)) {}
    uint64_t Size() const override { return data_.size(); }
    const std::vector<uint8_t>& Data() const { return data_; }

protected:
    void DoRead(uint64_t offset, void* dst, std::size_t n) const override;

private:
    std::vector<uint8_t> data_;
};

}  // namespace qurvex
