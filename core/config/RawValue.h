#pragma once
// Raw values of the shared enumerations. Each enumeration header specialises
// fromRawValue<E> and allCases<E>; rawValue(E) and displayName(E) are overloads.
// Construction from a raw value is exact and case-sensitive.

#include <optional>
#include <string_view>
#include <vector>

namespace quorix {

template <class E>
std::optional<E> fromRawValue(std::string_view raw);

// The cases in declaration order (also the order menus and pickers show them).
template <class E>
std::vector<E> allCases();

namespace detail {
template <class E>
std::optional<E> findRawValue(std::string_view raw) {
    for (E e : allCases<E>()) {
        if (rawValue(e) == raw) {
            return e;
        }
    }
    return std::nullopt;
}
}  // namespace detail

}  // namespace quorix
