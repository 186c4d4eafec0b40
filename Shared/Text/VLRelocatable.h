#pragma once
#include <type_traits>

// Element types whose objects may be moved by copying their bytes (the old
// bytes are then dropped without running a destructor). The arrays use
// memmove for these.
template <class T>
struct VLIsRelocatable : std::is_trivially_copyable<T>
{
};
