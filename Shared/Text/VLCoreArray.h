#pragma once
// The array family: VLArrayBase (count, capacity, GrowBy), VLCoreArray
// (element storage), VLArray (element-wise operations), VLNumberArray and
// VLPointerArray (numbers and pointers not owned), VLOwnedPtrArray (deletes
// its elements).
//
// Growth: with GrowBy g (not -1) room for n elements becomes g * (n / g + 1);
// otherwise the first of 4, 64, 256, 1024, 4096, 16384, 65536 that is at
// least n, and n + 65536 above that. Removing moves the tail down and zero-
// fills the freed slots. Out-of-range indexes do nothing.

#include "VLQSort.h"
#include "VLRelocatable.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

class VLArrayBase
{
public:
    int GetCount() const { return m_count; }
    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    int GetCapacity() const { return m_capacity; }
    int GetGrowBy() const { return m_growBy; }
    // g > 0 sets a fixed step; -1 (or anything below 1) the default table.
    void SetGrowBy(int growBy) { m_growBy = growBy > 0 ? growBy : -1; }
    bool IsValidIndex(int index) const { return index >= 0 && index < m_count; }

    // Capacity to allocate for `needed` elements under the growth rule.
    static int ComputeCapacity(int needed, int growBy);

protected:
    VLArrayBase() = default;
    ~VLArrayBase() = default;

    int32_t m_count = 0;
    int32_t m_capacity = 0;
    int32_t m_growBy = -1;
};

template <class T>
class VLCoreArray : public VLArrayBase
{
public:
    VLCoreArray() = default;
    explicit VLCoreArray(int growBy) { SetGrowBy(growBy); }
    VLCoreArray(const VLCoreArray& other) { Copy(other); }
    VLCoreArray(VLCoreArray&& other) noexcept { SwapContents(other); }
    virtual ~VLCoreArray() { FreeAll(); }
    VLCoreArray& operator=(const VLCoreArray& other)
    {
        if (this != &other)
            Copy(other);
        return *this;
    }
    VLCoreArray& operator=(VLCoreArray&& other) noexcept
    {
        if (this != &other)
        {
            FreeAll();
            SwapContents(other);
        }
        return *this;
    }

    T& operator[](int index) { return m_pData[index]; }
    const T& operator[](int index) const { return m_pData[index]; }
    T& ElementAt(int index) { return m_pData[index]; }
    const T& GetAt(int index) const { return m_pData[index]; }
    T* GetData() { return m_pData; }
    const T* GetData() const { return m_pData; }
    T* begin() { return m_pData; }
    T* end() { return m_pData + m_count; }
    const T* begin() const { return m_pData; }
    const T* end() const { return m_pData + m_count; }
    T& GetLast() { return m_pData[m_count - 1]; }
    const T& GetLast() const { return m_pData[m_count - 1]; }

    bool SetAt(int index, const T& value)
    {
        if (!IsValidIndex(index))
            return false;
        m_pData[index] = value;
        return true;
    }

    int Add(const T& value)
    {
        if (m_count == m_capacity)
        {
            T copy(value);  // value may live in this array
            Grow(m_count + 1);
            new (m_pData + m_count) T(std::move(copy));
        }
        else
        {
            new (m_pData + m_count) T(value);
        }
        return m_count++;
    }
    int Add(T&& value)
    {
        if (m_count == m_capacity)
        {
            T moved(std::move(value));
            Grow(m_count + 1);
            new (m_pData + m_count) T(std::move(moved));
        }
        else
        {
            new (m_pData + m_count) T(std::move(value));
        }
        return m_count++;
    }
    void Append(const VLCoreArray& other)
    {
        if (&other == this)
        {
            VLCoreArray copy(other);
            Append(copy);
            return;
        }
        Reserve(m_count + other.m_count);
        for (int i = 0; i < other.m_count; ++i)
            new (m_pData + m_count + i) T(other.m_pData[i]);
        m_count += other.m_count;
    }

    // Inserts `count` copies at index 0..count inclusive.
    bool InsertAt(int index, const T& value, int count = 1)
    {
        if (index < 0 || index > m_count || count <= 0)
            return false;
        T copy(value);
        Grow(m_count + count);
        MoveRange(index + count, index, m_count - index);
        for (int i = 0; i < count; ++i)
            new (m_pData + index + i) T(copy);
        m_count += count;
        return true;
    }

    // Removes up to `count` elements from index.
    bool RemoveAt(int index, int count = 1)
    {
        if (!IsValidIndex(index) || count <= 0)
            return false;
        if (count > m_count - index)
            count = m_count - index;
        for (int i = 0; i < count; ++i)
            DisposeElement(m_pData[index + i]);
        MoveRange(index, index + count, m_count - index - count);
        m_count -= count;
        std::memset(static_cast<void*>(m_pData + m_count), 0, sizeof(T) * count);
        return true;
    }
    void RemoveLast()
    {
        if (m_count > 0)
            RemoveAt(m_count - 1);
    }
    // Removes every element and frees the storage.
    void RemoveAll() { FreeAll(); }

    // Grows with default-constructed elements or shrinks.
    void SetSize(int count)
    {
        if (count < 0)
            count = 0;
        if (count < m_count)
        {
            RemoveAt(count, m_count - count);
            return;
        }
        Reserve(count);
        for (int i = m_count; i < count; ++i)
            new (m_pData + i) T();
        m_count = count;
    }
    // Makes room for `capacity` elements under the growth rule.
    void Reserve(int capacity)
    {
        if (capacity > m_capacity)
            Grow(capacity);
    }
    // Makes room for exactly `capacity` elements.
    void SetCapacityExact(int capacity)
    {
        if (capacity > m_capacity)
            Reallocate(capacity);
    }
    void Copy(const VLCoreArray& other)
    {
        if (&other == this)
            return;
        FreeAll();
        m_growBy = other.m_growBy;
        if (other.m_count == 0)
            return;
        Reallocate(other.m_count);
        for (int i = 0; i < other.m_count; ++i)
            new (m_pData + i) T(other.m_pData[i]);
        m_count = other.m_count;
    }
    void SwapElements(int a, int b)
    {
        using std::swap;
        swap(m_pData[a], m_pData[b]);
    }
    void SwapContents(VLCoreArray& other) noexcept
    {
        std::swap(m_count, other.m_count);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_growBy, other.m_growBy);
        std::swap(m_pData, other.m_pData);
    }

protected:
    // Called for each element about to be removed; the owned-pointer arrays
    // delete what it points to.
    virtual void DisposeElement(T& element) { element.~T(); }
    // The owning forms must call FreeAll in their own destructor, since the
    // base destructor no longer reaches their DisposeElement.
    void FreeAll()
    {
        for (int i = 0; i < m_count; ++i)
            DisposeElement(m_pData[i]);
        ::operator delete(static_cast<void*>(m_pData));
        m_pData = nullptr;
        m_count = 0;
        m_capacity = 0;
    }

    void Grow(int needed)
    {
        if (needed <= m_capacity)
            return;
        Reallocate(ComputeCapacity(needed, m_growBy));
    }

private:
    void Reallocate(int capacity)
    {
        T* data = static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(capacity)));
        if constexpr (VLIsRelocatable<T>::value)
        {
            if (m_count)
                std::memcpy(static_cast<void*>(data), static_cast<const void*>(m_pData), sizeof(T) * m_count);
        }
        else
        {
            for (int i = 0; i < m_count; ++i)
            {
                new (data + i) T(std::move(m_pData[i]));
                m_pData[i].~T();
            }
        }
        std::memset(static_cast<void*>(data + m_count), 0, sizeof(T) * (capacity - m_count));
        ::operator delete(static_cast<void*>(m_pData));
        m_pData = data;
        m_capacity = capacity;
    }
    // Moves `count` live elements from `from` to `to` (into raw slots).
    void MoveRange(int to, int from, int count)
    {
        if (count <= 0 || to == from)
            return;
        if constexpr (VLIsRelocatable<T>::value)
        {
            std::memmove(static_cast<void*>(m_pData + to), static_cast<const void*>(m_pData + from),
                         sizeof(T) * count);
        }
        else if (to > from)
        {
            for (int i = count - 1; i >= 0; --i)
            {
                new (m_pData + to + i) T(std::move(m_pData[from + i]));
                m_pData[from + i].~T();
            }
        }
        else
        {
            for (int i = 0; i < count; ++i)
            {
                new (m_pData + to + i) T(std::move(m_pData[from + i]));
                m_pData[from + i].~T();
            }
        }
    }

    T* m_pData = nullptr;
};

// Element-wise operations over values that compare with ==.
template <class T>
class VLArray : public VLCoreArray<T>
{
public:
    using VLCoreArray<T>::VLCoreArray;

    int Find(const T& value, int start = 0) const
    {
        for (int i = start < 0 ? 0 : start; i < this->m_count; ++i)
            if ((*this)[i] == value)
                return i;
        return -1;
    }
    bool Contains(const T& value) const { return Find(value) >= 0; }
    // Removes every element equal to value; returns how many.
    int RemoveValue(const T& value)
    {
        int removed = 0;
        for (int i = this->m_count - 1; i >= 0; --i)
        {
            if ((*this)[i] == value)
            {
                this->RemoveAt(i);
                ++removed;
            }
        }
        return removed;
    }
    // Adds value unless present; returns its index.
    int AddUnique(const T& value)
    {
        int i = Find(value);
        return i >= 0 ? i : this->Add(value);
    }
    friend bool operator==(const VLArray& a, const VLArray& b)
    {
        if (a.GetCount() != b.GetCount())
            return false;
        for (int i = 0; i < a.GetCount(); ++i)
            if (!(a[i] == b[i]))
                return false;
        return true;
    }
};

// Numbers and raw pointers.
template <class T>
class VLNumberArray : public VLArray<T>
{
public:
    using VLArray<T>::VLArray;

    void Sort()
    {
        VLQSort(this->GetData(), this->GetCount(), [](const T& a, const T& b) { return a < b; });
    }
};

// Pointers that the array does not own.
template <class T>
class VLPointerArray : public VLNumberArray<T*>
{
public:
    using VLNumberArray<T*>::VLNumberArray;
};

// Owns its pointers: deletes every element it removes and every element
// left at its destruction. Not copyable.
template <class T>
class VLOwnedPtrArray : public VLCoreArray<T*>
{
public:
    VLOwnedPtrArray() = default;
    VLOwnedPtrArray(const VLOwnedPtrArray&) = delete;
    VLOwnedPtrArray& operator=(const VLOwnedPtrArray&) = delete;
    VLOwnedPtrArray(VLOwnedPtrArray&& other) noexcept { this->SwapContents(other); }
    VLOwnedPtrArray& operator=(VLOwnedPtrArray&& other) noexcept
    {
        if (this != &other)
        {
            this->FreeAll();
            this->SwapContents(other);
        }
        return *this;
    }
    ~VLOwnedPtrArray() { this->FreeAll(); }

    // Replaces (and deletes) the element at index.
    bool SetAt(int index, T* value)
    {
        if (!this->IsValidIndex(index))
            return false;
        T* old = (*this)[index];
        (*this)[index] = value;
        if (old != value)
            delete old;
        return true;
    }
    // Takes the element out without deleting it.
    T* Detach(int index)
    {
        if (!this->IsValidIndex(index))
            return nullptr;
        T* p = (*this)[index];
        (*this)[index] = nullptr;
        this->RemoveAt(index);
        return p;
    }
    int Find(const T* value) const
    {
        for (int i = 0; i < this->GetCount(); ++i)
            if ((*this)[i] == value)
                return i;
        return -1;
    }

protected:
    void DisposeElement(T*& element) override
    {
        delete element;
        element = nullptr;
    }
};
