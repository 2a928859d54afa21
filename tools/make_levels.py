#!/usr/bin/env python3
"""Writes the shipped level packs (classic.tlp, arcade.tlp) in canonical layout.

Usage: tools/make_levels.py [output folder]   (default: assets/Levels Packs)

Levels are drawn as rows of 11 characters, top row first: '.' is an empty
cell, digits 1-9 are brick codes (1 Red, 2 Blue, 3 Orange, 4 Pink, 5 Green,
6 LightBlue, 7 White, 8 Grey, 9 Iron). Missing rows at the bottom are empty.
Every level is checked before it is written: at least one brick that can be
broken, and no breakable brick walled off from the bottom by iron.
"""
import math
import os
import sys

ROWS, COLUMNS = 22, 11


def mirror(half):
    """A symmetric row from its left six cells (the sixth is the centre)."""
    return [h + h[4::-1] for h in half]


def waves(colours, gap=1):
    """Bands that rise and fall across the field, one per colour."""
    rows = [["."] * COLUMNS for _ in range(len(colours) * (4 + gap) + 1)]
    for band, colour in enumerate(colours):
        for c in range(COLUMNS):
            r = band * (4 + gap) + round(1.5 + 1.5 * math.sin(c * math.pi / 5))
            rows[r][c] = rows[r + 1][c] = colour
    return ["".join(r) for r in rows]


def mosaic(seed, height, palette, grey_every):
    """Symmetric random tiles from a fixed seed, grey sprinkled in."""
    state = seed
    rows = []
    for r in range(height):
        half = ""
        for c in range(6):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            half += "8" if (state >> 8) % grey_every == 0 else palette[(state >> 12) % len(palette)]
        rows.append(half + half[4::-1])
    return rows


# (name, greyHits, bonusChance, background, rows)
CLASSIC = [
    ("Welcome", 1, 40, 1, [
        "...........",
        "...........",
        "...........",
        ".111111111.",
        ".333333333.",
        ".555555555.",
        ".222222222.",
    ]),
    ("Pyramid", 1, 40, 2, ["..........."] + mirror([
        ".....7",
        "....77",
        "...666",
        "..6666",
        ".55555",
        "444444",
    ])),
    ("Stripes", 1, 35, 3, [
        "...........",
        "1.1.1.1.1.1",
        "2.2.2.2.2.2",
        "88888888888",
        "3.3.3.3.3.3",
        "5.5.5.5.5.5",
    ]),
    ("Diamond", 1, 35, 4, mirror([
        ".....7",
        "....73",
        "...734",
        "..7345",
        ".73456",
        "..7345",
        "...734",
        "....73",
        ".....7",
    ])),
    ("First Iron", 2, 30, 1, [
        "...........",
        "66666666666",
        "55555555555",
        "9..9...9..9",
        "44444444444",
        "33333333333",
        "...........",
        "..9.....9..",
    ]),
    ("Checkers", 2, 30, 2, [
        "1.1.1.1.1.1",
        ".2.2.2.2.2.",
        "3.3.3.3.3.3",
        ".8.8.8.8.8.",
        "5.5.5.5.5.5",
        ".6.6.6.6.6.",
        "7.7.7.7.7.7",
    ]),
    ("Invader", 2, 30, 3, [
        "...........",
        "..5.....5..",
        "...5...5...",
        "..5555555..",
        ".55.555.55.",
        "55555555555",
        "5.5555555.5",
        "5.5.....5.5",
        "...44.44...",
    ]),
    ("Pillars", 2, 25, 4, [
        "44444444444",
        "9.6666666.9",
        "9.6888886.9",
        "9.6877786.9",
        "9.6888886.9",
        "9.6666666.9",
        "9.........9",
    ]),
    ("Heart", 2, 25, 1, [
        "...........",
        "..444.444..",
        ".444444444.",
        ".444111444.",
        "..4411144..",
        "...44144...",
        "....444....",
        ".....4.....",
    ]),
    ("Battlements", 2, 25, 2, [
        "22222222222",
        "27777777772",
        "27888888872",
        "27777777772",
        "22222222222",
        "99..999..99",
        "...........",
        "..5.....5..",
    ]),
    ("Rainbow", 2, 25, 3, [
        "...11111...",
        "..1222221..",
        ".123333321.",
        "12344444321",
        "1234...4321",
        "123.....321",
        "12.......21",
    ]),
    ("Cross", 3, 20, 4, [
        "....888....",
        "....858....",
        "....858....",
        "88888588888",
        "85555555558",
        "88888588888",
        "....858....",
        "....858....",
        "....888....",
    ]),
    ("Staircase", 2, 20, 1, [
        "1..........",
        "21.........",
        "321........",
        "4321.......",
        "54321......",
        "654321.....",
        "7654321....",
        ".7654321...",
        "..7654321..",
        "...8654321.",
        "....8854321",
    ]),
    ("Colonnade", 3, 20, 2, [
        "66666666666",
        "65.5.5.5.56",
        "6.........6",
        "9.9.9.9.9.9",
        "3.3.3.3.3.3",
        "3.3.3.3.3.3",
        "8.8.8.8.8.8",
    ]),
    ("Eye", 3, 20, 3, [
        "...77777...",
        ".777777777.",
        "77766666777",
        "77662226677",
        "77662926677",
        "77662226677",
        "77766666777",
        ".777777777.",
        "...77777...",
    ]),
    ("Gate", 3, 20, 4, [
        "999.999.999",
        ".444444444.",
        ".455555554.",
        ".456666654.",
        ".456777654.",
        ".456666654.",
        ".455555554.",
        "...........",
        "...........",
        "9.........9",
    ]),
    ("Twin Towers", 3, 20, 1, [
        "..3.....3..",
        ".333...333.",
        ".383...383.",
        ".333...333.",
        ".383...383.",
        ".333...333.",
        ".383...383.",
        ".333...333.",
        ".999...999.",
    ]),
    ("Waves", 3, 20, 2, waves(["5", "6", "8"])),
    ("Target", 3, 15, 3, [
        "11111111111",
        "12222222221",
        "12333333321",
        "12348884321",
        "12348984321",
        "12348884321",
        "12333333321",
        "12222222221",
        "11111111111",
    ]),
    ("Lattice", 3, 15, 4, [
        "55955955955",
        "...........",
        "66966966966",
        "...........",
        "77977977977",
        "...........",
        "88988988988",
    ]),
    ("Skull", 3, 15, 1, [
        "...77777...",
        "..7777777..",
        ".777777777.",
        ".779979977.",
        ".779979977.",
        ".777777777.",
        "..7777777..",
        "...7.7.7...",
        "...7.7.7...",
    ]),
    ("Bunker", 3, 15, 2, [
        "88888888888",
        "...........",
        ".88.....88.",
        "33333333333",
        "33333333333",
        ".88.....88.",
        "22222222222",
        "22222222222",
        "...........",
        "..9.....9..",
    ]),
    ("Maze", 3, 15, 3, [
        "55555555555",
        "999.....999",
        "44444444444",
        "9.....99999",
        "66666666666",
        "99999.....9",
        "11111111111",
    ]),
    ("Castle", 3, 15, 4, [
        "1.1.....1.1",
        "111.....111",
        "181.3.3.181",
        "111.333.111",
        "11133333111",
        "11138883111",
        "11138983111",
        "999.....999",
    ]),
    ("Dense Checkers", 4, 15, 1, [
        "12121212121",
        "21212121212",
        "88888888888",
        "34343434343",
        "43434343434",
        "88888888888",
        "56565656565",
        "65656565656",
        "...........",
        "9.........9",
    ]),
    ("Hourglass", 3, 12, 2, [
        "77777777777",
        ".777777777.",
        "..6666666..",
        "...66666...",
        "....585....",
        "...55555...",
        "..5555555..",
        ".444444444.",
        "44444444444",
        "...........",
        ".9.......9.",
    ]),
    ("Iron Ribs", 4, 12, 3, [
        "33333333333",
        "22222222222",
        "9..9...9..9",
        "11111111111",
        "88888888888",
        "9..9...9..9",
        "66666666666",
        "55555555555",
    ]),
    ("Mosaic", 4, 12, 4, mosaic(2024, 10, "1234567", 7)),
    ("Citadel", 4, 10, 1, [
        "9.........9",
        "..2222222..",
        "..2888882..",
        "..2844482..",
        "..2847482..",
        "..2844482..",
        "..2888882..",
        "..2222222..",
        "...........",
        "9.........9",
    ]),
    ("Crown", 4, 10, 2, [
        "7...7.7...7",
        "77.77777.77",
        "77777777777",
        "76767676767",
        "88888888888",
        "44444444444",
        "9999...9999",
        "33333333333",
        "88888888888",
    ]),
    ("Labyrinth", 4, 10, 3, [
        "66666666666",
        "68888888886",
        ".99.....99.",
        "55555555555",
        "58888888885",
        "...........",
        ".9.......9.",
        "44444444444",
        "48888888884",
        "...........",
        "..9.....9..",
    ]),
    ("Finale", 4, 10, 4, [
        "77777777777",
        "76666666667",
        "76555555567",
        "76544444567",
        "76543334567",
        "76543234567",
        "76543134567",
        "88888888888",
        "9999...9999",
        "88888888888",
        "...........",
        "...9...9...",
    ]),
]

# The classic levels' difficulty as tlpcheck --rate gave it (1 easy to 5 hard), in the order they are drawn
# above; the pack plays them from the easiest up, the drawn order kept among levels of one rating.
CLASSIC_RATINGS = [1, 1, 1, 1, 2, 2, 2, 2, 1, 2, 2, 4, 2, 3, 3, 2, 1, 3, 4, 4, 1, 3, 3, 2, 4, 2, 4, 5, 2, 4, 4, 4]
assert len(CLASSIC_RATINGS) == len(CLASSIC)
CLASSIC = [level for _, level in sorted(zip(CLASSIC_RATINGS, CLASSIC), key=lambda pair: pair[0])]

# Quick arcade set: generous capsules, soft grey.
ARCADE = [
    ("Blast Off", 1, 50, 3, [
        "...........",
        "12345676543",
        "23456767654",
        "34567676765",
    ]),
    ("Rain", 1, 50, 1, [
        "6.6.6.6.6.6",
        ".6.6.6.6.6.",
        "2.2.2.2.2.2",
        ".2.2.2.2.2.",
        "6.6.6.6.6.6",
        ".7.7.7.7.7.",
        "...........",
        "..8.....8..",
    ]),
    ("Bars", 2, 45, 2, [
        "1.3.5.7.5.3",
        "1.3.5.7.5.3",
        "1.3.5.7.5.3",
        "1.3.5.7.5.3",
        "8.8.8.8.8.8",
        "...........",
        "9....9....9",
    ]),
    ("Orbit", 2, 45, 4, mirror([
        "...444",
        "..4...",
        ".4.222",
        ".4.2.6",
        ".4.2.9",
        ".4.2.6",
        ".4.222",
        "..4...",
        "...444",
    ])),
    ("Storm", 2, 40, 2, waves(["3", "1", "4"], gap=0) + ["88888888888"]),
    ("Finish Line", 2, 40, 1, [
        "7.7.7.7.7.7",
        ".7.7.7.7.7.",
        "7.7.7.7.7.7",
        "22222222222",
        "88888888888",
        "99..999..99",
        "55555555555",
    ]),
]


def grid_of(name, rows):
    if len(rows) > ROWS:
        raise ValueError(f"{name}: {len(rows)} rows, at most {ROWS}")
    grid = []
    for row in rows + ["." * COLUMNS] * (ROWS - len(rows)):
        if len(row) != COLUMNS or any(ch not in ".123456789" for ch in row):
            raise ValueError(f"{name}: bad row {row!r}")
        grid.append([0 if ch == "." else int(ch) for ch in row])
    return grid


def check_clearable(name, grid):
    """Every breakable brick is reachable from below through non-iron cells."""
    breakable = {(r, c) for r in range(ROWS) for c in range(COLUMNS) if 1 <= grid[r][c] <= 8}
    if not breakable:
        raise ValueError(f"{name}: nothing to break")
    seen = {(ROWS - 1, c) for c in range(COLUMNS) if grid[ROWS - 1][c] != 9}
    todo = list(seen)
    while todo:
        r, c = todo.pop()
        for nr, nc in ((r - 1, c), (r + 1, c), (r, c - 1), (r, c + 1)):
            if 0 <= nr < ROWS and 0 <= nc < COLUMNS and (nr, nc) not in seen and grid[nr][nc] != 9:
                seen.add((nr, nc))
                todo.append((nr, nc))
    sealed = breakable - seen
    if sealed:
        raise ValueError(f"{name}: bricks sealed in by iron at {sorted(sealed)}")


# The arcade levels' ratings, as for the classic ones.
ARCADE_RATINGS = [2, 1, 1, 1, 2, 2]
assert len(ARCADE_RATINGS) == len(ARCADE)
ARCADE = [level for _, level in sorted(zip(ARCADE_RATINGS, ARCADE), key=lambda pair: pair[0])]


def pack_text(levels):
    out = [f"{len(levels)}\n"]
    for number, (name, grey_hits, bonus, background, rows) in enumerate(levels, start=1):
        if not (1 <= grey_hits <= 4 and 0 <= bonus <= 100 and 1 <= background <= 4):
            raise ValueError(f"{name}: header out of range")
        grid = grid_of(name, rows)
        check_clearable(name, grid)
        out.append(f"{number} {grey_hits} {bonus} {background}\n")
        out.extend(" ".join(str(v) for v in row) + "\n" for row in grid)
    return "".join(out)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "assets", "Levels Packs")
    for file_name, levels in (("classic.tlp", CLASSIC), ("arcade.tlp", ARCADE)):
        with open(os.path.join(folder, file_name), "w", newline="\n") as f:
            f.write(pack_text(levels))
        print(f"{file_name}: {len(levels)} levels")


if __name__ == "__main__":
    main()
