#!/usr/bin/env python3
"""Works out fields by hand, apart from the game's code.

A plain Mersenne Twister (MT19937 with its standard 32-bit seeding, written
from Matsumoto and Nishimura's description) and the field rules: 15 + (raw & 15)
microbes; 1 + a masked draw in [0, 2] types; each type 1 + a masked draw in
[0, 14]; the slots cycle through the drawn list; the difficulty is the sum of
the type table's weights; the first microbe lies at 15 + 980 u, 105 + 490 u
pixels on the 1024 x 768 field. FieldGenerationTest and RandomTest hold the
numbers this prints.

    python3 tests/reference/fieldgen.py [seed ...]
"""
import sys


class MT19937:
    def __init__(self, seed):
        self.state = [seed & 0xFFFFFFFF]
        for i in range(1, 624):
            prev = self.state[-1]
            self.state.append((1812433253 * (prev ^ (prev >> 30)) + i) & 0xFFFFFFFF)
        self.index = 624

    def raw(self):
        if self.index >= 624:
            for k in range(624):
                y = (self.state[k] & 0x80000000) | (self.state[(k + 1) % 624] & 0x7FFFFFFF)
                self.state[k] = self.state[(k + 397) % 624] ^ (y >> 1) ^ (0x9908B0DF if y & 1 else 0)
            self.index = 0
        y = self.state[self.index]
        self.index += 1
        y ^= y >> 11
        y ^= (y << 7) & 0x9D2C5680
        y ^= (y << 15) & 0xEFC60000
        y ^= y >> 18
        return y & 0xFFFFFFFF

    def masked(self, n, mask):
        while True:
            v = self.raw() & mask
            if v <= n:
                return v


# The difficulty weight of each ordinary type, from the type table.
DIFFICULTY = {1: -1, 2: -2, 3: 1, 4: 2, 5: 2, 6: 2, 7: 2, 8: -1, 9: 2, 10: 2,
              11: 2, 12: 2, 13: 1, 14: 3, 15: 3}


def field(seed):
    g = MT19937(seed)
    count = 15 + (g.raw() & 15)
    types = [1 + g.masked(14, 15) for _ in range(1 + g.masked(2, 3))]
    slots = [types[i % len(types)] for i in range(count)]
    x = 15.0 + 980.0 * (g.raw() / 4294967295.0)
    y = 105.0 + 490.0 * (g.raw() / 4294967295.0)
    return count, types, sum(DIFFICULTY[t] for t in slots), (x, y)


def main():
    zero = MT19937(0)
    print("seed 0, first draws:", [zero.raw() for _ in range(5)])
    standard = MT19937(5489)
    first = standard.raw()
    for _ in range(9998):
        standard.raw()
    print("seed 5489, first and 10000th draws:", first, standard.raw())
    for seed in [int(a) for a in sys.argv[1:]] or [0, 1, 26]:
        count, types, difficulty, (x, y) = field(seed)
        print(f"seed {seed}: {count} microbes, types {types}, difficulty {difficulty}, "
              f"first at ({x:.3f}, {y:.3f})")


if __name__ == "__main__":
    main()
