#include "previewer/usage_text.h"

#include "frontend/version.h"

namespace previewer {

std::string usageText() {
    return std::string("triangle-render ") + frontend::kVersion + R"(: renders "Render / Triangle" presets to pictures

Usage: triangle-render [options] PRESET [PRESET ...]

Each PRESET's scripts run in the stand-in host, as the visualizer would run
them. Each PRESET is one effect instance; all of them draw, in the
order given, into one frame buffer every frame and share one depth buffer, as
they would in the host. An option's value follows it as the next argument or
after '=' (--size 320x180 or --size=320x180); after -- every argument is a
preset, even one starting with '-'.

Frames:
  --size WxH             frame size in pixels, 1 to 16384 each (default 640x360)
  --frames N             number of frames, 1 to 1000000 (default 120)
  --blend MODE[:RATIO]   the host's blend mode, 0-255 or a name: replace (0),
                         additive (1), maximum (2), average (3),
                         subtract-colour (4), subtract-pixel (5), multiply (6),
                         mix (7), xor (8), minimum (9); modes 10-255 draw
                         nothing. RATIO (0-255, mode 7 only) weights the pixel
                         already there. The host's word is MODE | RATIO << 8.
                         Default 0. Scripts that set zbuf draw depth-tested.
  --beat-every K         frame k is a beat frame when k % K == 0, counting
                         from 0, with or without --audio (default: no beats,
                         or the song's; 0 also means none)
  --fill 0xAARRGGBB      the word every pixel holds before the first frame
                         (default 0x00000000)
  --clear                refill with that word before every frame (by default
                         the buffer persists from frame to frame, as the
                         host's does)

Music:
  --audio FILE           a song the scripts hear: WAV, FLAC, Ogg Vorbis, Opus,
                         MP3 or AAC/M4A, any rate from 8 to 192 kHz, more than
                         two channels mixed down. Beats come from the song
                         and, without --frames, the render covers it to its
                         end; past the end the music is silence
  --fps N                frames per second of music, 1 to 240 (default 60):
                         frame k shows the music at START + k / N seconds
  --start SECONDS        where in the song frame 0 is (default 0)
  --beats WHICH          none: no beat frames at all; music (the default):
                         the song's beats, or --beat-every's when given
  --log-frames FILE      one JSON line per frame: frame, time, beat, bass,
                         mid, treble and tempo, as the scripts saw them

Outputs (written whole or not at all: under a temporary name beside the file,
renamed when complete, and removed on an error, Ctrl-C or SIGTERM; an output
that is a PRESET file or the song, under any name, is refused before rendering):
  --out FILE             the last frame: FILE.png (RGB) or FILE.bgra (the
                         frame buffer's 32-bit words, little-endian, row 0
                         first, width x height x 4 bytes and nothing else)
  --frames-dir DIR       every frame as DIR/frame-0000.png, frame-0001.png ...
                         (DIR is created if missing; its parent must exist);
                         files of that pattern numbered beyond this render's
                         frames, left by an earlier render, are removed
  --sheet FILE.png       a contact sheet of evenly spaced frames, first and
                         last included, each labelled with its frame number;
                         an orange square marks a beat frame
  --sheet-count N        thumbnails on the sheet, 1 to 100 (default 16)
  --save-block FILE      the first preset's block exactly as the effect saves
                         it (four NUL-terminated sections)
  --video FILE           every frame as a clip at 60 frames a second, the
                         format by FILE's extension: .mp4 (H.264, plays
                         everywhere), .webm (VP9) or .gif (looping, each
                         frame's own palette, at most 50 pictures a second)
  --video-quality N      the encoder's constant-quality number: .mp4 x264 CRF
                         0-51 (default 12, 6 in full chroma), .webm VP9 CRF
                         0-63 (default 16, 4 in full chroma), .gif colours
                         per frame 2-256 (default 256)
  --video-speed S        the encoder's speed preset: .mp4 ultrafast (default)
                         to veryslow, .webm cpu-used 0-9 (default 9)
  --video-chroma C       half (default: 4:2:0, plays everywhere; odd sizes are
                         padded by a pixel in .mp4) or full (4:4:4: exact
                         colour edges, but many browsers and phones cannot
                         play it)
  --video-dither         .gif: dither where a frame has more colours than its
                         palette (by default colours are merged, no noise)

Checking and messages:
  --strict               a section that does not compile is an error (exit 1)
                         instead of being skipped as the host skips it; also
                         warns about likely slips that do compile
  --quiet                no progress bar and no drawing warnings. On a
                         terminal a progress bar appears once rendering has
                         taken a second (frames, triangles of the frame under
                         way, frames per second, time left). A warning says
                         when a preset draws nothing and why (n never set or
                         0, every triangle skipped or outside the frame, a
                         blend mode of 10 or more), once per cause
  --force                render even when the estimated memory is more than
                         half of the machine's (otherwise refused, exit 2)
  --version              the program's name and version
  -h, --help             this text

Preset files:
  A file with no NUL byte is UTF-8 text (a UTF-8 byte-order mark is skipped).
  One that starts with a UTF-16 or UTF-32 byte-order mark, or whose NUL bytes
  fall in the pattern of UTF-16 or UTF-32 text (every other byte, or three of
  every four) and then has a section header line, is read as that encoding;
  if it is not valid in it, it is refused. Any other file with a NUL byte is a
  raw preset block: the init, frame, beat and triangle sections, each ending
  in a NUL (bytes after the fourth NUL are ignored). In text, a line [init],
  [frame], [beat] or [triangle] starts that section, and the lines up to the
  next such line are its script; a header may be in any case, have spaces
  inside and around its brackets and end with a # or // comment. A missing
  section is empty. Before the first section only blank lines and comments
  starting with # or // may appear. A bracketed line that names no section is
  kept as script text with a warning (an error with --strict). CR LF line
  ends are fine; the section text keeps them. Example:

      # a white triangle
      [frame]
      n = 1
      [triangle]
      x1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1

  Every section that fails to compile is reported with its file, section,
  line, column and message (text files give the file's own line number).

Exit status: 0 done; 1 --strict and a section failed to compile; 2 a bad
option, an unreadable or malformed preset or song, an output that cannot be
written or that is an input, or not enough memory (a one-line message says
which).
)";
}

}  // namespace previewer
