// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "zip/ZipSink.h"
#include "zip/ZipSource.h"
#include "zip/ZipTypes.h"

namespace qurvex {

// Size of the pieces in which entry data are read, inflated, deflated and written.
inline constexpr std::size_t kZipChunk = 256 * 1024;

// Progress: bytes of uncompressed data handled so far, and the total.
using ZipProgress = std::function<void(int64_t current, int64_t total)>;

// Pulls up to n bytes of an item being added into dst; returns the count, 0 at the end.
using ZipReader = std::function<std::size_t(uint8_t* dst, std::size_t n)>;

// Where extracted bytes go. Space() hands out room for at most `limit` bytes
// (never 0 bytes when limit > 0); Commit() takes the first n of them.
class ExtractSink {
public:
    virtual ~ExtractSink() = default;
    virtual std::span<uint8_t> Space(std::size_t limit) = 0;
    virtual void Commit(std::size_t n) = 0;
};

// Extraction into a buffer of the caller; grows with the data actually produced,
// starting at `expected` bytes.
class BufferExtractSink : public ExtractSink {
public:
    BufferExtractSink(std::vector<uint8_t>& out, std::size_t expected);
    std::span<uint8_t> Space(std::size_t limit) override;
    void Commit(std::size_t n) override { used_ += n; }
    // Trims the buffer to the bytes committed.
    void Finish() { out_.resize(used_); }

private:
    std::vector<uint8_t>& out_;
    std::size_t used_ = 0;
};

// Extraction through a write function, in chunks of kZipChunk bytes.
class ChunkExtractSink : public ExtractSink {
public:
    explicit ChunkExtractSink(std::function<void(const uint8_t*, std::size_t)> write);
    std::span<uint8_t> Space(std::size_t limit) override;
    void Commit(std::size_t n) override { write_(buffer_.data(), n); }

private:
    std::function<void(const uint8_t*, std::size_t)> write_;
    std::vector<uint8_t> buffer_;
};

// Where an entry's data lie and what its directory says about them.
struct EntryData {
    std::string Name;
    uint64_t Offset = 0;            // first byte of the data
    uint64_t CompressedSize = 0;    // from the central directory
    uint64_t UncompressedSize = 0;  // from the central directory
    uint32_t Crc32 = 0;             // from the central directory
    uint16_t Method = 0;            // kMethodStored or kMethodDeflated
};

// Reads an entry's data and hands the uncompressed bytes to `sink` in bounded
// chunks. Never reads outside [Offset, Offset + CompressedSize) and never
// produces more than UncompressedSize bytes. Raises EZipError, naming the entry,
// when the data are truncated or damaged, inflate to more or fewer bytes than
// declared, or fail the CRC-32 check; bytes already handed to the sink may then
// be incomplete. An empty entry hands out nothing.
void ExtractEntryData(const ZipSource& src, const EntryData& entry, ExtractSink& sink,
                      const ZipProgress& progress);

// Result of compressing one item.
struct DeflateResult {
    uint64_t UncompressedSize = 0;
    uint64_t CompressedSize = 0;
    uint32_t Crc32 = 0;
};

// Raw deflate (no zlib header or trailer) of `first` followed by everything
// `more` yields, written to `sink`. level: 0 (stored blocks) .. 9, or -1 for
// zlib's default. Read errors of `more` propagate.
DeflateResult DeflateToSink(std::span<const uint8_t> first, const ZipReader& more, ZipSink& sink,
                            int level, int64_t total, const ZipProgress& progress);

// zlib level for a compression type: ctNormal -> default, ctMaximum -> 9,
// ctFast and ctSuperFast -> 1, ctNone -> 0 (ctUnknown counts as ctNormal).
int ZlibLevel(TZipCompressionType type);

}  // namespace qurvex
