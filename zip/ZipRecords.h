// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "zip/ZipTypes.h"

namespace qurvex {

// Little-endian field access. The caller guarantees the bytes exist.
uint16_t ReadLe16(const uint8_t* p);
uint32_t ReadLe32(const uint8_t* p);
void AppendLe16(std::string& out, uint16_t v);
void AppendLe32(std::string& out, uint32_t v);

// Fill the fixed part of a record from exactly kLocalFileSize / kCentralFileSize /
// kEndOfCentralDirSize bytes. The variable strings are left untouched; the
// signature is copied, not checked.
void ParseLocalFixed(const uint8_t* p, TLocalFile& out);
void ParseCentralFixed(const uint8_t* p, TCentralDirectoryFile& out);
void ParseEndFixed(const uint8_t* p, TEndOfCentralDir& out);

// The record as it stands in an archive: fixed part followed by its strings.
// The length fields are written as stored in the record, so a record read from
// an archive serialises to the very bytes it was read from.
std::string SerializeLocal(const TLocalFile& r);
std::string SerializeCentral(const TCentralDirectoryFile& r);
std::string SerializeEnd(const TEndOfCentralDir& r);

}  // namespace qurvex
