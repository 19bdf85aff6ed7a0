// Tables indexed by an enum keep their key in every row, so that a row out of
// place (or an enum whose values were reordered) fails the build instead of
// quietly giving an item another item's place or picture:
//
//   static_assert(rowsInKeyOrder(kRows, &Row::item));
#pragma once
#include <array>
#include <cstddef>

// True if row i of the table holds the key whose value is first + i, for
// every row.
template <class Row, std::size_t N, class Key>
constexpr bool rowsInKeyOrder(const Row (&rows)[N], Key Row::*key, Key first = Key{}) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(rows[i].*key) != static_cast<std::size_t>(first) + i) return false;
    return true;
}

template <class Row, std::size_t N, class Key>
constexpr bool rowsInKeyOrder(const std::array<Row, N>& rows, Key Row::*key, Key first = Key{}) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(rows[i].*key) != static_cast<std::size_t>(first) + i) return false;
    return true;
}
