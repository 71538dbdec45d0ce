// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/ZipDosTime.h"

namespace qurvex {

uint32_t DateTimeToDos(const ZipDateTime& t) {
    if (t.Year < 1980) return (1u << 5 | 1u) << 16;
    if (t.Year > 2107) return ((127u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u);
    const uint32_t date = static_cast<uint32_t>((t.Year - 1980) << 9 | t.Month << 5 | t.Day);
    const uint32_t time = static_cast<uint32_t>(t.Hour << 11 | t.Minute << 5 | t.Second / 2);
    return date << 16 | time;
}

ZipDateTime DosToDateTime(uint32_t dos) {
    const uint32_t date = dos >> 16;
    const uint32_t time = dos & 0xffff;
    ZipDateTime t;
    t.Year = 1980 + static_cast<int>(date >> 9);
    t.Month = static_cast<int>((date >> 5) & 0x0f);
    t.Day = static_cast<int>(date & 0x1f);
    t.Hour = static_cast<int>(time >> 11);
    t.Minute = static_cast<int>((time >> 5) & 0x3f);
    t.Second = static_cast<int>((time & 0x1f) * 2);
    return t;
}

ZipDateTime LocalDateTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return ZipDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                       tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

ZipDateTime NowDateTime() { return LocalDateTime(std::time(nullptr)); }

}  // namespace qurvex
