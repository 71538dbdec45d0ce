// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/ZipSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "zip/ZipError.h"

namespace qurvex {

bool ZipSource::Contains(uint64_t offset, uint64_t length) const {
    const uint64_t size = Size();
    return offset <= size && length <= size - offset;
}

void ZipSource::ReadAt(uint64_t offset, void* dst, std::size_t n, const char* what) const {
    if (n == 0) return;
    if (!Contains(offset, n)) {
        throw EZipError(std::string("archive is damaged: ") + what + " at offset " +
                        std::to_string(offset) + " (" + std::to_string(n) +
                        " bytes) runs past the end of the archive (" + std::to_string(Size()) +
                        " bytes); nothing was changed");
    }
    DoRead(offset, dst, n);
}

ZipFileSource::ZipFileSource(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        throw EZipError("cannot open archive \"" + path + "\": " + std::strerror(errno) +
                        "; nothing was changed");
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EZipError("\"" + path + "\" is not a regular file; nothing was changed");
    }
    size_ = static_cast<uint64_t>(st.st_size);
}

ZipFileSource::~ZipFileSource() {
    if (fd_ >= 0) ::close(fd_);
}

void ZipFileSource::DoRead(uint64_t offset, void* dst, std::size_t n) const {
    auto out = static_cast<char*>(dst);
    while (n > 0) {
        const ssize_t got = ::pread(fd_, out, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            throw EZipError("cannot read archive \"" + path_ + "\" at offset " +
                            std::to_string(offset) + ": " +
                            (got < 0 ? std::strerror(errno) : "file shrank while open") +
                            "; nothing was changed");
        }
        out += got;
        offset += static_cast<uint64_t>(got);
        n -= static_cast<std::size_t>(got);
    }
}

void ZipMemorySource::DoRead(uint64_t offset, void* dst, std::size_t n) const {
    std::memcpy(dst, data_.data() + offset, n);
}

}  // namespace qurvex
