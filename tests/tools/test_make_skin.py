"""Checks of the skin images: run with `python3 -m unittest discover -s tests/tools`.

The display copies glyph cells over the background at fixed places and the
buttons pick faces by state, so these checks guard what that code relies on.
"""

import os
import sys
import unittest

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(TOP, "tools"))

import make_skin as skin  # noqa: E402

SIZES = {300: (274, 112), 301: (165, 24), 302: (67, 9), 304: (12, 28), 305: (8, 21),
         306: (12, 21), 307: (6, 33), 308: (150, 18), 309: (42, 11), 310: (80, 55),
         502: (32, 32), 505: (32, 32)}
SIZES.update({rid: (36, 20) for rid in range(350, 378)})

# Element rectangles on the client area (x, y, w, h), as the display draws them.
ELEMENTS = ([(x, y, 15, 24) for x, y in skin.LARGE_CELLS]
            + [(x, y, 6, 9) for x, y in skin.SMALL_CELLS]
            + [(126, 20, 6, 11), (126, 32, 6, 11), (182, 21, 11, 7), (199, 21, 7, 7),
               (195, 36, 12, 7), (6, 99, 150, 9), (188, 98, 80, 11)])


def pixels(img, x, y, w, h):
    return [img.get(x + dx, y + dy) for dy in range(h) for dx in range(w)]


class SkinImagesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.images = skin.all_images()

    def test_committed_files_are_what_the_generator_draws_at_the_stated_sizes(self):
        self.assertEqual(sorted(self.images), sorted(SIZES))
        for rid, (w, h) in SIZES.items():
            with self.subTest(id=rid):
                with open(os.path.join(TOP, "res", "skin", "%d.png" % rid), "rb") as f:
                    stored = skin.decode_png(f.read())
                self.assertEqual((stored.w, stored.h), (w, h))
                self.assertEqual(stored.px, self.images[rid].px)

    def test_background_panel_frame_colon_and_groove_sit_where_the_display_expects(self):
        bg = self.images[300]
        cases = [
            ((7, 20), skin.SHADOW), ((8, 20), skin.SHADOW), ((100, 7), skin.SHADOW),
            ((100, 8), skin.SHADOW), ((213, 20), skin.WHITE), ((214, 20), skin.WHITE),
            ((100, 46), skin.WHITE), ((100, 47), skin.WHITE), ((9, 9), skin.BLACK),
            ((212, 45), skin.BLACK), ((100, 55), skin.SHADOW), ((100, 56), skin.WHITE),
            ((240, 60), skin.FACE),
        ]
        for (x, y), colour in cases:
            with self.subTest(x=x, y=y):
                self.assertEqual(bg.get(x, y), colour)
        for y0 in (28, 34):
            self.assertEqual(set(pixels(bg, 89, y0, 2, 2)), {skin.GREEN})
        self.assertEqual(set(pixels(bg, 87, 28, 2, 8) + pixels(bg, 91, 28, 1, 8)), {skin.BLACK})

    def test_every_unlit_placeholder_lies_under_an_element_so_its_glyph_covers_it(self):
        bg = self.images[300]
        unlit = [(x, y) for y in range(bg.h) for x in range(bg.w) if bg.get(x, y) == skin.UNLIT]
        self.assertTrue(unlit)
        for x, y in unlit:
            self.assertTrue(any(ex <= x < ex + w and ey <= y < ey + h for ex, ey, w, h in ELEMENTS),
                            "unlit pixel at (%d, %d) outside every element" % (x, y))

    def test_digit_strips_have_a_black_blank_cell_and_ten_distinct_green_digits(self):
        for rid, cell_w in ((301, 15), (302, 6)):
            with self.subTest(id=rid):
                img = self.images[rid]
                cells = [pixels(img, cell_w * k, 0, cell_w, img.h) for k in range(11)]
                self.assertEqual(set(cells[0]), {skin.BLACK})
                self.assertEqual(set(sum(cells[1:], [])), {skin.BLACK, skin.GREEN})
                self.assertEqual(len({tuple(c) for c in cells[1:]}), 10)
        self.assertEqual(set(pixels(self.images[302], 66, 0, 1, 9)), {skin.BLACK})

    def test_progress_rows_are_solid_blue_over_solid_grey(self):
        bar = self.images[308]
        self.assertEqual(set(pixels(bar, 0, 0, 150, 9)), {skin.BLUE})
        self.assertEqual(set(pixels(bar, 0, 9, 150, 9)), {skin.FACE})

    def test_source_strip_frames_active_icons_and_leaves_absent_places_empty(self):
        strip = self.images[310]
        looks = ["-- d d", "-- a d", "-- d a", "- a d d", "a - d d"]
        for row, rowLooks in enumerate(looks):
            for place, look in enumerate(rowLooks.replace("--", "- -").split()):
                x, y = 20 * place, 11 * row
                with self.subTest(row=row, place="ABCD"[place]):
                    area = set(pixels(strip, x, y, 20, 11))
                    if look == "-":
                        self.assertEqual(area, {skin.FACE})
                    elif look == "d":
                        self.assertEqual(area, {skin.FACE, skin.SHADOW})
                    else:
                        self.assertEqual(strip.get(x, y + 5), skin.WHITE)
                        self.assertEqual(strip.get(x + 19, y + 5), skin.SHADOW)
                        self.assertIn(skin.BLACK, area)

    def test_button_faces_follow_the_state_rules(self):
        for _, first, _ in skin.BUTTONS:
            pressed, focused, normal, disabled = (self.images[first + k] for k in range(4))
            with self.subTest(first=first):
                self.assertEqual(focused.px, normal.px)
                self.assertEqual(set(pixels(normal, 0, 0, 36, 1)), {skin.BLACK})
                self.assertEqual(set(pixels(normal, 1, 1, 34, 1)), {skin.WHITE})
                self.assertEqual(set(pixels(normal, 1, 18, 34, 1)), {skin.SHADOW})
                self.assertEqual(set(pixels(pressed, 0, 0, 36, 2) + pixels(pressed, 0, 0, 2, 20)),
                                 {skin.BLACK})
                self.assertEqual(set(pixels(pressed, 2, 2, 32, 1)), {skin.WHITE})
                self.assertEqual(set(pixels(pressed, 2, 17, 32, 1)), {skin.SHADOW})
                inside = pixels(disabled, 1, 2, 34, 16)
                self.assertNotIn(skin.BLACK, inside)
                self.assertIn(skin.SHADOW, inside)

    def test_icons_have_a_transparent_surround(self):
        for rid in (502, 505):
            with self.subTest(id=rid):
                icon = self.images[rid]
                self.assertIsNone(icon.get(0, 0))
                self.assertGreater(sum(c is not None for c in pixels(icon, 0, 0, 32, 32)), 200)


if __name__ == "__main__":
    unittest.main()
