// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/ZipCodec.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "zip/ZipCrc32.h"
#include "zip/ZipError.h"

namespace qurvex {

namespace {

// Deflate cannot expand data more than about 1032 : 1, so this bounds what an
// honest entry of a given compressed size can produce.
constexpr uint64_t kMaxDeflateRatio = 1032;

// Inflate output per call. zlib copies the last 32 KiB of every call's output
// into its window, so larger pieces cost less; the CRC of a piece is taken
// while it is still in cache.
constexpr uint64_t kInflateOutputChunk = 1024 * 1024;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

[[noreturn]] void EntryFailure(const EntryData& e, const std::string& what) {
    throw EZipError("entry " + Quoted(e.Name) + " (data at offset " + std::to_string(e.Offset) +
                    "): " + what + "; the entry was not extracted");
}

struct InflateStream {
    z_stream zs{};
    InflateStream() {
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
            throw EZipError("zlib cannot start inflating (out of memory)");
    }
    ~InflateStream() { inflateEnd(&zs); }
};

struct DeflateStream {
    z_stream zs{};
    explicit DeflateStream(int level) {
        if (deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw EZipError("zlib cannot start deflating at level " + std::to_string(level));
        }
    }
    ~DeflateStream() { deflateEnd(&zs); }
};

void CopyStored(const ZipSource& src, const EntryData& e, ExtractSink& sink,
                const ZipProgress& progress) {
    if (e.CompressedSize != e.UncompressedSize) {
        EntryFailure(e, "stored entry has compressed size " + std::to_string(e.CompressedSize) +
                            " but uncompressed size " + std::to_string(e.UncompressedSize));
    }
    uint64_t done = 0;
    uint32_t crc = 0;
    while (done < e.UncompressedSize) {
        const auto space = sink.Space(
            static_cast<std::size_t>(std::min<uint64_t>(kZipChunk, e.UncompressedSize - done)));
        const std::size_t n =
            static_cast<std::size_t>(std::min<uint64_t>(space.size(), e.UncompressedSize - done));
        src.ReadAt(e.Offset + done, space.data(), n, "stored data");
        crc = ComputeCRC32(space.data(), n, crc);
        sink.Commit(n);
        done += n;
        if (progress)
            progress(static_cast<int64_t>(done), static_cast<int64_t>(e.UncompressedSize));
    }
    if (crc != e.Crc32) EntryFailure(e, "CRC-32 check failed (data are damaged)");
}

void Inflate(const ZipSource& src, const EntryData& e, ExtractSink& sink,
             const ZipProgress& progress) {
    if (!src.Contains(e.Offset, e.CompressedSize))
        EntryFailure(e, "compressed data run past the end of the archive");
    InflateStream stream;
    z_stream& zs = stream.zs;
    std::vector<uint8_t> in(static_cast<std::size_t>(
        std::min<uint64_t>(kZipChunk, std::max<uint64_t>(e.CompressedSize, 1))));
    uint64_t readPos = e.Offset;
    uint64_t inputLeft = e.CompressedSize;
    uint64_t produced = 0;
    uint32_t crc = 0;
    for (;;) {
        if (zs.avail_in == 0 && inputLeft > 0) {
            const auto n = static_cast<std::size_t>(std::min<uint64_t>(in.size(), inputLeft));
            src.ReadAt(readPos, in.data(), n, "compressed data");
            readPos += n;
            inputLeft -= n;
            zs.next_in = in.data();
            zs.avail_in = static_cast<uInt>(n);
        }
        // Room for one byte more than declared, so that surplus output is seen.
        const uint64_t room = e.UncompressedSize - produced + 1;
        const auto space =
            sink.Space(static_cast<std::size_t>(std::min<uint64_t>(room, kInflateOutputChunk)));
        zs.next_out = space.data();
        zs.avail_out = static_cast<uInt>(space.size());
        const int ret = inflate(&zs, Z_NO_FLUSH);
        const std::size_t got = space.size() - zs.avail_out;
        if (produced + got > e.UncompressedSize) {
            EntryFailure(e, "data inflate to more than the declared " +
                                std::to_string(e.UncompressedSize) + " bytes");
        }
        crc = ComputeCRC32(space.data(), got, crc);
        sink.Commit(got);
        produced += got;
        if (progress && got > 0)
            progress(static_cast<int64_t>(produced), static_cast<int64_t>(e.UncompressedSize));
        if (ret == Z_STREAM_END) break;
        if (ret == Z_BUF_ERROR || (ret == Z_OK && zs.avail_in == 0 && inputLeft == 0 && got == 0)) {
            if (zs.avail_in == 0 && inputLeft == 0)
                EntryFailure(e, "compressed data end before the deflate stream does");
            continue;
        }
        if (ret != Z_OK)
            EntryFailure(e, std::string("deflate data are damaged (") +
                                (zs.msg ? zs.msg : "zlib error") + ")");
    }
    if (produced != e.UncompressedSize) {
        EntryFailure(e, "data inflate to " + std::to_string(produced) +
                            " bytes, not the declared " + std::to_string(e.UncompressedSize));
    }
    if (crc != e.Crc32) EntryFailure(e, "CRC-32 check failed (data are damaged)");
}

}  // namespace

BufferExtractSink::BufferExtractSink(std::vector<uint8_t>& out, std::size_t expected) : out_(out) {
    out_.clear();
    out_.resize(expected);
}

std::span<uint8_t> BufferExtractSink::Space(std::size_t limit) {
    if (out_.size() == used_) out_.resize(used_ + std::max<std::size_t>(kZipChunk, used_));
    return {out_.data() + used_, std::min(limit, out_.size() - used_)};
}

ChunkExtractSink::ChunkExtractSink(std::function<void(const uint8_t*, std::size_t)> write)
    : write_(std::move(write)), buffer_(kZipChunk) {}

std::span<uint8_t> ChunkExtractSink::Space(std::size_t limit) {
    return {buffer_.data(), std::min(limit, buffer_.size())};
}

void ExtractEntryData(const ZipSource& src, const EntryData& entry, ExtractSink& sink,
                      const ZipProgress& progress) {
    if (entry.Method == kMethodStored) {
        CopyStored(src, entry, sink, progress);
    } else if (entry.Method == kMethodDeflated) {
        if (entry.UncompressedSize > entry.CompressedSize * kMaxDeflateRatio + 1024) {
            EntryFailure(entry, "declared size " + std::to_string(entry.UncompressedSize) +
                                    " is impossible for " + std::to_string(entry.CompressedSize) +
                                    " compressed bytes");
        }
        Inflate(src, entry, sink, progress);
    } else {
        EntryFailure(entry, "compression method " + std::to_string(entry.Method) +
                                " is not supported (only stored and deflated)");
    }
}

DeflateResult DeflateToSink(std::span<const uint8_t> first, const ZipReader& more, ZipSink& sink,
                            int level, int64_t total, const ZipProgress& progress) {
    DeflateStream stream(level);
    z_stream& zs = stream.zs;
    DeflateResult result;
    std::vector<uint8_t> in;
    std::vector<uint8_t> out(kZipChunk);
    std::span<const uint8_t> chunk = first;
    for (;;) {
        const bool last = chunk.empty();
        result.Crc32 = ComputeCRC32(chunk.data(), chunk.size(), result.Crc32);
        result.UncompressedSize += chunk.size();
        zs.next_in = const_cast<Bytef*>(chunk.data());
        zs.avail_in = static_cast<uInt>(chunk.size());
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            const int ret = deflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
            if (ret == Z_STREAM_ERROR)
                throw EZipError("zlib failed while deflating; nothing was changed");
            const std::size_t n = out.size() - zs.avail_out;
            sink.Write(out.data(), n);
            result.CompressedSize += n;
        } while (zs.avail_out == 0);
        if (progress) progress(static_cast<int64_t>(result.UncompressedSize), total);
        if (last) break;
        if (in.empty()) in.resize(kZipChunk);
        chunk = std::span<const uint8_t>(in.data(), more ? more(in.data(), in.size()) : 0);
    }
    return result;
}

int ZlibLevel(TZipCompressionType type) {
    switch (type) {
        case TZipCompressionType::ctMaximum:
            return 9;
        case TZipCompressionType::ctFast:
        case TZipCompressionType::ctSuperFast:
            return 1;
        case TZipCompressionType::ctNone:
            return 0;
        default:
            return Z_DEFAULT_COMPRESSION;
    }
}

}  // namespace qurvex
