"""The fixed frame sequence every build of the module must render to the same
bytes (the same one tests/abi/scenario.h drives natively and from the
Microsoft-ABI host), in Python: two effects sharing a frame buffer and the
depth buffer, beats, every blend mode, and a late effect that must find a
fresh depth buffer. Prints the same "frame NN hash" lines."""

WIDTH, HEIGHT = 97, 61  # odd sizes exercise the span tails
FRAMES = 24
BACKGROUND = 0x20406080
SCRATCH_SIZE = 4096


class Preset:
    def __init__(self, init, frame, beat, triangle):
        self.init, self.frame, self.beat, self.triangle = init, frame, beat, triangle

    def sections(self):
        return [self.init, self.frame, self.beat, self.triangle]


# Effect A clears the shared depth buffer; effect B tests against what A left.
PRESETS = [
    Preset("t = 0; spin = 0",
           "t = t + 1; n = 9 + t % 4; zbuf = t > 16; zbclear = 1",
           "spin = spin + 0.125",
           "x1 = i * 2 - 1 + spin * 0.1; y1 = -1.2 + (t % 5) * 0.1;\r\n"
           "x2 = x1 + 0.45; y2 = y1 + 1.3 - i * 0.4;\r\n"
           "x3 = x1 - 0.3 + t * 0.01; y3 = 1.1 - i * 0.5;\r\n"
           "red1 = i; green1 = 1 - i; blue1 = (t % 7) / 7; z1 = i * 3 + t * 0.01;\r\n"
           "skip = (t % 3 == 0) && (i > 0.8)"),
    Preset("k = 0",
           "k = k + 1; n = 5; zbuf = k > 16; zbclear = 0",
           "k = k + 2",
           "x1 = -1.5 + i * 3; y1 = -0.9;\r\n"
           "x2 = 1 - i * 1.5; y2 = 0.2 + (k % 3) * 0.3;\r\n"
           "x3 = i - 0.5; y3 = 1.4;\r\n"
           "red1 = 0.5; green1 = i * i; blue1 = 0.25 + k / 100; z1 = 1.5 + i"),
]

# How many triangles each preset's frame section asks for on frame k ("n"):
# A counts t up from 1 in its frame section, B always wants 5.
TRIANGLE_COUNTS = [lambda k: 9 + (k + 1) % 4, lambda k: 5]

# After every effect is gone a new one must find a fresh, cleared depth
# buffer: a triangle at depth 0 then covers all it touches.
LATE_EFFECT = Preset("", "n = 1; zbuf = 1; zbclear = 0", "",
                     "x1 = -1; y1 = -1; x2 = 3; y2 = -1; x3 = -1; y3 = 3; "
                     "red1 = 1; green1 = 0.5; blue1 = 0; z1 = 0")
LATE_TRIANGLES = 1
LATE_COLOUR = 0x00FF8000

_BLEND_WORDS = [0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x4007,
                0x0008, 0x0009, 0xC007, 0x000C, 0x00F3, 0x0001, 0x0003, 0x0007]


def blend_word_for_frame(k):
    """Every mode, two mix ratios, and modes the effect does not know."""
    return _BLEND_WORDS[k % 16]


def is_beat_frame(k):
    return k % 4 == 0


def frame_hash(data):
    """64-bit FNV-1a over the frame's bytes (little-endian pixels)."""
    value = 14695981039346656037
    for byte in data:
        value = ((value ^ byte) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return value


def hash_line(frame, value):
    return f"frame {frame:02d} {value:016x}"


def make_block(preset):
    """A preset block: the four sections, each with its NUL."""
    return b"".join(text.encode("latin-1") + b"\0" for text in preset.sections())


def run_scenario(host):
    """The whole sequence against host, which provides create(label) -> effect,
    destroy(effect), load(effect, bytes), save(effect) -> bytes,
    render(effect, is_beat, triangle_count), set_blend_word(word), pixels() -> bytes,
    fill_pixels(word), print(text) and fail(text)."""
    host.fill_pixels(BACKGROUND)
    effects = []
    for number, preset in enumerate(PRESETS):
        effect = host.create(f"effect {'AB'[number]}")
        if not effect:
            return host.fail("factory returned no effect")
        host.load(effect, make_block(preset))
        effects.append(effect)
    for frame in range(FRAMES):
        host.set_blend_word(blend_word_for_frame(frame))
        for number, effect in enumerate(effects):
            host.render(effect, is_beat_frame(frame), TRIANGLE_COUNTS[number](frame))
        host.print(hash_line(frame, frame_hash(host.pixels())))

    expected = make_block(PRESETS[0])
    saved = host.save(effects[0])
    if len(saved) != len(expected):
        return host.fail(f"saveConfig returned {len(saved)}, expected {len(expected)}")
    if saved != expected:
        return host.fail("saveConfig wrote a different block")

    for effect in effects:
        host.destroy(effect)

    late = host.create("late effect")
    if not late:
        return host.fail("factory returned no effect")
    host.load(late, make_block(LATE_EFFECT))
    host.render(late, False, LATE_TRIANGLES)
    pixels = host.pixels()
    for y in range(1, HEIGHT):
        for x in range(WIDTH - 1):
            offset = 4 * (y * WIDTH + x)
            if int.from_bytes(pixels[offset:offset + 4], "little") != LATE_COLOUR:
                return host.fail("depth buffer survived its last effect: a depth-0 triangle was hidden "
                                 f"(pixel {x},{y})")
    host.print(hash_line(FRAMES, frame_hash(pixels)))
    host.destroy(late)
