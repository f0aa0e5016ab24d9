"""The quest: every level's board, objective, colours and time, and its place
on the sea chart. tools/levels/make-levels writes the level files, the map and
the arcade sets from this file; edit here, not in data/level.

Times are seconds at Normal (Easy doubles them, Hard halves them).
"""

from boards import (blank, cells, cut, cut_rect, diamond, ellipse, from_rows, mirror, paint, place, prune, rect)

LEVELS = []


def level(lid, title, time, colours, board, *, jewels=0, disable=(), artifact=None, award=None,
          under=None, page=None, at=None, parents=(), bonus=False):
    under = under or getattr(board, "under", None)
    LEVELS.append(dict(id=lid, title=title, time=time, colours=colours, board=list(board), jewels=jewels,
                       disable=tuple(disable), artifact=artifact, award=award, under=under,
                       at=at, parents=tuple(parents), bonus=bonus))


# ------------------------------------------------------------ square patterns

def inside(c0, r0, w, h):
    return lambda c, r: c0 <= c < c0 + w and r0 <= r < r0 + h


def rows_of(*rs):
    return lambda c, r: r in rs


def cols_of(*cs):
    return lambda c, r: c in cs


def either(*preds):
    return lambda c, r: any(p(c, r) for p in preds)


def border(mask):
    def pred(c, r):
        for dc, dr in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            cc, rr = c + dc, r + dr
            if not (0 <= cc < 18 and 0 <= rr < 14) or not mask[rr][cc]:
                return True
        return False
    return pred


def not_(pred):
    return lambda c, r: not pred(c, r)


def checker(c, r):
    return (c + r) % 2 == 0


def squares(mask, wood=None, iron=None):
    """A board of jewels: iron where `iron` holds, wood where `wood` holds."""
    def letter(c, r):
        if iron and iron(c, r):
            return "i"
        if wood and wood(c, r):
            return "w"
        return "o"
    return paint(mask, letter)


IRON_BLOCK = ("fixedblock", "ironblock", "/texture/piece/fixedblock-iron.png")
AMULET = ("amulet", "/texture/piece/artifact-amulet.png")
COMPASS = ("compass", "/texture/piece/artifact-compass.png")
SHELL = ("shell", "/texture/piece/artifact-shell.png")

# ================================================================ page 1
# The home harbour: one new thing per level, small boards.

# 001: swapping, and the cells objective on a small box.
m = rect(5, 4, 8, 6)
level("001", "First Tide", 90, "12345", squares(m, wood=inside(6, 5, 6, 4)), at=(-91, 186))

# 002: more wood, an open frame.
m = cut_rect(rect(4, 3, 10, 8), 8, 6, 2, 2)
level("002", "Driftwood", 320, "12345",
      squares(m, wood=either(rows_of(9, 10), inside(4, 3, 2, 8), inside(12, 3, 2, 8))),
      parents=["001"], at=(-151, 114))

# 003: iron needs two hits.
m = cut(rect(4, 3, 10, 9), [(4, 3), (13, 3), (4, 11), (13, 11)])
level("003", "Iron Moorings", 120, "12345",
      squares(m, wood=inside(6, 9, 6, 2), iron=either(inside(6, 6, 2, 2), inside(10, 6, 2, 2))),
      parents=["002"], at=(-239, 49))

# 003 bonus: a round pool of jewels with a few bombs.
b = squares(diamond(8.5, 6.5, 6))
b = place(b, {(6, 5): "B", (11, 8): "B"})
level("003-bonus", "Pearl Cove", 90, "12345", b, jewels=100, parents=["003"], bonus=True,
      at=(-328, 106))

# 004: the jewels objective.
m = rect(4, 3, 10, 8)
level("004", "Counting Jewels", 85, "12345", squares(m), jewels=80, parents=["003"], at=(-190, -74))

# 005a / 005b: the two paths. Falling stone blocks or fixed crates.
m = rect(4, 2, 10, 10)
b = squares(m)
b = place(b, {(5, 2): "s", (8, 2): "s", (9, 2): "s", (12, 2): "s", (6, 3): "s", (11, 3): "s"})
level("005a", "Stone Ballast", 85, "12345", b, parents=["004"], at=(-122, -140))

m = from_rows([
    "",
    "",
    "    ##########",
    "    ##########",
    "   ############",
    "   ############",
    "   ############",
    "   ############",
    "    ##########",
    "    ##########",
    "     ########",
])
b = squares(m)
b = place(b, {(5, 6): "x", (8, 6): "x", (9, 6): "x", (12, 6): "x"})
level("005b", "Crates on the Quay", 65, "12345", b, parents=["004"], at=(-90, -20))

# 006a / 006b: bombs, over wood and over iron.
m = ellipse(8.5, 6.5, 6.2, 5.2)
b = squares(m, wood=rows_of(7, 8, 9, 10))
b = place(b, {(5, 8): "B", (12, 8): "B", (8, 4): "B"})
level("006a", "Powder Keg", 240, "12345", b, parents=["005a"], at=(-55, -172))

m = rect(3, 3, 12, 8)
b = squares(m, iron=inside(6, 6, 6, 2), wood=inside(6, 8, 6, 1))
b = place(b, {(5, 7): "B", (12, 7): "B", (8, 5): "B", (9, 9): "B"})
level("006b", "Fuse and Flint", 120, "12345", b, parents=["005b"], at=(-38, -88))

# 007: a key and its locks; the wood under the locks wears only once they open.
m = rect(4, 2, 10, 11)
b = squares(m, wood=rows_of(11, 12))
b = place(b, {(8, 3): "k", (5, 12): "K", (7, 12): "K", (10, 12): "K", (12, 12): "K"})
level("007", "Harbour Master's Keys", 240, "12345", b, parents=["006a", "006b"], at=(75, -200))

# 008: cannons sweep rows.
m = from_rows([
    "",
    "",
    "   ##",
    "   ##",
    "   ##",
    "   ##",
    "   ##",
    "   ############",
    "   ############",
    "   ############",
    "   ############",
])
b = squares(m, wood=either(rows_of(9, 10), inside(3, 2, 2, 5)))
b = place(b, {(3, 8): ">", (14, 9): "<", (4, 6): "v"})
level("008", "Cannon Row", 490, "12345", b, parents=["007"], at=(135, -235))

# 009: dynamite, on a plus-shaped board.
m = rect(7, 1, 4, 12)
m = rect(3, 5, 12, 4, m)
b = squares(m, wood=either(inside(7, 1, 4, 2), inside(7, 11, 4, 2), inside(3, 5, 2, 4), inside(13, 5, 2, 4)))
b = place(b, {(8, 6): "D", (9, 7): "D"})
level("009", "Long Fuse", 350, "12345", b, parents=["008"], at=(261, -156))

b = squares(ellipse(8.5, 6.5, 7.5, 6))
b = place(b, {(4, 6): "D", (13, 6): "D", (8, 3): "B", (9, 10): "B"})
level("009-bonus", "Gull Rock", 95, "123456", b, jewels=120, parents=["009"], bonus=True, at=(333, -231))

# 010: the rainbow.
m = diamond(8.5, 6.5, 6, half_width=1)
b = squares(m)
b = place(b, {(8, 6): "R", (9, 7): "R"})
level("010", "Rainbow over the Bay", 90, "123456", b, jewels=110, parents=["009"], at=(309, -44))

# 011: the first artifact, on the bottom row under a heap of crates four deep:
# runs of a crate's colour beside it dig the way down ring by ring. Many small
# digs rather than two or three lucky ones keep the time steady from game to
# game (with two rings fewer the slowest tenth took twice the median).
m = rect(4, 2, 10, 11)
b = squares(m)
b = place(b, {(8, 12): "A", (7, 12): "x", (9, 12): "x", (8, 11): "x", (6, 12): "x", (10, 12): "x",
              (7, 11): "x", (9, 11): "x", (8, 10): "x", (5, 12): "x", (11, 12): "x", (6, 11): "x",
              (10, 11): "x", (7, 10): "x", (9, 10): "x", (8, 9): "x",
              (4, 12): "x", (12, 12): "x", (5, 11): "x", (11, 11): "x", (6, 10): "x", (10, 10): "x", (7, 9): "x",
              (9, 9): "x", (8, 8): "x"})
level("011", "The Sea-Glass Amulet", 220, "12345", b, artifact=AMULET, award="quest_map1",
      parents=["010"], at=(292, 40))

# 012: two islands, wood and iron.
m = rect(2, 3, 6, 9)
m = rect(10, 3, 6, 9, m)
b = squares(m, wood=rows_of(8, 9), iron=rows_of(10, 11))
level("012", "Twin Harbours", 780, "12345", b, parents=["011"], at=(245, 137))

# 013: a diagonal reef with stone blocks.
m = blank()
for r in range(14):
    for c in range(18):
        if -3 <= c - r - 2 <= 4:
            m[r][c] = True
b = squares(m, wood=lambda c, r: c - r - 2 == 0 or c - r - 2 == 1)
b = place(b, {(4, 0): "s", (8, 3): "s", (12, 7): "s"})
level("013", "Reef Diagonal", 390, "12345", b, parents=["012"], at=(300, 206))

# 014: the lighthouse: a tower of squares, a key, and the compass in the lamp room.
m = from_rows([
    "       ####",
    "       ####",
    "      ######",
    "      ######",
    "       ####",
    "       ####",
    "       ####",
    "      ######",
    "      ######",
    "     ########",
    "     ########",
    "    ##########",
    "    ##########",
    "    ##########",
])
b = squares(m, wood=rows_of(12, 13))
b = place(b, {(8, 0): "A", (9, 0): "Y", (8, 1): "Y", (7, 12): "y", (6, 12): "x", (8, 12): "x", (7, 11): "x",
              (10, 9): "B"})
level("014", "The Lighthouse Compass", 65, "12345", b, artifact=COMPASS, award="quest_map2",
      parents=["013"], at=(346, 134))

# ================================================================ page 2
# The eastern isles: the lessons combine.

m = mirror(from_rows([
    "",
    "##",
    "###",
    "####",
    "#####",
    "######",
    "#######",
    "########",
    "#########",
    "#########",
    "#########",
    "#########",
    "#########",
]))
b = squares(m, wood=rows_of(11, 12), iron=inside(7, 9, 4, 2))
b = place(b, {(3, 8): "B", (14, 8): "B"})
level("015", "Valley of Shells", 610, "123456", b, parents=["014"], at=(472, 200))

m = cut_rect(rect(2, 2, 14, 10), 6, 5, 6, 7)
b = squares(m, wood=border(m))
# The cannons stand inside the wall, off its wood.
b = place(b, {(3, 3): "v", (14, 3): "v"})
level("016", "The Sunken Courtyard", 710, "12345", b, parents=["015"], at=(545, 110))

m = diamond(8.5, 6.5, 7, half_width=1)
b = squares(m, wood=checker)
b = place(b, {(8, 1): "D", (9, 12): "D"})
level("017", "Chequered Sands", 420, "12345", b, parents=["016"], at=(618, 21))

b = squares(rect(1, 1, 16, 12))
b = place(b, {(3, 3): "R", (14, 3): "R", (3, 10): "R", (14, 10): "R", (8, 6): "B", (9, 7): "B"})
level("017-bonus", "Treasure Fleet", 85, "123456", b, jewels=150, parents=["017"], bonus=True,
      at=(534, -40))

m = rect(3, 1, 3, 12)
m = rect(7, 1, 4, 12, m)
m = rect(12, 1, 3, 12, m)
b = squares(m, wood=rows_of(1, 2, 11, 12))
b = place(b, {(4, 5): "s", (8, 5): "s", (9, 5): "s", (13, 5): "s"})
level("018", "Three Masts", 770, "12345", b, parents=["017"], at=(666, -35))

m = rect(2, 3, 14, 9)
b = squares(m, wood=rows_of(10, 11))
b = place(b, {(4, 4): "k", (13, 4): "y", (3, 11): "K", (6, 11): "Y", (11, 11): "K", (14, 11): "Y"})
level("019", "Customs House", 370, "12345", b, parents=["018"], at=(746, 162))

m = ellipse(8.5, 6.5, 8, 6.2)
b = squares(m, iron=inside(5, 4, 8, 6), wood=border(m))
b = place(b, {(2, 6): ">", (15, 7): "<"})
level("020", "Iron Reef", 580, "12345", b, parents=["019"], at=(866, 206))

# The second fork: through the shallows (a) or round the cape (b).
m = from_rows([
    "",
    "##      ##      ##",
    "###    ####    ###",
    "####  ######  ####",
    "##################",
    "##################",
    "##################",
    "##################",
    "##################",
    "##################",
    " ################",
    "  ##############",
])
b = squares(m, wood=rows_of(9, 10, 11))
level("021a", "The Shallows", 700, "123456", b, jewels=80, parents=["020"], at=(950, 180))

m = rect(3, 2, 12, 11)
b = squares(m)
b = place(b, {(4, 3): "c", (7, 3): "c", (10, 3): "c", (13, 3): "c", (5, 7): "x", (12, 7): "x",
              (8, 9): "D"})
level("021b", "Round the Cape", 90, "12345", b, parents=["020"], at=(889, 101))

m = rect(4, 0, 10, 14)
m = cut_rect(m, 4, 0, 3, 3)
m = cut_rect(m, 11, 0, 3, 3)
b = squares(m, wood=cols_of(4, 5, 12, 13), iron=rows_of(13))
b = place(b, {(8, 7): "B", (9, 7): "B"})
level("022", "Quarry Steps", 420, "12345", b, parents=["021a", "021b"], at=(1003, -10))

m = mirror(from_rows([
    "",
    "",
    " ###",
    " ####",
    " #####",
    "  #####",
    "   #####",
    "    #####",
    "     ####",
    "      ###",
    "       ##",
    "       ##",
    "       ##",
]))
b = squares(m, wood=lambda c, r: r >= 9)
# The shell sits in locks at the foot of the neck; their key lies out on the
# left wing's tip, where a run is hard to make.
b = place(b, {(8, 12): "A", (9, 12): "K", (7, 12): "K", (8, 11): "K", (1, 2): "k"})
level("023", "The Gull's Wings", 240, "12345", b, artifact=SHELL, parents=["022"], at=(1099, 206))

m = rect(2, 2, 14, 11)
b = squares(m, wood=either(cols_of(2, 15), rows_of(12)), iron=inside(7, 7, 4, 3))
# The amulet lies between two locks and two crates; the key is boxed in by
# iron crates, so one of them has to go before the key can be matched.
b = place(b, {(8, 6): "A", (9, 6): "x", (7, 6): "x", (8, 5): "K", (8, 7): "K",
              (5, 3): "k", (4, 3): "X", (6, 3): "X", (5, 2): "X", (5, 4): "X"})
level("024", "Warden's Vault", 75, "12345", b, artifact=AMULET, award="quest_map3", parents=["023"],
      at=(1154, 170))

m = blank()
for r in range(1, 13):
    for c in range(18):
        if (c // 3) % 2 == 0 or r >= 10:
            m[r][c] = True
b = squares(m, wood=rows_of(10, 11, 12))
level("025", "Pier Pillars", 720, "123456", b, jewels=60, parents=["024"], at=(1091, -50))

b = squares(diamond(8.5, 6.5, 7, half_width=1))
b = place(b, {(8, 2): "D", (9, 11): "D", (4, 6): "B", (13, 7): "B", (8, 6): "R"})
level("025-bonus", "Lanterns on the Water", 75, "1234567", b, jewels=120, parents=["025"],
      bonus=True, at=(1159, -185))

m = rect(1, 2, 16, 10)
m = cut(m, [(c, r) for c, r in cells(m) if (c in (5, 6, 11, 12)) and r in (5, 6, 7, 8)])
b = squares(m, iron=rows_of(10, 11), wood=rows_of(2, 3))
b = place(b, {(1, 6): ">", (16, 7): "<", (8, 5): "s", (9, 5): "s"})
level("026", "Twin Lagoons", 400, "12345", b, parents=["025"], at=(960, -60))

m = ellipse(8.5, 6.5, 7.2, 6.4)
m = cut_rect(m, 8, 5, 2, 3)
b = squares(m, wood=border(m))
b = place(b, {(8, 4): "Y", (9, 4): "Y", (8, 8): "y", (4, 6): "D", (13, 6): "D"})
level("027", "Atoll Ring", 370, "12345", b, parents=["026"], at=(816, -200))

m = rect(3, 1, 12, 12)
b = squares(m, wood=inside(3, 9, 12, 4), iron=inside(6, 11, 6, 2))
# The shell lies under three rings of crates, the inner one iron-bound: runs of
# a crate's colour or a blast open them ring by ring.
b = place(b, {(4, 2): "c", (7, 2): "c", (10, 2): "c", (13, 2): "c", (8, 12): "A", (7, 12): "X", (9, 12): "X",
              (8, 11): "X", (6, 12): "x", (10, 12): "x", (7, 11): "x", (9, 11): "x", (8, 10): "x",
              (5, 12): "x", (11, 12): "x", (6, 11): "x", (10, 11): "x", (7, 10): "x", (9, 10): "x", (8, 9): "x",
              (5, 6): "B", (12, 6): "B"})
level("028", "Coral Shrine", 110, "12345", b, artifact=SHELL, parents=["027"], at=(738, -231))

m = rect(1, 1, 16, 12)
m = cut_rect(m, 1, 1, 4, 4)
m = cut_rect(m, 13, 8, 4, 5)
b = squares(m, wood=lambda c, r: abs(c - r - 3) <= 1, iron=lambda c, r: c - r - 3 == 0 and 6 <= c <= 11)
# The compass is locked in on every side; the key lies in the far corner
# behind iron crates.
b = place(b, {(12, 2): "A", (11, 2): "K", (13, 2): "K", (12, 1): "K", (12, 3): "K",
              (1, 12): "k", (2, 12): "X", (1, 11): "X", (2, 11): "X"})
level("029", "Cartographer's Chest", 360, "12345", b, artifact=COMPASS, award="quest_map4",
      parents=["028"], at=(640, -230))

# ================================================================ page 3
# The northern straits: larger boards, iron and locks.

m = rect(0, 2, 18, 10)
b = squares(m, wood=rows_of(6, 7), iron=either(inside(0, 10, 3, 2), inside(15, 10, 3, 2)))
b = place(b, {(0, 6): ">", (17, 7): "<"})
level("030", "The Narrows", 600, "12345", b, parents=["029"], at=(320, -360))

m = mirror(from_rows([
    "        #",
    "       ##",
    "      ###",
    "     ####",
    "    #####",
    "   ######",
    "  #######",
    " ########",
    "#########",
    "#########",
    "  #######",
    "    #####",
    "      ###",
]))
# Wood on the sail's foot but not on its three-wide tip, and the iron as a block
# in the middle rather than a two-wide strip down to the tip, where runs
# seldom come: the slowest seeds took three times the median.
b = squares(m, wood=lambda c, r: 8 <= r <= 12, iron=lambda c, r: 9 <= r <= 10 and c in (7, 8, 9, 10))
b = place(b, {(8, 3): "B", (9, 3): "B"})
level("031", "Sail Before the Wind", 960, "12345", b, parents=["030"], at=(220, -420))

m = rect(2, 1, 14, 12)
b = squares(m, wood=lambda c, r: (c + r) % 4 == 0)
b = place(b, {(4, 3): "x", (13, 3): "x", (4, 10): "x", (13, 10): "x", (8, 6): "X", (9, 7): "X"},)
level("032", "Stacked Cargo", 280, "12345", b, parents=["031"], at=(114, -360))

m = ellipse(8.5, 6.5, 8.5, 6.5)
b = squares(m, iron=inside(6, 10, 6, 3))
b = place(b, {(3, 4): "k", (14, 4): "y", (8, 11): "K", (9, 11): "Y", (8, 12): "Y", (9, 12): "K"})
level("033", "Twin Keys", 230, "123456", b, parents=["032"], at=(22, -444))

b = squares(rect(0, 1, 18, 12))
b = place(b, {(2, 2): "D", (15, 2): "D", (2, 11): "D", (15, 11): "D", (8, 6): "R", (9, 7): "R",
              (0, 6): ">", (17, 7): "<"})
level("033-bonus", "Fireworks at Sea", 70, "1234567", b, jewels=160, parents=["033"], bonus=True,
      at=(-110, -360))

m = rect(1, 1, 16, 12)
m = cut_rect(m, 7, 1, 4, 4)
b = squares(m, wood=rows_of(5, 6), iron=rows_of(11, 12))
# Two rings of iron crates round the amulet on the hold's floor.
b = place(b, {(8, 12): "A", (2, 1): "v", (15, 1): "v", (7, 12): "X", (9, 12): "X", (8, 11): "X",
              (6, 12): "X", (10, 12): "X", (7, 11): "X", (9, 11): "X", (8, 10): "X"})
level("034", "The Captain's Amulet", 150, "12345", b, artifact=AMULET, award="quest_map5",
      parents=["033"], at=(-60, -540))

m = blank()
for r in range(1, 13):
    for c in range(1, 17):
        if (r // 2 + c // 2) % 3 != 2:
            m[r][c] = True
# Wood on the two rows above the bottom one, and only where a jewel lies under
# another and beside one: in the one-wide columns and the pockets under a gap a
# jewel can hardly be matched at all (with wood there the bot lost eight seeds
# of ten even with 2400 s).
b = squares(m, wood=lambda c, r: 10 <= r <= 11 and m[r - 1][c] and (m[r][c - 1] or m[r][c + 1]))
level("035", "Scattered Isles", 890, "123456", b, jewels=90, parents=["034"], at=(-160, -620))

m = rect(2, 0, 14, 14)
m = cut_rect(m, 5, 4, 2, 6)
m = cut_rect(m, 11, 4, 2, 6)
b = squares(m, iron=border(m), wood=not_(border(m)))
b = place(b, {(2, 0): ">", (15, 13): "<"})
level("036", "Old Fort", 420, "12345", b, parents=["035"], at=(-270, -500))

m = from_rows([
    "##              ##",
    "###            ###",
    " ###          ###",
    "  ###        ###",
    "   ###      ###",
    "    ###    ###",
    "     ###  ###",
    "      ######",
    "      ######",
    "     ########",
    "    ##########",
    "   ############",
    "  ##############",
    " ################",
])
b = squares(m, wood=lambda c, r: r >= 11)
b = place(b, {(8, 7): "s", (9, 7): "s", (8, 8): "c", (9, 8): "c"})
level("037", "Crossed Oars", 850, "12345", b, parents=["036"], at=(-330, -400))

m = rect(1, 2, 16, 10)
b = squares(m, wood=inside(1, 2, 16, 2), iron=inside(4, 10, 10, 2))
b = place(b, {(2, 5): "k", (15, 5): "y", (5, 9): "K", (7, 9): "Y", (10, 9): "K", (12, 9): "Y",
              (8, 6): "D"})
level("038", "The Locked Dock", 290, "12345", b, parents=["037"], at=(-287, -632))

m = diamond(8.5, 6.5, 8, half_width=1)
b = squares(m, iron=lambda c, r: abs(c - 8.5) + abs(r - 6.5) <= 3, wood=lambda c, r: abs(c - 8.5) + abs(r - 6.5) >= 7)
b = place(b, {(3, 6): "B", (14, 7): "B"})
level("039", "The Compass Rose", 480, "12345", b, parents=["038"], at=(-156, -770))

# The third fork.
m = rect(0, 3, 18, 8)
m = cut(m, [(c, 3) for c in range(0, 18, 3)])
b = squares(m, wood=rows_of(8, 9, 10))
b = place(b, {(4, 6): "x", (8, 6): "x", (9, 6): "x", (13, 6): "x"})
level("040a", "Breakwater", 490, "12345", b, parents=["039"], at=(-60, -800))

m = ellipse(8.5, 6.5, 6.5, 6.5)
b = squares(m, iron=inside(6, 8, 6, 3))
# Two rings of crates round the shell: the dynamite above comes to rest on
# them, and its blast opens the outer ring.
b = place(b, {(8, 9): "A", (7, 9): "X", (9, 9): "X", (8, 8): "X", (8, 10): "X", (8, 3): "D",
              (6, 9): "x", (10, 9): "x", (8, 7): "x", (8, 11): "x", (7, 8): "x", (9, 8): "x",
              (7, 10): "x", (9, 10): "x"})
level("040b", "Whirlpool", 75, "123456", b, artifact=SHELL, parents=["039"], at=(-116, -701))

m = cut_rect(rect(1, 1, 16, 12), 8, 5, 2, 3)
b = squares(m, wood=lambda c, r: c < 4 or c > 13, iron=rows_of(12))
b = place(b, {(8, 4): "c", (9, 4): "c", (8, 8): "s", (9, 8): "s", (1, 1): ">", (16, 12): "<"})
level("041", "Harbour Wall", 320, "12345", b, parents=["040a", "040b"], at=(50, -700))

b = squares(mirror(from_rows([
    "  ####",
    " ######",
    "#########",
    "#########",
    "#########",
    "#########",
    " ########",
    "  #######",
    "   ######",
    "    #####",
    "     ####",
    "      ###",
    "       ##",
])))
b = place(b, {(8, 2): "R", (4, 4): "B", (13, 4): "B", (8, 8): "D"})
level("041-bonus", "Heart of the Sea", 45, "123456", b, jewels=120, parents=["041"], bonus=True,
      at=(100, -625))

m = rect(0, 1, 18, 12)
b = squares(m, wood=checker, iron=lambda c, r: r >= 11 and (c + r) % 2 == 1)
level("042", "Mosaic Floor", 440, "12345", b, parents=["041"], at=(225, -800))

m = blank()
for r in range(14):
    for c in range(18):
        if c % 4 in (0, 1) or r in (4, 8):
            m[r][c] = True
m = rect(1, 11, 16, 3, m)
b = squares(m, wood=either(rows_of(11, 12, 13), rows_of(4, 8)))
b = place(b, {(8, 2): "k", (3, 13): "K", (14, 13): "K"})
level("043", "Rigging", 300, "12345", b, parents=["042"], at=(260, -700))

m = rect(1, 0, 16, 14)
m = cut_rect(m, 1, 0, 3, 5)
m = cut_rect(m, 14, 0, 3, 5)
b = squares(m, wood=rows_of(9, 10), iron=rows_of(11, 12, 13))
# The compass on the hold's floor under two rings of iron crates.
b = place(b, {(8, 13): "A", (9, 13): "X", (7, 13): "X", (8, 12): "X", (6, 13): "X", (10, 13): "X",
              (7, 12): "X", (9, 12): "X", (8, 11): "X", (3, 8): "D", (14, 8): "D"})
level("044", "The Deep Hold", 100, "12345", b, artifact=COMPASS, award="quest_map6", parents=["043"],
      at=(300, -560))

# ================================================================ page 4
# The far reaches: everything together.

m = rect(0, 0, 18, 14)
m = cut_rect(m, 0, 0, 5, 3)
m = cut_rect(m, 13, 0, 5, 3)
b = squares(m, wood=lambda c, r: r >= 10, iron=lambda c, r: r >= 12 and 5 <= c <= 12)
b = place(b, {(6, 3): "s", (11, 3): "s", (8, 3): "c", (9, 3): "c"})
level("045", "Storm Front", 410, "12345", b, parents=["044"], at=(488, -383))

m = diamond(8.5, 6.5, 9, half_width=1)
b = squares(m, wood=lambda c, r: abs(c - 8.5) + abs(r - 6.5) >= 6,
            iron=lambda c, r: abs(c - 8.5) + abs(r - 6.5) <= 2)
b = place(b, {(8, 1): "k", (2, 6): "K", (15, 7): "K", (8, 12): "B"})
level("046", "Star Chart", 570, "12345", b, parents=["045"], at=(560, -450))

# Three decks between two gaps; a one-wide column at the edge (a third gap
# had left one) kept its wood and iron for a lucky run, the slow seeds twice
# the median.
m = rect(1, 1, 16, 12)
m = cut(m, [(c, r) for (c, r) in cells(m) if c in (5, 12) and 3 <= r <= 9])
b = squares(m, wood=rows_of(10, 11, 12), iron=rows_of(1))
b = place(b, {(2, 1): "v", (15, 1): "v", (7, 6): "x", (10, 6): "x"})
level("047", "Anchor Chains", 320, "12345", b, parents=["046"], at=(500, -560))

b = squares(rect(0, 0, 18, 14))
b = place(b, {(4, 4): "R", (13, 4): "R", (4, 9): "R", (13, 9): "R", (8, 6): "D", (9, 7): "D",
              (1, 1): "B", (16, 12): "B"})
level("047-bonus", "Captain's Feast", 65, "1234567", b, jewels=180, parents=["047"], bonus=True,
      at=(549, -600))

m = from_rows([
    "      ######",
    "     ########",
    "    ##########",
    "   ############",
    "  ##############",
    " ################",
    "##################",
    "##################",
    " ################",
    "  ##############",
    "   ############",
    "    ##########",
    "     ########",
    "      ######",
])
b = squares(m, iron=lambda c, r: 6 <= r <= 7, wood=lambda c, r: r in (4, 5, 8, 9))
b = place(b, {(0, 6): ">", (17, 7): "<"})
level("048", "The Great Pearl", 710, "12345", b, parents=["047"], at=(580, -780))

m = rect(1, 1, 16, 12)
b = squares(m, wood=lambda c, r: c in (1, 2, 15, 16), iron=rows_of(12))
b = place(b, {(3, 2): "k", (8, 2): "y", (14, 2): "z", (4, 11): "K", (6, 11): "Y", (8, 11): "Z",
              (9, 11): "K", (11, 11): "Y", (13, 11): "Z"})
level("049", "Three Seals", 480, "12345", b, parents=["048"], at=(687, -635))

m = mirror(from_rows([
    "",
    "   ###",
    "  #####",
    " #######",
    " ########",
    " #########",
    "  ########",
    "  ########",
    "   #######",
    "   #######",
    "    ######",
    "    ######",
    "     #####",
]))
b = squares(m, wood=lambda c, r: r >= 10, iron=lambda c, r: r >= 11 and c in (7, 8, 9, 10))
# The eye: the amulet under five rings of iron crates at the foot of the
# narrowing hold. No dynamite beside it: a stick that happened to fall onto the
# rings ended the level in a few moves, or never came and left it three times
# as long.
b = place(b, {(8, 12): "A", (9, 12): "X", (7, 12): "X", (8, 11): "X", (6, 12): "X", (10, 12): "X",
              (7, 11): "X", (9, 11): "X", (8, 10): "X", (5, 12): "X", (11, 12): "X", (6, 11): "X",
              (10, 11): "X", (7, 10): "X", (9, 10): "X", (8, 9): "X",
              (12, 12): "X", (5, 11): "X", (11, 11): "X", (6, 10): "X", (10, 10): "X", (7, 9): "X", (9, 9): "X",
              (8, 8): "X", (4, 11): "X", (12, 11): "X", (5, 10): "X", (11, 10): "X", (6, 9): "X", (10, 9): "X",
              (7, 8): "X", (9, 8): "X", (8, 7): "X"})
level("050", "Kraken's Eye", 140, "12345", b, artifact=AMULET, award="quest_map7", parents=["049"],
      at=(816, -726))

# Decks three rows deep between rows of portholes, the wood on each deck's
# middle row: on the row just above the portholes (and the iron on a bottom
# deck two rows deep) a jewel could hardly be matched, and the slowest seeds
# took three times the median.
m = blank()
for r in range(14):
    for c in range(18):
        if r % 4 != 2 or c % 6 not in (0, 5):
            m[r][c] = True
b = squares(m, wood=lambda c, r: r % 4 == 0 and r > 0, iron=rows_of(13))
b = place(b, {(2, 0): "s", (8, 0): "s", (14, 0): "s"})
level("051", "Galleon Decks", 570, "12345", b, parents=["050"], at=(883, -683))

# The shoals lie in the open middle only, clear of the wood and the iron: beside
# them a square of wood could wait a long time for its run.
m = rect(0, 1, 18, 12)
m = cut(m, [(c, r) for (c, r) in cells(m) if (c + r) % 7 == 0 and 5 <= r <= 8])
b = squares(m, wood=lambda c, r: r < 4, iron=lambda c, r: r > 9)
b = place(b, {(4, 6): "D", (13, 6): "D", (8, 3): "x", (9, 3): "x"})
level("052", "Shoals", 720, "123456", b, jewels=120, parents=["051"], at=(1045, -797))

# The walls stand one square in from the edges with jewels on both sides, wood
# outside and iron inside: on the edge columns and the bottom row a square of
# wood or iron could be matched only one or two ways, and the slowest seeds
# took four times the median. The cannons fire into the walls across row 3.
m = rect(1, 0, 16, 14)
m = cut_rect(m, 6, 0, 6, 2)
b = squares(m, iron=lambda c, r: (c in (3, 14) and 2 <= r <= 12) or (r == 11 and 3 <= c <= 14),
            wood=lambda c, r: (c in (2, 15) and 2 <= r <= 12) or (r == 12 and 2 <= c <= 15))
b = place(b, {(8, 7): "B", (9, 7): "B", (5, 3): ">", (12, 3): "<"})
level("053", "Siege of the Bay", 210, "12345", b, parents=["052"], at=(1135, -730))

b = squares(ellipse(8.5, 6.5, 9, 7))
b = place(b, {(2, 6): ">", (15, 7): "<", (8, 0): "v", (9, 13): "^", (6, 5): "R", (11, 8): "R",
              (5, 9): "D", (12, 4): "D"})
level("053-bonus", "Cannonade", 65, "1234567", b, jewels=180, parents=["053"], bonus=True,
      at=(1153, -548))

m = rect(0, 0, 18, 14)
m = cut_rect(m, 8, 4, 2, 6)
m = cut_rect(m, 4, 5, 1, 4)
m = cut_rect(m, 13, 5, 1, 4)
b = squares(m, wood=lambda c, r: r < 5 or r > 8, iron=lambda c, r: r in (0, 13))
b = place(b, {(4, 2): "k", (13, 11): "y", (8, 10): "K", (9, 10): "Y", (2, 6): "c", (15, 6): "c"})
level("054", "The Maelstrom", 380, "12345", b, parents=["053"], at=(1030, -560))

m = rect(0, 0, 18, 14)
b = squares(m, wood=lambda c, r: r >= 8, iron=lambda c, r: r >= 11 and 4 <= c <= 13)
# The shell in locks under two rings of iron crates; the key hangs in the
# chapel's top corner, boxed in.
b = place(b, {(8, 13): "A", (7, 13): "K", (9, 13): "K", (8, 12): "K", (6, 13): "X", (10, 13): "X",
              (7, 12): "X", (9, 12): "X", (8, 11): "X", (5, 13): "X", (11, 13): "X", (6, 12): "X",
              (10, 12): "X", (7, 11): "X", (9, 11): "X", (8, 10): "X",
              (4, 13): "X", (12, 13): "X", (5, 12): "X", (11, 12): "X", (6, 11): "X", (10, 11): "X",
              (7, 10): "X", (9, 10): "X", (8, 9): "X",
              (0, 0): "k", (1, 0): "X", (0, 1): "X", (1, 1): "X",
              (2, 3): "D", (15, 3): "D", (0, 8): ">", (17, 9): "<"})
level("055", "The Drowned Chapel", 250, "12345", b, artifact=SHELL, award="quest_map8",
      parents=["054"], at=(918, -470))

m = rect(0, 1, 18, 13)
m = cut(m, [(c, r) for (c, r) in cells(m) if r in (4, 8) and c % 4 == 1])
# Two bombs on plain squares in the iron: without them the fastest seeds lay
# close to the median, and five seeds in a row could all miss half the limit.
bombs = [(4, 9), (13, 10)]
b = squares(m, wood=lambda c, r: r in (5, 6, 7), iron=lambda c, r: r in (9, 10) and (c, r) not in bombs)
b = place(b, {(2, 1): "s", (7, 1): "c", (10, 1): "c", (15, 1): "s", (8, 12): "k", (4, 13): "K",
              (13, 13): "K", (4, 9): "B", (13, 10): "B"})
level("056", "Tide Gates", 310, "12345", b, parents=["055"], at=(795, -448))

m = diamond(8.5, 6.5, 9, half_width=1)
m = cut_rect(m, 8, 5, 2, 3)
b = squares(m, iron=lambda c, r: abs(c - 8.5) + abs(r - 6.5) <= 4, wood=lambda c, r: abs(c - 8.5) + abs(r - 6.5) > 4)
b = place(b, {(8, 4): "D", (9, 8): "D", (4, 6): "B", (13, 7): "B"})
level("057", "The Admiral's Star", 370, "12345", b, parents=["056"], at=(685, -527))

m = rect(0, 0, 18, 14)
b = squares(m, wood=lambda c, r: r in (9, 10), iron=lambda c, r: r >= 11)
# The last seal: the amulet in red locks under two rings of iron crates; the
# red key lies in blue locks in the left corner, the blue key behind iron
# crates in the right one.
b = place(b, {(8, 13): "A", (7, 13): "K", (9, 13): "K", (8, 12): "K",
              (6, 13): "X", (10, 13): "X", (7, 12): "X", (9, 12): "X", (8, 11): "X",
              (5, 13): "X", (11, 13): "X", (6, 12): "X", (10, 12): "X", (7, 11): "X", (9, 11): "X", (8, 10): "X",
              (4, 13): "X", (12, 13): "X", (5, 12): "X", (11, 12): "X", (6, 11): "X", (10, 11): "X",
              (7, 10): "X", (9, 10): "X", (8, 9): "X",
              (0, 0): "k", (1, 0): "Y", (0, 1): "Y", (1, 1): "Y",
              (17, 0): "y", (16, 0): "X", (17, 1): "X", (16, 1): "X",
              (0, 5): ">", (17, 6): "<", (4, 4): "s", (13, 4): "s", (6, 6): "D", (11, 6): "D"})
level("058-final", "The Brinestone", 230, "12345", b, artifact=AMULET, award="finalquest_complete",
      parents=["057"], at=(743, -360))


# ------------------------------------------------------------- arcade sets
# Fifteen quest levels each, in rising difficulty.

ARCADE_SETS = [
    ["001", "002", "003", "004", "005a", "005b", "006a", "006b", "007", "008", "009", "010", "011", "012",
     "013"],
    ["014", "015", "016", "017", "018", "019", "020", "021a", "021b", "022", "023", "024", "025", "026",
     "027"],
    ["028", "029", "030", "031", "032", "033", "034", "035", "036", "037", "038", "039", "040a", "040b",
     "041"],
    ["042", "043", "044", "045", "046", "047", "048", "049", "050", "051", "052", "053", "054", "055",
     "056"],
]
