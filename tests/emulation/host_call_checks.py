"""What the module must ask of the host during one renderFrame or one
destruction, given what the test knows: the effect's sections, whether it is
its first frame, whether it is a beat frame and how many triangles its frame
section asks for. Each function returns a list of problems (empty if none)."""

VARIABLES = ["w", "h", "n", "i", "skip", "x1", "y1", "red1", "green1", "blue1", "x2", "y2",
             "red2", "green2", "blue2", "x3", "y3", "red3", "green3", "blue3", "z1", "zbuf", "zbclear"]
SECTIONS = ["init", "frame", "beat", "triangle"]
MODULE_NAME = "render_triangle.dll"


def _expect(calls, problems, name, args=None, text=None):
    """Takes the next call from calls, which must be name(args...)."""
    shown = name + (f"({', '.join(f'{a:#x}' for a in args)})" if args is not None else "") \
        + (f" with {text!r}" if text is not None else "")
    if not calls:
        problems.append(f"expected {shown}, but the module made no further host call")
        return None
    call = calls.pop(0)
    if call.name != name or (args is not None and call.args != args) or (text is not None and call.text != text):
        problems.append(f"expected {shown}, got {call!r}")
        return None
    return call


def check_render(effect, calls, is_beat, triangles, vis_data):
    """The host calls of one renderFrame of an effect whose sections are never
    edited: binding and compiling on its first frame, then the frame section,
    the beat section on beats and the triangle section once per triangle."""
    problems = [f"{call!r} came from {call.caller}" for call in calls if call.caller != MODULE_NAME]
    pending = list(calls)
    if effect.context is None:
        created = _expect(pending, problems, "createContext")
        if created is None or not created.result:
            return problems + ["no script context to check the rest against"]
        effect.context = created.result
        for name in VARIABLES:
            _expect(pending, problems, "registerVariable", text=name)
        handles = []
        for section, text in zip(SECTIONS, effect.sections):
            compiled = _expect(pending, problems, "compileCode", text=text)
            if compiled is not None and compiled.args[0] != effect.context:
                problems.append(f"{section} section compiled in context {compiled.args[0]:#x}, "
                                f"not the effect's {effect.context:#x}")
            handles.append(compiled.result if compiled else 0)
        effect.handles = tuple(handles)
        if effect.handles[0]:
            _expect(pending, problems, "executeCode", [effect.handles[0], vis_data])
    init, frame, beat, triangle = effect.handles
    if frame:
        _expect(pending, problems, "executeCode", [frame, vis_data])
    if is_beat and beat:
        _expect(pending, problems, "executeCode", [beat, vis_data])
    if triangle:
        for _ in range(triangles):
            _expect(pending, problems, "executeCode", [triangle, vis_data])
    problems += [f"unexpected host call {call!r}" for call in pending]
    return problems


def check_destruction(effect, calls):
    """Destruction frees each non-null code handle in the order init, frame,
    beat, triangle, then the context; an effect that never rendered frees
    nothing of the host's."""
    expected = []
    if effect.handles:
        expected += [("freeCode", [handle]) for handle in effect.handles if handle]
    if effect.context:
        expected.append(("freeContext", [effect.context]))
    actual = [(call.name, call.args) for call in calls]
    if actual != expected:
        def show(entries):
            return ", ".join(f"{name}({', '.join(f'{a:#x}' for a in args)})" for name, args in entries) or "none"
        return [f"destruction made the host calls [{show(actual)}], expected [{show(expected)}]"]
    return []
