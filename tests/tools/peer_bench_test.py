#!/usr/bin/env python3
"""The side-by-side benchmark driver's own arithmetic and output (no timings):
medians, the interleaved run order, which way the ratio points, the table and JSON."""

import json
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "peers"))
import peerbench  # noqa: E402


class MedianTest(unittest.TestCase):
    def test_middle_of_odd_and_mean_of_middles_of_even_counts(self):
        for values, expected in [([5], 5), ([3, 1, 2], 2), ([9, 1, 4, 2], 3), ([1, 100, 2, 3, 2], 2)]:
            with self.subTest(values=values):
                self.assertEqual(peerbench.median(values), expected)

    def test_no_values_is_an_error(self):
        with self.assertRaises(ValueError):
            peerbench.median([])


class InterleavedTest(unittest.TestCase):
    def test_every_variant_once_per_round(self):
        for variants, runs, expected in [
            (["V", "L"], 2, [("V", 0), ("L", 0), ("V", 1), ("L", 1)]),
            (["V", "a", "b"], 1, [("V", 0), ("a", 0), ("b", 0)]),
        ]:
            with self.subTest(variants=variants, runs=runs):
                self.assertEqual(peerbench.interleaved(variants, runs), expected)

    def test_zero_runs_is_an_error(self):
        with self.assertRaises(ValueError):
            peerbench.interleaved(["V"], 0)


class RowTest(unittest.TestCase):
    def test_ratio_above_one_when_velmaris_needs_less(self):
        for velmaris, peer, expected in [(2.0, 4.0, 2.0), (4.0, 2.0, 0.5), (3.0, 3.0, 1.0), (0.0, 1.0, None)]:
            with self.subTest(velmaris=velmaris, peer=peer):
                self.assertEqual(peerbench.ratio(velmaris, peer), expected)

    def test_the_peers_fastest_variant_is_compared(self):
        row = peerbench.make_row("k", "m", "ms", [10, 12, 11], {"draw": [8, 9, 30], "batch": [5, 6, 7]})
        self.assertEqual(row["velmaris"], 11)
        self.assertEqual((row["love"], row["love_variant"]), (6, "batch"))
        self.assertEqual(row["love_variants"], {"draw": 9, "batch": 6})
        self.assertAlmostEqual(row["ratio"], 6 / 11)


class FillLimitTest(unittest.TestCase):
    def test_share_is_the_time_the_sprites_pixels_take_at_the_fill_rate_over_their_frame(self):
        # Velmaris fills 1,000 px in 2 ms (500 px/ms): 250 sprite pixels take 0.5 ms of a
        # 1 ms frame; LÖVE fills 1,000 px in 4 ms: they take 1 ms of a 4 ms frame.
        fill = {"velmaris": 2.0, "love": 4.0}
        sprites = {"velmaris": 1.0, "love": 4.0}
        limit = peerbench.fill_limit(fill, 1000, sprites, 250)
        self.assertAlmostEqual(limit["velmaris"]["fill_mpx_per_s"], 0.5)
        self.assertAlmostEqual(limit["velmaris"]["sprites_limit_ms"], 0.5)
        self.assertAlmostEqual(limit["velmaris"]["share_of_limit"], 0.5)
        self.assertAlmostEqual(limit["love"]["share_of_limit"], 0.25)


class OutputTest(unittest.TestCase):
    ROWS = [peerbench.make_row("a", "1,000 sprites", "ms/frame", [2.0], {"SpriteBatch": [4.0]}),
            peerbench.make_row("b", "memory", "MB", [143.2], {"draw": [120.0]})]

    def test_table_has_one_line_a_row_with_figures_variant_and_ratio(self):
        lines = peerbench.format_table(self.ROWS).splitlines()
        self.assertEqual(len(lines), 4)
        self.assertIn("LÖVE (best variant)", lines[0])
        self.assertEqual(lines[2], "| 1,000 sprites | 2 ms/frame | 4 ms/frame (SpriteBatch) | 2.00 |")
        self.assertEqual(lines[3], "| memory | 143 MB | 120 MB (draw) | 0.84 |")

    def test_json_round_trips_rows_and_machine(self):
        parsed = json.loads(peerbench.to_json(self.ROWS, {"cores": 2}))
        self.assertEqual(parsed["machine"], {"cores": 2})
        self.assertEqual([row["key"] for row in parsed["rows"]], ["a", "b"])
        self.assertEqual(parsed["rows"][0]["ratio"], 2.0)
        self.assertNotIn("fill_limit", parsed)
        with_limit = json.loads(peerbench.to_json(self.ROWS, {}, {"velmaris": {"share_of_limit": 0.9}}))
        self.assertEqual(with_limit["fill_limit"]["velmaris"]["share_of_limit"], 0.9)


if __name__ == "__main__":
    unittest.main()
