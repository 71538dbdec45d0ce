// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qurvex {

// Sequential output of a new archive, with the one seek an archive writer
// needs: patching a header written earlier once the sizes are known.
class ZipSink {
public:
    virtual ~ZipSink() = default;
    virtual void Write(const void* data, std::size_t n) = 0;
    virtual uint64_t Position() const = 0;
    // Overwrites n bytes at an offset below Position().
    virtual void PatchAt(uint64_t offset, const void* data, std::size_t n) = 0;
    void Write(const std::string& s) { Write(s.data(), s.size()); }
};

// Output into memory.
class ZipMemorySink : public ZipSink {
public:
    void Write(const void* data, std::size_t n) override;
    uint64_t Position() const override { return data_.size(); }
    void PatchAt(uint64_t offset, const void* data, std::size_t n) override;
    std::vector<uint8_t>& Data() { return data_; }

private:
    std::vector<uint8_t> data_;
};

// A new file written beside its final place and moved there in one step.
// Created as a hidden, uniquely named file in the target's folder (so the
// final rename never crosses file systems); Commit() flushes it to disk,
// gives it the target's permissions (or the default ones for a new file) and
// renames it over the target. Destroyed without Commit() it removes itself,
// so the target is never seen half-written. Failures raise EZipError.
class ZipTempFile : public ZipSink {
public:
    explicit ZipTempFile(const std::string& target);
    ~ZipTempFile() override;
    ZipTempFile(const ZipTempFile&) = delete;
    ZipTempFile& operator=(const ZipTempFile&) = delete;

    void Write(const void* data, std::size_t n) override;
    uint64_t Position() const override { return position_; }
    void PatchAt(uint64_t offset, const void* data, std::size_t n) override;
    void Commit();
    const std::string& Path() const { return path_; }

private:
    void Flush();
    void Fail(const std::string& what) const;

    std::string target_;
    std::string path_;
    int fd_ = -1;
    uint64_t position_ = 0;
    std::vector<uint8_t> buffer_;
    bool committed_ = false;
};

}  // namespace qurvex
