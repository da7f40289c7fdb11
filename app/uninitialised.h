#pragma once
#include <new>
#include <type_traits>
#include <utility>

#include "platform/os_file.h"

// An allocator whose resize leaves new elements uninitialised, for arrays
// whose every element is written before it is read (the model reader's
// values and rings, the covering's scratch lists): clearing megabytes first
// would only cost a pass over them.
// Its blocks are given their pages at once (OsPopulatedAllocator).
template <class T>
struct Uninitialised : OsPopulatedAllocator<T> {
    template <class U>
    struct rebind {
        using other = Uninitialised<U>;
    };
    Uninitialised() = default;
    template <class U>
    Uninitialised(const Uninitialised<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
