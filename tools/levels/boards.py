"""Board shapes and the piece and cell letters the level designs use.

A design board is a list of 14 strings of 18 characters (rows 0..13; row 14
lies half below the screen edge and stays empty). One letter says both what
stands in the square and what the square is made of:

  .        no square
  o w i    a random jewel on a normal, wooden or iron square
  B D      bomb, dynamite (random colour)
  < > ^ v  cannons firing left, right, up, down
  R        rainbow
  k y z    keys of colours 1, 2, 3      K Y Z  their locks
  s c      falling blocks (stone, coral), random colour
  x X      fixed blocks (crate, iron-bound), random colour
  A        the level's artifact
  W        the level's artifact on a wooden square

Special pieces stand on normal squares unless the design gives an explicit
"under" board of cell kinds ('0', '1', '2', '-').
"""

ROWS = 14
COLS = 18

JEWEL_LETTERS = {"o": "0", "w": "1", "i": "2"}


def blank():
    return [[False] * COLS for _ in range(ROWS)]


def rect(c0, r0, w, h, mask=None):
    m = mask or blank()
    for r in range(r0, r0 + h):
        for c in range(c0, c0 + w):
            m[r][c] = True
    return m


def cut(mask, cells):
    for c, r in cells:
        mask[r][c] = False
    return mask


def cut_rect(mask, c0, r0, w, h):
    for r in range(r0, r0 + h):
        for c in range(c0, c0 + w):
            mask[r][c] = False
    return mask


def diamond(cx, cy, radius, mask=None, half_width=0):
    """|dx| + |dy| <= radius around (cx, cy); half_width widens it to the right."""
    m = mask or blank()
    for r in range(ROWS):
        for c in range(COLS):
            dx = c - cx
            if 0 < dx <= half_width:
                dx = 0
            elif dx > half_width:
                dx -= half_width
            if abs(dx) + abs(r - cy) <= radius:
                m[r][c] = True
    return m


def ellipse(cx, cy, rx, ry, mask=None):
    m = mask or blank()
    for r in range(ROWS):
        for c in range(COLS):
            if ((c - cx) / rx) ** 2 + ((r - cy) / ry) ** 2 <= 1.0:
                m[r][c] = True
    return m


def from_rows(rows):
    """A mask drawn as text: '#' is a square."""
    m = blank()
    for r, line in enumerate(rows):
        for c, ch in enumerate(line):
            if ch == "#":
                m[r][c] = True
    return m


def mirror(mask):
    """Left half copied onto the right half."""
    for r in range(ROWS):
        for c in range(COLS // 2):
            mask[r][COLS - 1 - c] = mask[r][c]
    return mask


def cells(mask):
    return [(c, r) for r in range(ROWS) for c in range(COLS) if mask[r][c]]


def paint(mask, letter_at):
    """The design board: letter_at(c, r) for each square, '.' elsewhere."""
    out = []
    for r in range(ROWS):
        line = ""
        for c in range(COLS):
            line += letter_at(c, r) if mask[r][c] else "."
        out.append(line)
    return out


class Board(list):
    """Design board rows, with the square kinds kept under placed pieces
    (`under`: '0', '1', '2', or ' ' where the letter itself says it)."""
    under = None


def place(board, spots):
    """Puts pieces on single squares of a design board: {(c, r): letter}.
    A piece put on a wooden or iron square keeps the square's kind."""
    rows = [list(line) for line in board]
    under = [list(line) for line in (getattr(board, "under", None) or [" " * COLS] * ROWS)]
    for (c, r), letter in spots.items():
        if rows[r][c] == ".":
            raise ValueError(f"({c}, {r}) is no square")
        if rows[r][c] in JEWEL_LETTERS:
            under[r][c] = JEWEL_LETTERS[rows[r][c]]
        rows[r][c] = letter
    out = Board("".join(line) for line in rows)
    out.under = ["".join(line) for line in under]
    return out


def refill_problems(board):
    """Squares that new jewels can never reach: a column is refilled from its
    top square down to its first gap; squares below a gap are reached only by
    sliding down from a neighbouring column."""
    exists = [[board[r][c] != "." for c in range(COLS)] for r in range(ROWS)]
    reach = [[False] * COLS for _ in range(ROWS)]
    for c in range(COLS):
        for r in range(ROWS):
            if exists[r][c]:
                r2 = r
                while r2 < ROWS and exists[r2][c]:
                    reach[r2][c] = True
                    r2 += 1
                break
    changed = True
    while changed:
        changed = False
        for r in range(1, ROWS):
            for c in range(COLS):
                if not exists[r][c] or reach[r][c]:
                    continue
                ok = exists[r - 1][c] and reach[r - 1][c]
                for dc in (-1, 1):
                    if 0 <= c + dc < COLS and exists[r - 1][c + dc] and reach[r - 1][c + dc]:
                        ok = True
                if ok:
                    reach[r][c] = True
                    changed = True
    return [(c, r) for r in range(ROWS) for c in range(COLS) if exists[r][c] and not reach[r][c]]


def prune(mask):
    """Drops the squares new jewels could never reach."""
    while True:
        stuck = refill_problems(paint(mask, lambda c, r: "o"))
        if not stuck:
            return mask
        cut(mask, stuck)
