#pragma once

// Replaces the global allocation functions of a test program, which also
// covers the library (it calls the same operator new), so that a test can
// count or fail the allocations a call makes. Every ordinary form is
// replaced, so that whatever allocates (PROJ, gtest, the library) frees with
// the matching function, also under AddressSanitizer's mismatch check.
//
// Include in exactly one source file of a program (the functions below are
// the program's one definition), and define ZrTestAllocate there: it is
// called for every allocation and returns null to make that one fail.
#include <cstdlib>
#include <new>

void* ZrTestAllocate(std::size_t size);

// GCC 12 takes the free() of this replacement for a mismatch once vector code
// is inlined into it; the pairs new/delete below are matched by construction.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    if (void* p = ZrTestAllocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = ZrTestAllocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return ZrTestAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return ZrTestAllocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
