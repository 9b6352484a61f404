"""A model of an xterm's screen, enough for what ncurses sends to the game's
terminal, and the fewest bytes any program could send to change one screen
into another.

The model keeps each cell's character and colours (the last SGR in force)
and the cursor; it understands the sequences ncurses uses for xterm-256color
and raises ValueError on any other, so a new one is never silently wrong.
"""

import re

SEQUENCE = re.compile(rb"\x1b(\[[0-9;?>!]*[ -/]*[@-~]|[()][0-9A-Za-z]|[=>78DEHMc])")


class Screen:
    def __init__(self, rows, cols):
        self.rows, self.cols = rows, cols
        self.sgr = ""
        self.cells = [[(" ", "")] * cols for _ in range(rows)]
        self.row = self.col = 0
        self.top, self.bottom = 0, rows - 1  # the scroll region

    def resize(self, rows, cols):
        self.cells = [(line + [(" ", "")] * cols)[:cols] for line in self.cells[:rows]]
        self.cells += [[(" ", "")] * cols for _ in range(rows - len(self.cells))]
        self.rows, self.cols = rows, cols
        self.top, self.bottom = 0, rows - 1
        self.row, self.col = min(self.row, rows - 1), min(self.col, cols - 1)

    def feed(self, data):
        text_at = 0
        for match in SEQUENCE.finditer(data):
            self.text(data[text_at:match.start()])
            self.control(match.group(1).decode())
            text_at = match.end()
        self.text(data[text_at:])

    def text(self, data):
        for ch in data.decode("utf-8", "replace"):
            if ch == "\r":
                self.col = 0
            elif ch == "\n":
                self.down()
            elif ch == "\b":
                self.col = max(self.col - 1, 0)
            elif ch == "\a":
                pass
            elif ch < " ":
                raise ValueError(f"control byte {ord(ch)}")
            else:
                if self.col >= self.cols:  # the pending wrap of the last column
                    self.col = 0
                    self.down()
                self.cells[self.row][self.col] = (ch, self.sgr)
                self.col += 1

    def down(self):
        if self.row == self.bottom:
            del self.cells[self.top]
            self.cells.insert(self.bottom, [(" ", self.sgr)] * self.cols)
        else:
            self.row = min(self.row + 1, self.rows - 1)

    def erase(self, row, start, end):
        self.cells[row][start:end] = [(" ", self.sgr)] * (end - start)

    def control(self, seq):
        if not seq.startswith("[") or "?" in seq or seq[-1] in "hlt" or seq[-2:] == "!p":
            return  # modes, charsets, keypad, the title stack: nothing on the screen
        final, args = seq[-1], [int(a) if a else 0 for a in seq[1:-1].split(";")]
        n = max(args[0], 1)
        if final == "m":
            self.sgr = "" if args in ([0], [39, 49]) else seq  # the default colours, or these
        elif final == "H":
            self.row, self.col = n - 1, max(args[1] if len(args) > 1 else 1, 1) - 1
        elif final in "ABCD":
            dr, dc = {"A": (-n, 0), "B": (n, 0), "C": (0, n), "D": (0, -n)}[final]
            self.row = min(max(self.row + dr, 0), self.rows - 1)
            self.col = min(max(self.col + dc, 0), self.cols - 1)
        elif final == "d":
            self.row = n - 1
        elif final == "G":
            self.col = n - 1
        elif final == "X":
            self.erase(self.row, self.col, min(self.col + n, self.cols))
        elif final == "K":
            start, end = {0: (self.col, self.cols), 1: (0, self.col + 1), 2: (0, self.cols)}[args[0]]
            self.erase(self.row, start, end)
        elif final == "J":
            rows = {0: range(self.row + 1, self.rows), 1: range(0, self.row), 2: range(self.rows)}[args[0]]
            if args[0] == 0:
                self.erase(self.row, self.col, self.cols)
            for r in rows:
                self.erase(r, 0, self.cols)
        elif final == "r":
            self.top, self.bottom = n - 1, (args[1] if len(args) > 1 and args[1] else self.rows) - 1
            self.row = self.col = 0
        elif final == "b":  # repeats the last character written
            self.text(self.cells[self.row][max(self.col - 1, 0)][0].encode() * n)
        else:
            raise ValueError(f"unknown sequence ESC {seq}")


def digits(n):
    return len(str(n))


def move_cost(a, b):
    """The fewest bytes that take the cursor from cell a to cell b, by the
    moves xterm-256color offers: absolute (cup, vpa, hpa), relative (with a
    count, or one step: line feed, backspace), and carriage return."""
    (r0, c0), (r1, c1) = a, b
    if a == b:
        return 0
    cup = 3 if b == (0, 0) else 4 + digits(r1 + 1) + digits(c1 + 1)
    dr, dc = r1 - r0, c1 - c0
    vertical = 0 if dr == 0 else min(3 + digits(r1 + 1), dr if dr > 0 else 3 * -dr,
                                     3 + digits(abs(dr)) if abs(dr) > 1 else 3)
    to_col = 0 if c1 == 0 else min(3 + digits(c1 + 1), 3 + digits(c1) if c1 > 1 else 3)
    horizontal = 0 if dc == 0 else min(3 + digits(c1 + 1), 1 + to_col,  # hpa; cr and on
                                       -dc if dc < 0 else 3 + digits(dc) if dc > 1 else 3,
                                       3 + digits(-dc) if dc < -1 else 99)
    return min(cup, vertical + horizontal)


def fewest_bytes(before, after, cursor_before, cursor_after):
    """Bytes of the cheapest change of screen `before` into `after` (cells
    as (character, colours)) where every changed cell is written in row
    order, the colours unchanged (as in a move of the game), and a gap
    between two changes on one row either skipped or written over."""
    cost, at = 0, cursor_before
    for row, (old, new) in enumerate(zip(before, after)):
        col = 0
        while col < len(new):
            if old[col] == new[col]:
                col += 1
                continue
            end = col
            while end < len(new) and old[end] != new[end]:
                end += 1
            gap = sum(len(c.encode()) for c, _ in new[at[1]:col]) if at[0] == row and at[1] <= col else 99
            cost += min(move_cost(at, (row, col)), gap)
            cost += sum(len(c.encode()) for c, _ in new[col:end])
            at, col = (row, end), end
    return cost + move_cost(at, cursor_after)
