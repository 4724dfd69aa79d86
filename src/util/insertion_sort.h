#pragma once
// A stable insertion sort without allocation: the lists it orders (moves of a node, root moves)
// are short and often nearly sorted already.

namespace zelmora {

// Orders [begin, end) so that before(a, b) holds for no b in front of a; equal elements keep
// their order.
template <class T, class Before>
void insertionSort(T* begin, T* end, Before before) {
    for (T* i = begin + 1; i < end; ++i) {
        const T moving = *i;
        T* j = i;
        for (; j > begin && before(moving, *(j - 1)); --j) *j = *(j - 1);
        *j = moving;
    }
}

}  // namespace zelmora
