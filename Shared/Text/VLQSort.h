#pragma once
// VLQSort: in-place quicksort of an element range with a "less" predicate.
// Median-of-three partitioning, insertion sort for short ranges and a heap
// sort fallback when partitions keep coming out lopsided, so sorted,
// reversed and all-equal inputs stay O(n log n).

#include <utility>

namespace VLQSortDetail
{
template <class T, class Less>
void InsertionSort(T* first, int count, Less& less)
{
    for (int i = 1; i < count; ++i)
    {
        if (!less(first[i], first[i - 1]))
            continue;
        T value(std::move(first[i]));
        int j = i;
        do
        {
            first[j] = std::move(first[j - 1]);
            --j;
        } while (j > 0 && less(value, first[j - 1]));
        first[j] = std::move(value);
    }
}

template <class T, class Less>
void SiftDown(T* first, int root, int count, Less& less)
{
    using std::swap;
    for (;;)
    {
        int child = 2 * root + 1;
        if (child >= count)
            return;
        if (child + 1 < count && less(first[child], first[child + 1]))
            ++child;
        if (!less(first[root], first[child]))
            return;
        swap(first[root], first[child]);
        root = child;
    }
}

template <class T, class Less>
void HeapSort(T* first, int count, Less& less)
{
    using std::swap;
    for (int i = count / 2 - 1; i >= 0; --i)
        SiftDown(first, i, count, less);
    for (int end = count - 1; end > 0; --end)
    {
        swap(first[0], first[end]);
        SiftDown(first, 0, end, less);
    }
}

template <class T, class Less>
void Sort(T* first, int count, Less& less, int depth)
{
    using std::swap;
    while (count > 16)
    {
        if (depth-- == 0)
        {
            HeapSort(first, count, less);
            return;
        }
        int mid = count / 2;
        int last = count - 1;
        // Median of three moved to first[0] as the pivot.
        if (less(first[mid], first[0]))
            swap(first[mid], first[0]);
        if (less(first[last], first[mid]))
        {
            swap(first[last], first[mid]);
            if (less(first[mid], first[0]))
                swap(first[mid], first[0]);
        }
        swap(first[0], first[mid]);
        // Hoare partition around first[0]; equal keys split evenly.
        int i = 0;
        int j = count;
        for (;;)
        {
            do
                ++i;
            while (i < count && less(first[i], first[0]));
            do
                --j;
            while (less(first[0], first[j]));
            if (i >= j)
                break;
            swap(first[i], first[j]);
        }
        swap(first[0], first[j]);
        // Recurse into the smaller side, loop on the larger.
        int leftCount = j;
        int rightCount = count - j - 1;
        if (leftCount < rightCount)
        {
            Sort(first, leftCount, less, depth);
            first += j + 1;
            count = rightCount;
        }
        else
        {
            Sort(first + j + 1, rightCount, less, depth);
            count = leftCount;
        }
    }
    InsertionSort(first, count, less);
}
}  // namespace VLQSortDetail

template <class T, class Less>
void VLQSort(T* first, int count, Less less)
{
    if (!first || count < 2)
        return;
    int depth = 0;
    for (int n = count; n > 1; n >>= 1)
        depth += 2;
    VLQSortDetail::Sort(first, count, less, depth);
}
