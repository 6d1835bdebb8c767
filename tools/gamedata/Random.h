#pragma once

#include <cstdint>

namespace gamedata {

// SplitMix64: the same numbers for the same seed on every platform and
// standard library, which the <random> distributions do not promise.
class Random {
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed) { }

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A number in [0, bound); bound > 0. The modulo bias is below 1e-12 for
    // the bounds used here.
    std::uint64_t below(std::uint64_t bound) { return next() % bound; }

    // True with the given chance in percent.
    bool percent(unsigned chance) { return below(100) < chance; }

private:
    std::uint64_t m_state;
};

// Independent streams from one seed, so that the characters come out the
// same whatever the size of the item table.
enum class Stream : std::uint64_t { Characters = 1,
                                    Items = 2,
                                    Pets = 3,
                                    ItemTable = 4 };

inline Random streamOf(std::uint64_t seed, Stream stream)
{
    Random mixer(seed ^ (std::uint64_t(stream) * 0xD6E8FEB86659FD93ULL));
    return Random(mixer.next());
}

} // namespace gamedata
