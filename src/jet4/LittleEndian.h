#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

namespace jet4 {

// Every multi-byte number in a Jet file is little-endian, whatever the host.
template <std::integral T>
void storeLE(std::span<std::uint8_t> target, std::size_t offset, T value)
{
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        target[offset + i] = static_cast<std::uint8_t>(bits & 0xFFu);
        bits = static_cast<std::make_unsigned_t<T>>(bits >> 8);
    }
}

template <std::integral T>
void appendLE(std::vector<std::uint8_t> &target, T value)
{
    const std::size_t offset = target.size();
    target.resize(offset + sizeof(T));
    storeLE(target, offset, value);
}

} // namespace jet4
