#pragma once

// Replaces the program's global operator new and delete so that a test can show a render path
// allocates nothing: allocations are counted while `counting` is on. The replacements are
// definitions of global operators, so exactly one translation unit of a test program includes
// this header. The operators are never inlined: GCC would otherwise see free() or delete given a
// pointer from malloc() or new and warn of a mismatch that the replacement pair does not have.
#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
// The nothrow forms too (libraries such as Boost.Filesystem use them), so that every allocation is
// counted and nothing made by the sanitizer's operator is released by the replacement above.
[[gnu::noinline]] void* operator new(std::size_t size, std::nothrow_t const&) noexcept {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return std::malloc(size == 0 ? 1 : size);
}
[[gnu::noinline]] void operator delete(void* p, std::nothrow_t const&) noexcept { std::free(p); }
