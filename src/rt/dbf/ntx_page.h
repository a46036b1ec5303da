// The on-disk layout of NTX index files (internal to the index engine).
//
// Header (page 0): signature 6 (u16 @0), version counter (u16 @2), root page (u32 @4), first free
// page (u32 @8), item size = key size + 8 (u16 @12), key size (u16 @14), key decimals (u16 @16),
// max items per page (u16 @18), half of it (u16 @20), key expression text (@22, NUL-terminated),
// unique flag (byte @278); other engines put a descending flag at 280 and a FOR condition at 282.
// All integers little-endian.
//
// A page (1024 bytes): item count n (u16 @0), then max + 1 item offsets (u16, from the page start),
// then the items. An item is: child page (u32, 0 in leaves), record number (u32), key bytes. Items
// 0..n-1 are the page's entries in key order; item n carries only the rightmost child pointer.
// The offsets n+1..max name the unused item slots, so every page always holds a permutation of its
// item slots and an insertion only shifts offsets.
//
// Free pages: the header's free pointer names the first one; the child pointer of a free page's
// item 0 (the item named by offset slot 0) holds the next free page, 0 ends the chain. This engine
// also sets the count of a free page to 0; other engines may leave the old keys in it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rt::dbf::ntx {

constexpr uint32_t kPageSize = 1024;
constexpr int kMaxDepth = 48;           // deeper than any valid tree of 2^32 entries
constexpr long long kLockOffset = 1000000000LL;

inline uint16_t rd16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t rd32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void wr16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void wr32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Memory for sorting keys when an index is built; larger tables are sorted in runs on temporary
// files. Tests lower it to exercise the merge.
inline size_t& sort_budget() {
    static size_t bytes = size_t{64} << 20;
    return bytes;
}

// Pages read from a mapping count towards the process's memory once touched, so an index file of
// up to map_limit() bytes is mapped for reading; a larger one is read page by page into a cache of
// cache_pages() pages. Tests lower both to exercise the cache.
inline size_t& map_limit() {
    static size_t bytes = size_t{40} << 20;
    return bytes;
}
inline size_t& cache_pages() {
    static size_t n = 8192;
    return n;
}

// Max items per page for a key size: what fits with its offset slot, less one for the rightmost
// child item, rounded down to even.
inline int max_items(int key_size) {
    int m = static_cast<int>((kPageSize - 2) / static_cast<uint32_t>(key_size + 10)) - 1;
    return m & ~1;
}

// Accessors of a page image.
struct PageView {
    const uint8_t* b;
    int count() const { return rd16(b); }
    int slot(int i) const { return rd16(b + 2 + 2 * i); }
    const uint8_t* item(int i) const { return b + slot(i); }
    uint32_t child(int i) const { return rd32(item(i)); }
    uint32_t rec(int i) const { return rd32(item(i) + 4); }
    const uint8_t* key(int i) const { return item(i) + 8; }
};

// Writes a page in canonical form: offsets in slot order, items packed after the offset table.
// keys holds n * key_size bytes, recs n record numbers, children n + 1 page offsets.
inline void encode_page(uint8_t* b, int max, int key_size, int n, const uint32_t* children,
                        const uint32_t* recs, const char* keys) {
    std::memset(b, 0, kPageSize);
    wr16(b, static_cast<uint32_t>(n));
    const int item = key_size + 8;
    const int base = 2 + 2 * (max + 1);
    for (int i = 0; i <= max; ++i) wr16(b + 2 + 2 * i, static_cast<uint32_t>(base + i * item));
    for (int i = 0; i < n; ++i) {
        uint8_t* it = b + base + i * item;
        wr32(it, children ? children[i] : 0);
        wr32(it + 4, recs[i]);
        std::memcpy(it + 8, keys + static_cast<size_t>(i) * static_cast<size_t>(key_size), static_cast<size_t>(key_size));
    }
    wr32(b + base + n * item, children ? children[n] : 0);
}

}  // namespace rt::dbf::ntx
