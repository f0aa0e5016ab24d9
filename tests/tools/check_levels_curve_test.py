#!/usr/bin/env python3
"""The curve rules of tools/levels/check-levels --curve, on made-up figures."""

import importlib.machinery
import os
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
check = importlib.machinery.SourceFileLoader(
    "check_levels", os.path.join(ROOT, "tools/levels/check-levels")).load_module()


def climb(n=30, final="058-final"):
    """A quest whose share used rises from 30% to 70%, the last level the final."""
    rows = [("%03d" % (i + 1), False, 30 + 40 * i / (n - 1)) for i in range(n)]
    rows[-1] = (final, False, rows[-1][2])
    return rows


class RankCorrelation(unittest.TestCase):
    def test_order_and_ties(self):
        self.assertAlmostEqual(check.spearman([1, 2, 3, 4], [10, 20, 30, 40]), 1.0)
        self.assertAlmostEqual(check.spearman([1, 2, 3, 4], [9, 7, 5, 1]), -1.0)
        self.assertEqual(check.ranks([5, 1, 5, 2]), [3.5, 1.0, 3.5, 2.0])
        # Only the order counts, not the size of the steps.
        self.assertAlmostEqual(check.spearman([1, 2, 3], [1, 2, 300]), 1.0)
        self.assertEqual(check.spearman([1, 2, 3], [4, 4, 4]), 0.0)


class CurveRules(unittest.TestCase):
    def test_a_steady_climb_passes(self):
        rho, first, last, problems = check.curve_problems(climb())
        self.assertEqual(problems, [])
        self.assertGreater(rho, 0.99)
        self.assertLess(first, last)

    def test_each_band(self):
        rows = climb()
        rows[0] = ("001", False, 10)           # the first ten: 15-45%
        rows[3] = ("004", False, 50)
        rows[12] = ("013", False, 24)          # later: 25% at least
        rows[13] = ("013-bonus", True, 21)     # a bonus level: 20% is enough
        rows[-1] = ("058-final", False, 59)    # the final: 60%
        problems = " ".join(check.curve_problems(rows)[3])
        for lid in ("001 ", "004 ", "013 ", "058-final "):
            self.assertIn(lid, problems)
        self.assertNotIn("013-bonus", problems)

    def test_a_flat_quest_fails_the_climb_and_the_last_ten(self):
        rows = [("%03d" % (i + 1), False, 40 - (i % 3)) for i in range(30)]
        problems = check.curve_problems(rows)[3]
        self.assertTrue(any(p.startswith("rank correlation") for p in problems))
        self.assertTrue(any(p.startswith("last 10 median") for p in problems))


class QuestOrder(unittest.TestCase):
    def test_map_order_and_bonus_marks(self):
        entries = check.map_entries()
        self.assertEqual([lid for lid, _ in entries], check.quest_levels())
        self.assertEqual(entries[0], ("001", False))
        self.assertEqual(entries[-1][0], "058-final")
        self.assertTrue(all(bonus == lid.endswith("-bonus") for lid, bonus in entries))


if __name__ == "__main__":
    sys.exit(unittest.main())
