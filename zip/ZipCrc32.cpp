// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/ZipCrc32.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QURVEX_CRC_CLMUL 1
#endif

namespace qurvex {

namespace {

// zlib's table-driven CRC-32 over any length.
uint32_t TableCrc32(const uint8_t* p, std::size_t size, uint32_t crc) {
    uLong value = crc;
    while (size > 0) {
        const auto step =
            static_cast<uInt>(std::min<std::size_t>(size, std::numeric_limits<uInt>::max()));
        value = crc32(value, p, step);
        p += step;
        size -= step;
    }
    return static_cast<uint32_t>(value);
}

#ifdef QURVEX_CRC_CLMUL

__attribute__((target("pclmul,sse4.1"))) inline __m128i Load128(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// acc * x^128 mod P folded onto the next 128 bits (k3, k4 in `k`).
__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold128(__m128i acc, __m128i next,
                                                                __m128i k) {
    const __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(hi, next), lo);
}

// CRC-32 by carry-less multiplication ("folding"): the message is a polynomial
// over GF(2); four 128-bit lanes are folded forward by x^512 (constants k1, k2),
// then into one lane by x^128 (k3, k4), reduced to 64 bits (k5) and finally to
// 32 bits by Barrett reduction with P(x) = 0x1DB710641 (bit-reflected) and
// mu = floor(x^64 / P(x)). Works on the inverted register; len is a multiple
// of 16 and at least 64.
__attribute__((target("pclmul,sse4.1"))) uint32_t ClmulCrc32(const uint8_t* buf, std::size_t len,
                                                             uint32_t crc) {
    alignas(16) static const uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const uint64_t poly[] = {0x01db710641, 0x01f7011641};

    __m128i x1 = Load128(buf + 0x00);
    __m128i x2 = Load128(buf + 0x10);
    __m128i x3 = Load128(buf + 0x20);
    __m128i x4 = Load128(buf + 0x30);
    x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    buf += 64;
    len -= 64;
    while (len >= 64) {
        const __m128i x5 = _mm_clmulepi64_si128(x1, x0, 0x00);
        const __m128i x6 = _mm_clmulepi64_si128(x2, x0, 0x00);
        const __m128i x7 = _mm_clmulepi64_si128(x3, x0, 0x00);
        const __m128i x8 = _mm_clmulepi64_si128(x4, x0, 0x00);
        x1 = _mm_clmulepi64_si128(x1, x0, 0x11);
        x2 = _mm_clmulepi64_si128(x2, x0, 0x11);
        x3 = _mm_clmulepi64_si128(x3, x0, 0x11);
        x4 = _mm_clmulepi64_si128(x4, x0, 0x11);
        x1 = _mm_xor_si128(_mm_xor_si128(x1, x5), Load128(buf + 0x00));
        x2 = _mm_xor_si128(_mm_xor_si128(x2, x6), Load128(buf + 0x10));
        x3 = _mm_xor_si128(_mm_xor_si128(x3, x7), Load128(buf + 0x20));
        x4 = _mm_xor_si128(_mm_xor_si128(x4, x8), Load128(buf + 0x30));
        buf += 64;
        len -= 64;
    }
    x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = Fold128(x1, x2, x0);
    x1 = Fold128(x1, x3, x0);
    x1 = Fold128(x1, x4, x0);
    while (len >= 16) {
        x1 = Fold128(x1, Load128(buf), x0);
        buf += 16;
        len -= 16;
    }
    // 128 -> 64 bits.
    x2 = _mm_clmulepi64_si128(x1, x0, 0x10);
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    x0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_and_si128(x1, mask);
    x1 = _mm_clmulepi64_si128(x1, x0, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    // Barrett reduction to 32 bits.
    x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    x2 = _mm_and_si128(x1, mask);
    x2 = _mm_clmulepi64_si128(x2, x0, 0x10);
    x2 = _mm_and_si128(x2, mask);
    x2 = _mm_clmulepi64_si128(x2, x0, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

bool HaveClmul() {
    static const bool have = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return have;
}

#endif

}  // namespace

uint32_t ComputeCRC32(const void* data, std::size_t size, uint32_t crc) {
    auto p = static_cast<const uint8_t*>(data);
#ifdef QURVEX_CRC_CLMUL
    if (size >= 64 && HaveClmul()) {
        const std::size_t bulk = size & ~std::size_t{15};
        crc = ~ClmulCrc32(p, bulk, ~crc);
        p += bulk;
        size -= bulk;
    }
#endif
    return size > 0 ? TableCrc32(p, size, crc) : crc;
}

}  // namespace qurvex
