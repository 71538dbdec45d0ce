// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/ZipSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "zip/ZipError.h"

namespace qurvex {

namespace {

constexpr std::size_t kTempBufferSize = 1 << 20;

void WriteAll(int fd, const uint8_t* p, std::size_t n, uint64_t offset) {
    while (n > 0) {
        const ssize_t put = ::pwrite(fd, p, n, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) throw std::system_error(errno, std::generic_category());
        p += put;
        n -= static_cast<std::size_t>(put);
        offset += static_cast<uint64_t>(put);
    }
}

mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

void ZipMemorySink::Write(const void* data, std::size_t n) {
    auto p = static_cast<const uint8_t*>(data);
    data_.insert(data_.end(), p, p + n);
}

void ZipMemorySink::PatchAt(uint64_t offset, const void* data, std::size_t n) {
    std::memcpy(data_.data() + offset, data, n);
}

ZipTempFile::ZipTempFile(const std::string& target) : target_(target) {
    const std::filesystem::path t(target);
    const std::filesystem::path dir =
        t.has_parent_path() ? t.parent_path() : std::filesystem::path(".");
    std::string name(".");
    name.append(t.filename().string()).append(".XXXXXX");
    std::string pattern = (dir / name).string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        throw EZipError("cannot create a temporary file in \"" + dir.string() +
                        "\": " + std::strerror(errno) + "; nothing was changed");
    }
    path_ = pattern;
    buffer_.reserve(kTempBufferSize);
}

ZipTempFile::~ZipTempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !path_.empty()) ::unlink(path_.c_str());
}

void ZipTempFile::Fail(const std::string& what) const {
    throw EZipError("cannot " + what + " temporary file \"" + path_ + "\" for \"" + target_ +
                    "\": " + std::strerror(errno) + "; nothing was changed");
}

void ZipTempFile::Flush() {
    if (buffer_.empty()) return;
    try {
        WriteAll(fd_, buffer_.data(), buffer_.size(), position_ - buffer_.size());
    } catch (const std::system_error&) {
        Fail("write");
    }
    buffer_.clear();
}

void ZipTempFile::Write(const void* data, std::size_t n) {
    auto p = static_cast<const uint8_t*>(data);
    if (buffer_.size() + n > kTempBufferSize) {
        Flush();
    }
    if (n >= kTempBufferSize) {
        try {
            WriteAll(fd_, p, n, position_);
        } catch (const std::system_error&) {
            Fail("write");
        }
    } else {
        buffer_.insert(buffer_.end(), p, p + n);
    }
    position_ += n;
}

void ZipTempFile::PatchAt(uint64_t offset, const void* data, std::size_t n) {
    Flush();
    try {
        WriteAll(fd_, static_cast<const uint8_t*>(data), n, offset);
    } catch (const std::system_error&) {
        Fail("write");
    }
}

void ZipTempFile::Commit() {
    Flush();
    struct stat st {};
    const mode_t mode =
        (::stat(target_.c_str(), &st) == 0) ? (st.st_mode & 07777) : DefaultFileMode();
    if (::fchmod(fd_, mode) != 0) Fail("set the permissions of");
    if (::fsync(fd_) != 0) Fail("flush");
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("close");
    if (::rename(path_.c_str(), target_.c_str()) != 0) Fail("rename");
    committed_ = true;
}

}  // namespace qurvex
