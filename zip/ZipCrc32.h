// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace qurvex {

// CRC-32 of the ZIP format: reflected polynomial 0xEDB88320, register starting
// at all ones, final complement. Continue a running value by passing it as
// `crc`; start with 0. Empty data return `crc` unchanged (0 for a fresh start).
// Check value: "123456789" gives 0xCBF43926.
uint32_t ComputeCRC32(const void* data, std::size_t size, uint32_t crc = 0);

}  // namespace qurvex
