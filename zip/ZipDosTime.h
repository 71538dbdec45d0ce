// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ctime>

#include "zip/ZipTypes.h"

namespace qurvex {

// DOS date-time as one 32-bit value: time in the low word
// (hour << 11 | minute << 5 | second / 2), date in the high word
// ((year - 1980) << 9 | month << 5 | day).
// Dates before 1980 are stored as 1980-01-01 00:00:00, after 2107 as 2107-12-31 23:59:58.
uint32_t DateTimeToDos(const ZipDateTime& t);

// The inverse; fields are taken as they stand, so a damaged value may give a
// month 0 or 13 (nothing is validated, nothing fails).
ZipDateTime DosToDateTime(uint32_t dos);

// Local wall-clock time of a POSIX time stamp, and of "now".
ZipDateTime LocalDateTime(std::time_t t);
ZipDateTime NowDateTime();

}  // namespace qurvex
