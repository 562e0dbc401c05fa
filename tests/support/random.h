// A random source for generated test inputs: the same sequence everywhere
// for a seed, so that a campaign can be repeated case by case.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// splitmix64: small, and the same sequence everywhere for a seed.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
    bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
    template <typename T> const T &Pick(const std::vector<T> &items) { return items[Below(items.size())]; }
    std::string Bytes(size_t n)
    {
        std::string bytes(n, '\0');
        for (char &b : bytes)
            b = static_cast<char>(Next());
        return bytes;
    }
    // Text an INI file can hold on one line: no line breaks, no NUL.
    std::string Text(size_t n)
    {
        std::string text = Bytes(n);
        for (char &c : text) {
            if (c == '\0' || c == '\r' || c == '\n')
                c = 'x';
        }
        return text;
    }
    // A length that is often at or near a limit of the launcher's buffers.
    size_t Length()
    {
        static const std::vector<size_t> edges = {0, 1, 7, 8, 15, 16, 63, 64, 119, 120, 127, 128, 254, 255, 256, 259, 260, 300, 1024, 5000};
        return Chance(70) ? Pick(edges) : Below(600);
    }

private:
    uint64_t state_;
};
