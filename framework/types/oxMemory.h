// The framework's allocation pair: every framework object is made and freed through it.
#pragma once
#include <cstddef>
#include <new>
#include <utility>

// Zero-filled storage of max(n, 32) bytes; null on failure, never throws.
void* oxAllocate(std::size_t n) noexcept;
// Releases storage from oxAllocate; null is ignored.
void oxRelease(void* p) noexcept;

// Constructs a T in storage from the pair. Null when the storage cannot be had; when the
// constructor throws, the storage is released and the exception goes on.
template <class T, class... Args> T* oxNew(Args&&... args) {
    void* p = oxAllocate(sizeof(T));
    if (!p)
        return nullptr;
    try {
        return ::new (p) T(std::forward<Args>(args)...);
    } catch (...) {
        oxRelease(p);
        throw;
    }
}

// Destroys an object made by oxNew and releases its storage; null is ignored.
template <class T> void oxDelete(T* p) noexcept {
    if (p) {
        p->~T();
        oxRelease(p);
    }
}
