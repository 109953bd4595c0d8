// The SHA-256 compression function over 64-byte blocks, with the standard padding; on a processor
// with the SHA extensions the blocks go through its SHA-256 instructions, about eight times as fast.
#include "core/sha256.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#include <sys/platform/x86.h>
#define NLX_SHA256_X86 1
#endif

namespace nlx {
namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void compress_one(std::uint32_t h[8], const std::uint8_t* block) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = std::uint32_t(block[4 * i]) << 24 | std::uint32_t(block[4 * i + 1]) << 16 |
               std::uint32_t(block[4 * i + 2]) << 8 | std::uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t t1 = k + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += k;
}

void compress_portable(std::uint32_t h[8], const std::uint8_t* blocks, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) compress_one(h, blocks + 64 * i);
}

#ifdef NLX_SHA256_X86
// The same rounds with the SHA extensions: the state kept as ABEF and CDGH, four message words
// and four rounds a step.
struct ShaState {
    __m128i abef, cdgh;
};

__attribute__((target("sha,ssse3,sse4.1"))) inline ShaState load_state(const std::uint32_t h[8]) {
    const __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h)), 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h + 4)), 0x1B);
    return {_mm_alignr_epi8(cdab, efgh, 8), _mm_blend_epi16(efgh, cdab, 0xF0)};
}

__attribute__((target("sha,ssse3,sse4.1"))) inline void store_state(const ShaState& s, std::uint32_t h[8]) {
    const __m128i feba = _mm_shuffle_epi32(s.abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(s.cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h), _mm_blend_epi16(feba, dchg, 0xF0));  // A B C D
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + 4), _mm_alignr_epi8(dchg, feba, 8));  // E F G H
}

// Step i of a block (i < 4: its words are loaded): the message words 4i .. 4i+3, kept in
// w[i % 4], and four rounds.
__attribute__((target("sha,ssse3,sse4.1"))) inline void sha_step(ShaState& s, __m128i (&w)[4], int i,
                                                                 const std::uint8_t* block) {
    const __m128i swap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);  // big-endian words
    __m128i& q = w[i % 4];
    if (i < 4)
        q = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i)), swap);
    else
        q = _mm_sha256msg2_epu32(
            _mm_add_epi32(_mm_sha256msg1_epu32(q, w[(i + 1) % 4]), _mm_alignr_epi8(w[(i + 3) % 4], w[(i + 2) % 4], 4)),
            w[(i + 3) % 4]);
    __m128i msg = _mm_add_epi32(q, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound + 4 * i)));
    s.cdgh = _mm_sha256rnds2_epu32(s.cdgh, s.abef, msg);
    msg = _mm_shuffle_epi32(msg, 0x0E);
    s.abef = _mm_sha256rnds2_epu32(s.abef, s.cdgh, msg);
}

__attribute__((target("sha,ssse3,sse4.1"))) void compress_sha_ni(std::uint32_t h[8], const std::uint8_t* blocks,
                                                                 std::size_t count) {
    ShaState s = load_state(h);
    for (std::size_t b = 0; b < count; ++b) {
        const ShaState before = s;
        __m128i w[4];
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) sha_step(s, w, i, blocks + 64 * b);
        s.abef = _mm_add_epi32(s.abef, before.abef);
        s.cdgh = _mm_add_epi32(s.cdgh, before.cdgh);
    }
    store_state(s, h);
}

// Two strings' blocks side by side: each round waits on the one before it, and the other
// string's rounds fill that wait.
__attribute__((target("sha,ssse3,sse4.1"))) void compress_pair_sha_ni(std::uint32_t h[8], const std::uint8_t* blocks,
                                                                      std::uint32_t g[8], const std::uint8_t* others,
                                                                      std::size_t count) {
    ShaState s = load_state(h), t = load_state(g);
    for (std::size_t b = 0; b < count; ++b) {
        const ShaState before_s = s, before_t = t;
        __m128i w[4], v[4];
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            sha_step(s, w, i, blocks + 64 * b);
            sha_step(t, v, i, others + 64 * b);
        }
        s.abef = _mm_add_epi32(s.abef, before_s.abef);
        s.cdgh = _mm_add_epi32(s.cdgh, before_s.cdgh);
        t.abef = _mm_add_epi32(t.abef, before_t.abef);
        t.cdgh = _mm_add_epi32(t.cdgh, before_t.cdgh);
    }
    store_state(s, h);
    store_state(t, g);
}
#endif

using Compress = void (*)(std::uint32_t h[8], const std::uint8_t* blocks, std::size_t count);

// The fastest compression this processor runs, chosen once.
Compress fastest_compress() {
    static const Compress chosen = [] {
#ifdef NLX_SHA256_X86
        // The C library's own reading of the processor, made as it started: asking the processor
        // again (cpuid) costs tens of microseconds in a virtual machine, on every command.
        if (CPU_FEATURE_ACTIVE(SHA) && CPU_FEATURE_ACTIVE(SSE4_1)) return Compress(compress_sha_ni);
#endif
        return Compress(compress_portable);
    }();
    return chosen;
}

struct Hash {
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
};

// The digest of `bytes` whose first `done` whole blocks have gone through `hash` already.
std::array<std::uint8_t, 32> finish(Hash& hash, std::span<const std::uint8_t> bytes, std::size_t done, Compress compress) {
    const std::size_t whole = bytes.size() / 64;
    compress(hash.h, bytes.data() + 64 * done, whole - done);

    // The tail, a 1 bit, zeros, and the length in bits as a 64-bit big-endian number.
    std::uint8_t tail[128] = {};
    std::size_t rest = bytes.size() - 64 * whole;
    if (rest) std::memcpy(tail, bytes.data() + 64 * whole, rest);
    tail[rest] = 0x80;
    std::size_t tail_size = rest < 56 ? 64 : 128;
    std::uint64_t bits = std::uint64_t(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i) tail[tail_size - 1 - std::size_t(i)] = std::uint8_t(bits >> (8 * i));
    compress(hash.h, tail, tail_size / 64);

    std::array<std::uint8_t, 32> out{};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j) out[std::size_t(4 * i + j)] = std::uint8_t(hash.h[i] >> (24 - 8 * j));
    return out;
}

std::array<std::uint8_t, 32> digest(std::span<const std::uint8_t> bytes, Compress compress) {
    Hash hash;
    return finish(hash, bytes, 0, compress);
}

std::string hex_text(const std::array<std::uint8_t, 32>& digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(64, '0');
    std::size_t i = 0;
    for (std::uint8_t b : digest) {
        out[i++] = kHex[b >> 4];
        out[i++] = kHex[b & 15];
    }
    return out;
}

}  // namespace

std::array<std::uint8_t, 32> sha256(std::span<const std::uint8_t> bytes) { return digest(bytes, fastest_compress()); }

std::array<std::uint8_t, 32> sha256_portable(std::span<const std::uint8_t> bytes) {
    return digest(bytes, compress_portable);
}

bool sha256_has_instructions() { return fastest_compress() != compress_portable; }

std::string sha256_hex(std::span<const std::uint8_t> bytes) { return hex_text(sha256(bytes)); }

std::array<std::string, 2> sha256_hex_pair(std::span<const std::uint8_t> first, std::span<const std::uint8_t> second) {
    const Compress compress = fastest_compress();
    Hash a, b;
    std::size_t together = 0;
#ifdef NLX_SHA256_X86
    if (compress == compress_sha_ni) {
        together = std::min(first.size(), second.size()) / 64;
        compress_pair_sha_ni(a.h, first.data(), b.h, second.data(), together);
    }
#endif
    return {hex_text(finish(a, first, together, compress)), hex_text(finish(b, second, together, compress))};
}

}  // namespace nlx
