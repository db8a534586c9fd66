#!/usr/bin/env python3
"""triangle-live in a real window: an X server of its own (Xvfb), keys sent
with xdotool, pictures through the S key (and the root window's pixels for
what only the window shows), compared with triangle-render's frames."""

import argparse
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

TIMEOUT = 60.0  # generous: a loaded machine is slow, never a failure

# Four triangles turning; a beat darkens the frame it falls on. %s: red.
RING = """[init]
t = 0
[frame]
t = t + 0.1; n = 4; shade = 1
[beat]
shade = 0.3
[triangle]
a = t + i * 6.283;
x1 = 0.8 * cos(a); y1 = 0.8 * sin(a); x2 = 0.8 * cos(a + 2); y2 = 0.8 * sin(a + 2); x3 = 0; y3 = 0;
red1 = %s * shade; green1 = i * shade; blue1 = (1 - i) * shade
"""

EMPTY = "[frame]\nn = 0\n"
SLOW = "[frame]\nn = 10000000\n[triangle]\nx1 = 0; y1 = 0; x2 = 0.001; y2 = 0; x3 = 0; y3 = 0.001; red1 = 0.5\n"


class Failure(Exception):
    pass


def wait_for(what, check, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = check()
        if result:
            return result
        time.sleep(0.05)
    raise Failure("timed out waiting for " + what)


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


class XServer:
    """Xvfb on a display number it chooses itself (-displayfd)."""

    def __init__(self):
        reader, writer = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writer), "-screen", "0", "1024x768x24", "-br", "-noreset", "-nolisten", "tcp"],
            pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(writer)
        with os.fdopen(reader) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.display = ":" + number

    def close(self):
        self.process.terminate()
        self.process.wait()

    def root_pixels(self, work):
        """The screen as (width, height, RGB bytes), through ImageMagick's import."""
        path = os.path.join(work, "root.ppm")
        subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", path], check=True)
        data = read(path)
        fields, at = [], 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        return int(fields[1]), int(fields[2]), data[at + 1:]


def has_colour(pixels, rgb):
    return bytes(rgb) in {pixels[2][k:k + 3] for k in range(0, len(pixels[2]), 3)}


class Live:
    """One run of triangle-live in the test's directory."""

    def __init__(self, tools, args, env=None):
        self.tools = tools
        self.work = tools.work
        self.out = os.path.join(self.work, "live.out")
        self.err = os.path.join(self.work, "live.err")
        environment = dict(os.environ, DISPLAY=tools.x.display, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy")
        environment.update(env or {})
        with open(self.out, "wb") as out, open(self.err, "wb") as err:
            self.process = subprocess.Popen([tools.live] + args, cwd=self.work, stdout=out, stderr=err,
                                            env=environment)
        self.window = None
        tools.running.append(self)

    def find_window(self):
        def search():
            if self.process.poll() is not None:
                raise Failure("triangle-live ended early: " + read(self.err).decode())
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^triangle-live$"],
                                   env=self.env(), capture_output=True, text=True).stdout.split()
            return found[0] if found else None
        self.window = wait_for("the window", search)
        return self

    def env(self):
        return dict(os.environ, DISPLAY=self.tools.x.display)

    def key(self, *names):
        for name in names:
            subprocess.run(["xdotool", "windowfocus", "--sync", self.window], env=self.env(), check=True)
            subprocess.run(["xdotool", "key", name], env=self.env(), check=True)

    def stdout_lines(self):
        return read(self.out).decode().splitlines()

    def screenshot(self):
        """Presses S and returns (frame number, PNG bytes) of the new picture."""
        before = len([l for l in self.stdout_lines() if l.startswith("screenshot ")])
        self.key("s")
        line = wait_for("a screenshot line", lambda: ([l for l in self.stdout_lines() if l.startswith("screenshot ")]
                                                      + [None] * 99)[before])
        name, frame = line.split()[1], int(line.split("(frame ")[1].rstrip(")"))
        return frame, read(os.path.join(self.work, name))

    def wait_stderr(self, text):
        return wait_for("'%s' on stderr" % text, lambda: text in read(self.err).decode())

    def quit(self, key="q"):
        self.key(key)
        try:
            code = self.process.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("triangle-live did not end after " + key)
        if code != 0:
            raise Failure("exit %d after %s: %s" % (code, key, read(self.err).decode()))

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Tools:
    def __init__(self, live, render, x, work):
        self.live, self.render, self.x, self.work = live, render, x, work
        self.running = []

    def write(self, name, text):
        path = os.path.join(self.work, name)
        with open(path, "w") as f:
            f.write(text)
        return path

    def save_by_rename(self, name, text):
        self.write(".%s.swp" % name, text)
        os.rename(os.path.join(self.work, ".%s.swp" % name), os.path.join(self.work, name))

    def rendered(self, args, frame):
        """triangle-render's frame `frame` as PNG bytes."""
        out = os.path.join(self.work, "render.png")
        subprocess.run([self.render, "--quiet", "--frames", str(frame + 1), "--out", out] + args, cwd=self.work,
                       check=True)
        return read(out)


# --- the cases -------------------------------------------------------------

COMMON = ["--size", "160x90", "--fps", "30"]


def paused_frame_equals_render(t):
    """Space pauses at some frame k; S gives triangle-render's frame k; Right
    steps one frame."""
    t.write("ring.preset", RING % "1")
    live = Live(t, COMMON + ["--log-frames", "log.jsonl", "ring.preset"]).find_window()
    wait_for("frames to play", lambda: read(os.path.join(t.work, "log.jsonl")).count(b"\n") >= 3)
    live.key("space")
    first, picture = live.screenshot()
    again, same = live.screenshot()
    if again != first or same != picture:
        raise Failure("paused, yet frame %d became %d" % (first, again))
    if picture != t.rendered(COMMON + ["ring.preset"], first):
        raise Failure("paused frame %d differs from triangle-render's" % first)
    live.key("Right", "Right")
    stepped, picture = live.screenshot()
    if stepped != first + 2 or picture != t.rendered(COMMON + ["ring.preset"], stepped):
        raise Failure("two steps from %d gave frame %d, not triangle-render's" % (first, stepped))
    live.quit("Escape")


def keys_change_the_frame(t):
    """Blend-mode digits, B, C and R each do what the help says, checked
    against triangle-render with the same options."""
    t.write("ring.preset", RING % "0.5")
    t.write("empty.preset", EMPTY)
    base = COMMON + ["--clear", "--fill", "0x00404040"]
    live = Live(t, base + ["--paused", "ring.preset"]).find_window()
    cases = [
        # keys, expected frame, triangle-render's options for it
        (["1", "Right"], 1, base + ["--blend", "1", "ring.preset"]),
        (["r"], 0, base + ["ring.preset"]),
        (["b", "Right"], 1, base + ["--beat-every", "1", "ring.preset"]),
    ]
    for keys, frame, render_args in cases:
        live.key(*keys)
        got, picture = live.screenshot()
        if got != frame:
            raise Failure("keys %s: frame %d, expected %d" % (keys, got, frame))
        if picture != t.rendered(render_args, frame):
            raise Failure("keys %s: the picture is not triangle-render %s" % (keys, " ".join(render_args)))
        if keys[0] == "1":
            live.key("0")
    live.key("c")
    _, cleared = live.screenshot()
    if cleared != t.rendered(base + ["empty.preset"], 0):
        raise Failure("C did not leave the fill colour alone on the frame")
    live.quit("q")


def saved_edits_recompile_on_the_21st_frame(t):
    """Saving the preset, in place or by an editor's rename, changes the
    picture, and the log names the frame seen and the frame compiled, 20
    apart; a broken section keeps the picture moving and is shown in the
    window and on stderr."""
    t.write("ring.preset", RING % "1")
    live = Live(t, COMMON + ["--clear", "ring.preset"]).find_window()
    _, before = live.screenshot()
    for count, (save, red) in enumerate([(t.write, "0.25"), (t.save_by_rename, "0")], start=1):
        save("ring.preset", RING % red)
        line = wait_for("recompile line %d" % count, lambda: ([l for l in read(live.err).decode().splitlines()
                                                              if "recompiled at frame" in l] + [None] * 9)[count - 1])
        words = line.split()
        seen, compiled = int(words[words.index("seen") + 3].rstrip(",")), int(words[-1])
        if compiled != seen + 20:
            raise Failure("change seen at frame %d was compiled at frame %d, not %d" % (seen, compiled, seen + 20))
        after = wait_for("a frame of the new scripts",
                         lambda: (lambda shot: shot[1] if shot[0] >= compiled else None)(live.screenshot()))
        if after == before:
            raise Failure("the picture did not change after saving (save %d)" % count)
        before = after
    t.write("ring.preset", (RING % "0").replace("shade = 0.3", "shade = (0.3"))
    live.wait_stderr("ring.preset:6:")
    live.wait_stderr("[beat]")
    wait_for("the diagnostic in the window", lambda: has_colour(t.x.root_pixels(t.work), (255, 96, 96)))
    first, one = live.screenshot()
    second, two = wait_for("a later frame", lambda: (lambda s: s if s[0] > first else None)(live.screenshot()))
    if one == two:
        raise Failure("the broken beat section stopped the picture moving")
    os.unlink(os.path.join(t.work, "ring.preset"))
    live.wait_stderr("deleted; the last scripts keep running")
    live.quit("q")


def slow_frames_keep_the_window_answering(t):
    """A frame of ten million triangles takes seconds; the overlay key is
    answered meanwhile and Q ends the program with status 0."""
    t.write("slow.preset", SLOW)
    live = Live(t, ["--size", "160x90", "slow.preset"]).find_window()
    live.key("o")
    wait_for("the overlay", lambda: has_colour(t.x.root_pixels(t.work), (255, 255, 255)))
    live.quit("q")


def no_display_is_one_line_and_status_2(t):
    t.write("empty.preset", EMPTY)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    run = subprocess.run([t.live, "empty.preset"], cwd=t.work, env=env, capture_output=True, text=True,
                         timeout=TIMEOUT)
    if run.returncode != 2 or len(run.stderr.splitlines()) != 1 or not run.stderr.startswith("triangle-live: "):
        raise Failure("without a display: status %d, stderr %r" % (run.returncode, run.stderr))


def leading_silence(raw):
    """Bytes of stereo float pairs at the start that are both zero."""
    at = 0
    while at + 8 <= len(raw) and raw[at:at + 8] == bytes(8):
        at += 8
    return at


def song_reaches_the_speaker(t):
    """With --audio and SDL's disk audio driver, what reaches the "speaker"
    is the song, sample for sample; without a sound device the picture plays
    on in silence with a warning."""
    t.write("ring.preset", RING % "1")
    song = make_song(t, 2)
    expected = subprocess.run(["sox", song, "-t", "f32", "-e", "floating-point", "-"], check=True,
                              capture_output=True).stdout
    speaker = os.path.join(t.work, "speaker.raw")
    args = ["--size", "64x36", "--audio", "song.wav", "--frames", "60", "ring.preset"]
    live = Live(t, args, env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": speaker})
    if live.process.wait(TIMEOUT) != 0:
        raise Failure("status %d: %s" % (live.process.returncode, read(live.err).decode()))
    # The device may play silence before the song starts (SDL's device thread
    # runs before it is unpaused): both start at their first sound.
    heard = read(speaker)
    heard = heard[leading_silence(heard):]
    expected = expected[leading_silence(expected):]
    count = min(len(heard), len(expected)) // 4
    if count < 44100:  # half a second of stereo pairs at least
        raise Failure("only %d samples reached the speaker" % count)
    got = struct.unpack("<%df" % count, heard[:4 * count])
    want = struct.unpack("<%df" % count, expected[:4 * count])
    worst = max(abs(a - b) for a, b in zip(got, want))
    if worst > 1e-6:
        raise Failure("the speaker's samples differ from the song's by up to %g" % worst)

    quiet = Live(t, args, env={"SDL_AUDIODRIVER": "no-such-driver"})
    if quiet.process.wait(TIMEOUT) != 0 or "playing in silence" not in read(quiet.err).decode():
        raise Failure("without a sound device: status %d, %s" % (quiet.process.returncode, read(quiet.err).decode()))


def recording_device_feeds_the_music(t):
    """--input takes the sound of a recording device (SDL's disk driver reads
    it from a file): a loud low tone shows in the frames' bass level, silence
    does not."""
    t.write("ring.preset", RING % "1")
    for tone, loud in (("sine 80 vol 0.8", True), ("sine 80 vol 0", False)):
        heard = os.path.join(t.work, "microphone.raw")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-t", "f32", "-e", "floating-point", heard,
                        "synth", "4"] + tone.split(), check=True)
        log = os.path.join(t.work, "input.jsonl")
        env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILEIN": heard,
               "SDL_DISKAUDIOFILE": os.path.join(t.work, "speaker.raw")}
        live = Live(t, ["--size", "64x36", "--input", "--frames", "90", "--log-frames", log, "ring.preset"], env)
        if live.process.wait(TIMEOUT) != 0:
            raise Failure("--input: status %d: %s" % (live.process.returncode, read(live.err).decode()))
        bass = [json.loads(line)["bass"] for line in read(log).decode().splitlines()]
        if len(bass) != 90:
            raise Failure("--input: %d frames logged, not 90" % len(bass))
        if (max(bass) > 0.05) != loud:
            raise Failure("--input with %s: the loudest bass level is %g" % (tone, max(bass)))


def make_song(t, seconds):
    song = os.path.join(t.work, "song.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", song, "synth", str(seconds), "sine", "440",
                    "sine", "660", "tremolo", "3", "vol", "0.5"], check=True)
    return song


def recordings_are_whole(t):
    """V starts and stops a recording: the file holds the frames drawn
    meanwhile and the sound; quitting while recording finishes the file; no
    temporary is left behind."""
    t.write("ring.preset", RING % "1")
    make_song(t, 10)
    env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": os.path.join(t.work, "speaker.raw")}
    live = Live(t, COMMON + ["--audio", "song.wav", "--log-frames", "log.jsonl", "ring.preset"], env).find_window()
    frames_logged = lambda: read(os.path.join(t.work, "log.jsonl")).count(b"\n")
    told = lambda prefix, n: ([l for l in live.stdout_lines() if l.startswith(prefix)] + [None] * 9)[n]
    names = []
    for count, stop in enumerate(["v", "q"]):
        live.key("v")
        name = wait_for("recording line", lambda: told("recording ", count)).split()[1]
        at = frames_logged()
        wait_for("frames while recording", lambda: frames_logged() >= at + 20)
        if stop == "q":
            live.quit("q")
        else:
            live.key("v")
        line = wait_for("recorded line", lambda: told("recorded ", count))
        frames = int(line.split("(")[1].split()[0])
        probe = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-show_entries",
                                "stream=codec_type,nb_read_frames", "-of", "csv=p=0",
                                os.path.join(t.work, name)], capture_output=True, text=True).stdout.split()
        kinds = dict(entry.split(",") for entry in probe)
        if int(kinds.get("video", 0)) != frames or int(kinds.get("audio", 0)) == 0:
            raise Failure("%s after %s: %s, told %d frames" % (name, stop, probe, frames))
        names.append(name)
    left = [n for n in os.listdir(t.work) if n.startswith(".")]
    if left or names[0] == names[1]:
        raise Failure("temporaries left %s, names %s" % (left, names))


CASES = [paused_frame_equals_render, keys_change_the_frame, saved_edits_recompile_on_the_21st_frame,
         slow_frames_keep_the_window_answering, song_reaches_the_speaker, recording_device_feeds_the_music,
         recordings_are_whole,
         no_display_is_one_line_and_status_2]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--live", required=True)
    parser.add_argument("--render", required=True)
    parser.add_argument("cases", nargs="*", help="names of the cases to run (default: all)")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "import", "sox", "ffprobe"):
        if shutil.which(tool) is None:
            print("window_test: %s is missing (scripts/install-deps.sh installs it)" % tool)
            return 1
    failed = []
    x = XServer()
    try:
        for case in CASES:
            if args.cases and case.__name__ not in args.cases:
                continue
            with tempfile.TemporaryDirectory(prefix="live-test-") as work:
                tools = Tools(os.path.abspath(args.live), os.path.abspath(args.render), x, work)
                started = time.monotonic()
                try:
                    case(tools)
                    print("ok   %s (%.1f s)" % (case.__name__, time.monotonic() - started))
                except (Failure, subprocess.CalledProcessError) as problem:
                    print("FAIL %s: %s" % (case.__name__, problem))
                    print("  stderr: " + read(os.path.join(work, "live.err")).decode()[-2000:])
                    failed.append(case.__name__)
                finally:
                    for live in tools.running:
                        live.kill()
    finally:
        x.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
