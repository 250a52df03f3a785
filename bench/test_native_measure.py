"""Checks of the native measurement's pixel test and of its wait for a killed window to go."""

import unittest
from unittest import mock

import native_measure


class Picture:
    """A reference whose colour follows the position, so that a shifted picture does not match."""

    def __init__(self, width, height):
        self.width, self.height = width, height

    def at(self, x, y):
        return ((x * 37) % 256, (y * 53) % 256, (x + y) % 256)


class Screen:
    """The root window's pixels: the picture at a place, the desktop colour elsewhere."""

    def __init__(self, picture, left=None, top=None):
        self.picture, self.left, self.top = picture, left, top
        self.looks = 0

    def pixel(self, x, y):
        self.looks += 1
        if self.left is not None and (0 <= x - self.left < self.picture.width and
                                      0 <= y - self.top < self.picture.height):
            return self.picture.at(x - self.left, y - self.top)
        return (58, 110, 165)


class PictureShown(unittest.TestCase):
    def test_at_the_top_left_or_centred_but_not_elsewhere(self):
        picture = Picture(200, 100)
        window = (50, 40, 400, 300)
        cases = [("top-left", 50, 40, True), ("centred", 150, 140, True),
                 ("shifted", 53, 40, False), ("absent", None, None, False)]
        for name, left, top, shown in cases:
            screen = Screen(picture, left, top)
            self.assertEqual(native_measure.picture_shown(screen, window, picture, (1920, 1200)),
                             shown, name)

    def test_only_the_part_on_the_screen_is_compared(self):
        picture = Picture(400, 300)
        screen = Screen(picture, -100, -50)
        self.assertTrue(native_measure.picture_shown(screen, (-100, -50, 400, 300), picture,
                                                     (1920, 1200)))


class WaitGone(unittest.TestCase):
    def test_returns_once_the_desktop_has_repainted(self):
        picture = Picture(200, 100)
        screen = Screen(picture, 50, 40)
        original = screen.pixel

        def repainted_after_three_looks(x, y):
            if screen.looks >= 3 * 16:
                screen.left = None
            return original(x, y)

        screen.pixel = repainted_after_three_looks
        native_measure.wait_gone(screen, (50, 40, 200, 100), picture, (1920, 1200))
        self.assertIsNone(screen.left)

    def test_a_picture_that_stays_is_reported(self):
        picture = Picture(200, 100)
        screen = Screen(picture, 50, 40)
        with mock.patch.object(native_measure, "AFTER_TIMEOUT_S", 0.05):
            with self.assertRaises(SystemExit) as raised:
                native_measure.wait_gone(screen, (50, 40, 200, 100), picture, (1920, 1200))
        self.assertIn("still showed the picture", str(raised.exception))


if __name__ == "__main__":
    unittest.main()
