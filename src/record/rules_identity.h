// The rules a dive is played under, as one number: a record made under other
// rules would play as a different dive, so it is refused by name instead.
//
// It is the FNV-1a hash (32 bits) of the golden traces, tests/traces/*.trace
// in the order of their names, each as its name, a newline and its bytes.
// The traces are recorded again exactly when the game's behaviour changes,
// and the record tests fail until this number is that of the new traces.
#pragma once
#include <cstdint>

inline constexpr uint32_t kRulesIdentity = 0xc36c04feu;
