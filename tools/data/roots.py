"""Derives the Wubi roots of a character (placeholder until the splitter lands)."""


class RootSplitter:
    def __init__(self, decomp_path, overrides_path):
        pass

    def roots(self, ch, code):
        return []


def contradiction(numbers, code):
    return None
