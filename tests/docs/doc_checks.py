#!/usr/bin/env python3
"""Checks that keep the user documentation true to the code.

  doc_checks.py snippets TOOL FILE...     render every ```preset block
  doc_checks.py console TOOL ROOT FILE... run every ```console block
  doc_checks.py options TOOL MANUAL [FILE...]
                                          --help and the manual list the same
                                          options; commands in the FILEs use
                                          only those
  doc_checks.py links FILE...             relative links and pictures exist
  doc_checks.py examples ROOT GALLERY     every example preset and picture is
                                          in the gallery page

Each check prints one line per fault, naming the file and line, and exits 1
when it found any. The conventions the checks rely on are described in the
README's "Writing the documentation" section.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The word the snippets' frame buffer holds before the first frame. Every
# pixel a triangle draws changes it: replace and depth mode clear the top
# byte, and the blend modes change the colour bytes.
SNIPPET_FILL = 0xFF123456


class Block:
    """A fenced code block: its info string, the line of its opening fence
    (1-based) and its text."""

    def __init__(self, info, line, text):
        self.info = info
        self.line = line
        self.text = text

    @property
    def language(self):
        return self.info.split()[0] if self.info else ""


OPEN_FENCE = re.compile(r"^( {0,3})(`{3,}|~{3,})\s*([^`]*?)\s*$")


def fenced_blocks(path):
    """The fenced blocks of a Markdown file. An unclosed fence is a fault."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    blocks = []
    k = 0
    while k < len(lines):
        opening = OPEN_FENCE.match(lines[k])
        if not opening:
            k += 1
            continue
        indent, fence, info = len(opening.group(1)), opening.group(2), opening.group(3)
        closing = re.compile(r"^ {0,3}" + re.escape(fence[0]) + "{" + str(len(fence)) + r",}\s*$")
        body = []
        j = k + 1
        while j < len(lines) and not closing.match(lines[j]):
            line = lines[j]
            # Content lines lose up to the opening fence's indentation.
            strip = min(indent, len(line) - len(line.lstrip(" ")))
            body.append(line[strip:])
            j += 1
        if j == len(lines):
            raise ValueError("%s:%d: fence %s is never closed" % (path, k + 1, fence))
        blocks.append(Block(info, k + 1, "\n".join(body) + "\n"))
        k = j + 1
    return blocks


def relative(path):
    try:
        rel = os.path.relpath(path)
    except ValueError:
        return path
    return path if rel.startswith("..") else rel


def run(args, **kwargs):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kwargs)


# --------------------------------------------------------------- snippets

def blocks_in(files, language, faults):
    """Yields (path, block) for every fenced block of one language; a page
    whose fences can't be read adds its fault and is skipped."""
    for path in files:
        try:
            blocks = fenced_blocks(path)
        except ValueError as error:
            faults.append(str(error))
            continue
        for block in blocks:
            if block.language == language:
                yield path, block


def check_snippets(tool, files):
    faults = []
    count = 0
    with tempfile.TemporaryDirectory(prefix="doc-snippets-") as work:
        for path, block in blocks_in(files, "preset", faults):
            count += 1
            where = "%s:%d" % (relative(path), block.line)
            faults += render_snippet(tool, work, path, block, where)
    if count == 0:
        faults.append("no ```preset block in %s: nothing was checked" % " ".join(map(relative, files)))
    return faults, "%d preset snippets" % count


def render_snippet(tool, work, path, block, where):
    snippet = os.path.join(work, "snippet.preset")
    picture = os.path.join(work, "snippet.bgra")
    with open(snippet, "w", encoding="utf-8") as f:
        f.write(block.text)
    if os.path.exists(picture):
        os.remove(picture)
    width, height = 64, 48
    result = run([tool, "--strict", "--quiet", "--frames", "3", "--size", "%dx%d" % (width, height),
                  "--fill", "0x%08X" % SNIPPET_FILL, "--out", picture, snippet])
    if result.returncode != 0:
        # The tool names the snippet's line; name the document's instead.
        def document_line(match):
            return "%s:%d:" % (relative(path), block.line + int(match.group(1)))
        message = re.sub(re.escape(snippet) + r":(\d+):", document_line, result.stdout.strip())
        message = message.replace(snippet, where)
        return ["%s: the preset snippet does not render (exit %d):\n    %s"
                % (where, result.returncode, message.replace("\n", "\n    "))]
    with open(picture, "rb") as f:
        pixels = f.read()
    if len(pixels) != width * height * 4:
        return ["%s: the last frame has %d bytes, not %d" % (where, len(pixels), width * height * 4)]
    fill = SNIPPET_FILL.to_bytes(4, "little")
    if pixels == fill * (width * height):
        return ["%s: the preset snippet compiles but draws nothing in 3 frames" % where]
    return []


# ---------------------------------------------------------------- console

def check_console(tool, root, files):
    """Runs each ```console block as a shell session: a line "$ command" runs
    the command (with triangle-render on the PATH, in a scratch directory
    where examples/ is the repository's), and the lines after it, up to the
    next "$ " line, are its output: standard output and error together."""
    faults = []
    count = 0
    tool_dir = os.path.dirname(os.path.abspath(tool))
    for path, block in blocks_in(files, "console", faults):
        count += 1
        with tempfile.TemporaryDirectory(prefix="doc-console-") as work:
            os.symlink(os.path.join(os.path.abspath(root), "examples"), os.path.join(work, "examples"))
            faults += run_session(tool_dir, work, path, block)
    if count == 0:
        faults.append("no ```console block in %s: nothing was checked" % " ".join(map(relative, files)))
    return faults, "%d console sessions" % count


def session_steps(block):
    """(line, command, expected output lines) for each "$ " line."""
    steps = []
    for offset, line in enumerate(block.text.rstrip("\n").split("\n")):
        if line.startswith("$ "):
            steps.append((block.line + 1 + offset, line[2:], []))
        elif steps:
            steps[-1][2].append(line.rstrip())
        elif line.strip():
            raise ValueError("output before the first command")
    return steps


def run_session(tool_dir, work, path, block):
    try:
        steps = session_steps(block)
    except ValueError as error:
        return ["%s:%d: %s" % (relative(path), block.line, error)]
    if not steps:
        return ["%s:%d: a console block with no \"$ \" command" % (relative(path), block.line)]
    env = dict(os.environ)
    env["PATH"] = tool_dir + os.pathsep + env.get("PATH", "")
    env["LC_ALL"] = "C"
    faults = []
    status = 0
    for line, command, expected in steps:
        # "(exit N)" first, so that "echo $?" sees the previous command's status.
        result = subprocess.run(["sh", "-c", "(exit %d); %s" % (status, command)], cwd=work, env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=300)
        status = result.returncode
        got = [l.rstrip() for l in result.stdout.rstrip("\n").split("\n")] if result.stdout.strip() else []
        while expected and not expected[-1]:
            expected.pop()
        if got != expected:
            faults.append("%s:%d: $ %s\n    the manual shows:\n      %s\n    the command printed:\n      %s"
                          % (relative(path), line, command, "\n      ".join(expected) or "(nothing)",
                             "\n      ".join(got) or "(nothing)"))
    return faults


# ---------------------------------------------------------------- options

HELP_OPTION = re.compile(r"^  (-\S.*?)(?: {2,}|$)")
MANUAL_OPTION = re.compile(r"^\|\s*`(-[^`]*)`\s*\|")
OPTION_NAME = re.compile(r"(?<![\w-])(--?[a-z][a-z-]*)")


def synopses(lines, pattern):
    """name -> (synopsis, line) for each option line."""
    found = {}
    for number, line in enumerate(lines, 1):
        match = pattern.match(line)
        if not match:
            continue
        synopsis = " ".join(match.group(1).split())
        for name in OPTION_NAME.findall(synopsis):
            found[name] = (synopsis, number)
    return found


def check_options(tool, manual, files):
    result = run([tool, "--help"])
    if result.returncode != 0:
        return ["%s --help exits %d" % (tool, result.returncode)], ""
    in_help = synopses(result.stdout.split("\n"), HELP_OPTION)
    with open(manual, encoding="utf-8") as f:
        in_manual = synopses(f.read().split("\n"), MANUAL_OPTION)
    faults = []
    if not in_help:
        faults.append("found no option lines in --help")
    missing = sorted(set(in_help) - set(in_manual))
    if missing:
        faults.append("%s does not list these options of --help: %s" % (relative(manual), ", ".join(missing)))
    extra = sorted(set(in_manual) - set(in_help))
    if extra:
        faults.append("%s lists options that --help does not: %s"
                      % (relative(manual), ", ".join("%s (line %d)" % (n, in_manual[n][1]) for n in extra)))
    for name in sorted(set(in_help) & set(in_manual)):
        if in_help[name][0] != in_manual[name][0]:
            faults.append("%s:%d: %s is written \"%s\"; --help writes \"%s\""
                          % (relative(manual), in_manual[name][1], name, in_manual[name][0], in_help[name][0]))

    # Command lines in the documents: only options that exist.
    for path in files:
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                at = line.find("triangle-render ")
                if at < 0:
                    continue
                for name in OPTION_NAME.findall(line[at:]):
                    if name not in in_help and name != "--":
                        faults.append("%s:%d: %s is not an option of triangle-render" % (relative(path), number, name))
    return faults, "%d options" % len(in_help)


# ------------------------------------------------------------------ links

LINK = re.compile(r"!?\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")


def anchor_of(heading):
    """The anchor a Markdown heading gets: lower case, punctuation dropped,
    spaces to hyphens."""
    text = heading.strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors(path):
    found = set()
    in_fence = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            if OPEN_FENCE.match(line.rstrip("\n")):
                in_fence = not in_fence
            elif not in_fence and line.startswith("#"):
                found.add(anchor_of(line.lstrip("#")))
    return found


def check_links(files):
    faults = []
    count = 0
    for path in files:
        in_fence = False
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                if OPEN_FENCE.match(line.rstrip("\n")):
                    in_fence = not in_fence
                    continue
                if in_fence:
                    continue
                for target in LINK.findall(line):
                    if re.match(r"^[a-z]+:", target):
                        continue  # another site: not checked here
                    count += 1
                    file_part, _, anchor = target.partition("#")
                    resolved = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
                    if not os.path.exists(resolved):
                        faults.append("%s:%d: %s does not exist" % (relative(path), number, target))
                    elif anchor and resolved.endswith(".md") and anchor not in anchors(resolved):
                        faults.append("%s:%d: %s has no heading for #%s" % (relative(path), number, file_part or relative(path), anchor))
    return faults, "%d links" % count


# --------------------------------------------------------------- examples

def check_examples(root, gallery):
    with open(gallery, encoding="utf-8") as f:
        text = f.read()
    faults = []
    presets = sorted(n for n in os.listdir(os.path.join(root, "examples")) if n.endswith(".preset"))
    for name in presets:
        if name not in text:
            faults.append("%s does not show examples/%s" % (relative(gallery), name))
    pictures = sorted(n for n in os.listdir(os.path.join(root, "docs", "examples")) if n.endswith(".png"))
    for name in pictures:
        if "examples/" + name not in text:
            faults.append("%s does not show docs/examples/%s" % (relative(gallery), name))
    if not presets:
        faults.append("no example presets found in %s/examples" % root)
    return faults, "%d example presets, %d pictures" % (len(presets), len(pictures))


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    check, args = argv[1], argv[2:]
    if check == "snippets" and len(args) >= 2:
        faults, summary = check_snippets(args[0], args[1:])
    elif check == "console" and len(args) >= 3:
        faults, summary = check_console(args[0], args[1], args[2:])
    elif check == "options" and len(args) >= 2:
        faults, summary = check_options(args[0], args[1], args[2:])
    elif check == "links" and args:
        faults, summary = check_links(args)
    elif check == "examples" and len(args) == 2:
        faults, summary = check_examples(args[0], args[1])
    else:
        sys.stderr.write(__doc__)
        return 2
    for fault in faults:
        print(fault)
    print("%s: %s, %d faults" % (check, summary, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
